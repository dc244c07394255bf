#include "output/KmlTemplateWriter.h"
#include "output/KmzArchive.h"
#include "support/ArchiveReading.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace waypost;
using namespace waypost::test;

namespace {

FacilityFeature helibase(const QString& name = QStringLiteral("Helibase 2")) {
    engine::Location at = sampleLocation();
    at.section = engine::FoundSection{"T01N R05W S12", at.latitude, at.longitude};
    return {name, QStringLiteral("Helibase"), at};
}

QString iconPath(const QString& icon) { return QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/") + icon; }

class KmlWriterTest : public ::testing::Test {
protected:
    QString out(const QString& name) const { return t.path(name); }
    KmlContent kml(const QString& name) const { return readKml(out(name)); }

    TestServices t;
    ScriptedPrompter& m_prompter = t.prompter;
    KmlTemplateWriter writer{t.services};
};

}  // namespace

TEST_F(KmlWriterTest, FacilityPlacemarkWithoutLink) {
    m_prompter.choosePath(out(QStringLiteral("heli.kml")));
    m_prompter.answerNo();  // no link
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_TRUE(m_prompter.unexpected().isEmpty()) << m_prompter.unexpected().join(u'\n').toStdString();

    const auto& calls = m_prompter.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_TRUE(calls[0].dialog.filter.startsWith(QStringLiteral("KML Files (*.kml);;")));  // KML first
    EXPECT_EQ(calls[0].dialog.defaultExtension, QStringLiteral("kml"));
    EXPECT_EQ(calls[0].dialog.fileName, QStringLiteral("pfHelibase 2"));
    EXPECT_EQ(calls[1].text, QStringLiteral("Add Image or Web link?"));
    EXPECT_EQ(calls[1].icon, Prompter::Icon::Question);

    const QByteArray data = readAll(out(QStringLiteral("heli.kml")));
    EXPECT_TRUE(data.endsWith("</kml>\r\n"));
    const KmlContent heli = kml(QStringLiteral("heli.kml"));
    ASSERT_EQ(heli.error, QString());
    EXPECT_EQ(heli.names, QStringList{QStringLiteral("Helibase 2")});
    EXPECT_EQ(heli.descriptions, QStringList{QStringLiteral(
                                     "<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: 16R 761158 3370495</br>"
                                     "<br>National Grid Coord: 16R GU 61158 70495</br><br>STR: T01N R05W S12</br>")});
    EXPECT_EQ(heli.coordinates, QStringList{QStringLiteral("-084.250000,30.500000,0")});
    EXPECT_EQ(heli.iconHrefs, QStringList{iconPath(QStringLiteral("helibasea.png"))});  // and no image overlays
    // The view looks at the placemark from 5 km.
    EXPECT_TRUE(data.contains("<longitude>-084.250000</longitude>") && data.contains("<latitude>30.500000</latitude>"));
    EXPECT_TRUE(data.contains("<range>5000</range>"));
}

TEST_F(KmlWriterTest, TokensInsideValuesAreNotReplacedAgain) {
    m_prompter.choosePath(out(QStringLiteral("xxl.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QStringLiteral("http://example.org/YYY/ZZZZZ?a=1&b=XX"));
    auto feature = helibase(QStringLiteral("XXL Camp YYY"));
    feature.type = QStringLiteral("Typed By Hand");
    ASSERT_EQ(writer.write(facilityPlacemark(feature)), KmlTemplateWriter::Outcome::Written);
    const KmlContent xxl = kml(QStringLiteral("xxl.kml"));
    ASSERT_EQ(xxl.error, QString());
    EXPECT_EQ(xxl.names, QStringList{QStringLiteral("XXL Camp YYY")});
    EXPECT_TRUE(xxl.descriptions.value(0).endsWith(
        QStringLiteral("<br><a href=\"http://example.org/YYY/ZZZZZ?a=1&b=XX\">Display Link</a></br>")))
        << xxl.descriptions.value(0).toStdString();
    EXPECT_EQ(xxl.iconHrefs, QStringList{iconPath(QStringLiteral("other.png"))});
}

TEST_F(KmlWriterTest, SpecialCharactersStayWellFormed) {
    m_prompter.choosePath(out(QStringLiteral("amp.kml")));
    m_prompter.answerNo();  // no radar imagery
    m_prompter.answerYes();
    m_prompter.answerText(QStringLiteral("http://a.gov/?q=\"x\"&r=<y>]]>"));
    WildfireFeature fire;
    fire.fireName = QStringLiteral("Bear & Cub <2>");
    fire.at = sampleLocation();
    ASSERT_EQ(writer.write(wildfirePlacemark(fire)), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(m_prompter.calls()[0].dialog.fileName, QStringLiteral("pwBear _ Cub <2>"));
    EXPECT_EQ(m_prompter.calls()[1].text, QStringLiteral("Add Current NOAA Southeast Radar and Water Vapor Imagery?"));
    const KmlContent amp = kml(QStringLiteral("amp.kml"));
    ASSERT_EQ(amp.error, QString());
    EXPECT_EQ(amp.names, QStringList{QStringLiteral("Bear & Cub <2>")});
    // A "]]>" in the link splits the description's CDATA in two.
    const QString description = amp.descriptions.join(QString());
    EXPECT_TRUE(description.startsWith(QStringLiteral("<br>Fire Name: Bear + Cub <2></br>")));
    EXPECT_TRUE(description.contains(QStringLiteral("href=\"http://a.gov/?q=&quot;x&quot;&r=<y>]]>\"")))
        << description.toStdString();
    EXPECT_EQ(amp.iconHrefs, QStringList{iconPath(QStringLiteral("ffire.png"))});
}

TEST_F(KmlWriterTest, TemplateQuestionChoosesTheImageryTemplate) {
    m_prompter.choosePath(out(QStringLiteral("storm.kml")));
    m_prompter.answerYes();  // tropical imagery
    m_prompter.answerNo();   // no link
    HurricaneFeature h;
    h.stormName = QStringLiteral("IVAN");
    h.positionType = QStringLiteral("Actual");
    h.category = QStringLiteral("Category 3");
    h.at = sampleLocation();
    h.at->latitude = 25.1;
    h.at->longitude = -80.5;
    ASSERT_EQ(writer.write(hurricanePlacemark(h)), KmlTemplateWriter::Outcome::Written);
    const KmlContent storm = kml(QStringLiteral("storm.kml"));
    ASSERT_EQ(storm.error, QString());
    EXPECT_EQ(readAll(out(QStringLiteral("storm.kml"))).count("<GroundOverlay>"), 3);
    EXPECT_TRUE(readAll(out(QStringLiteral("storm.kml"))).contains("<range>500000</range>"));
    EXPECT_EQ(storm.names, QStringList{QStringLiteral("IVAN , Category 3")});
    EXPECT_EQ(storm.iconHrefs.value(0), iconPath(QStringLiteral("Cat3Hurricane.gif")));

    m_prompter.choosePath(out(QStringLiteral("fire.kml")));
    m_prompter.answerYes();  // radar imagery
    m_prompter.answerNo();
    WildfireFeature fire;
    fire.fireName = QStringLiteral("Oak");
    ASSERT_EQ(writer.write(wildfirePlacemark(fire)), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(kml(QStringLiteral("fire.kml")).error, QString());
    EXPECT_EQ(readAll(out(QStringLiteral("fire.kml"))).count("<GroundOverlay>"), 2);
    // The second dialog starts in the folder chosen the first time.
    EXPECT_EQ(m_prompter.calls()[3].dialog.folder, t.out.path());
}

TEST_F(KmlWriterTest, OverwriteQuestionOnlyForAFileWithContent) {
    ASSERT_TRUE(writeFile(out(QStringLiteral("empty.kml")), QByteArray()));
    m_prompter.choosePath(out(QStringLiteral("empty.kml")));
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(m_prompter.calls()[1].text, QStringLiteral("Add Image or Web link?"));  // nothing asked before it

    // First an existing file: No; then another existing one, asked about in turn.
    ASSERT_TRUE(writeFile(out(QStringLiteral("a.kml")), "keep me"));
    ASSERT_TRUE(writeFile(out(QStringLiteral("b.kml")), "replace me"));
    ASSERT_TRUE(writeFile(out(QStringLiteral("c.kml")), "keep me too"));
    m_prompter.clearCalls();
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerNo();
    m_prompter.choosePath(out(QStringLiteral("c.kml")));
    m_prompter.answerNo();
    m_prompter.choosePath(out(QStringLiteral("b.kml")));
    m_prompter.answerYes();
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(readAll(out(QStringLiteral("c.kml"))), QByteArray("keep me too"));
    const auto& calls = m_prompter.calls();
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[5].text, QStringLiteral("File Already Exists  - Overwrite?"));
    EXPECT_EQ(calls[1].text, QStringLiteral("File Already Exists  - Overwrite?"));
    EXPECT_EQ(calls[1].title, QStringLiteral("File Exists"));
    EXPECT_EQ(calls[1].icon, Prompter::Icon::Critical);
    EXPECT_EQ(calls[1].defaultButton, Prompter::Answer::No);
    EXPECT_EQ(calls[2].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(readAll(out(QStringLiteral("a.kml"))), QByteArray("keep me"));
    EXPECT_EQ(kml(QStringLiteral("b.kml")).error, QString());

    // Yes overwrites.
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerYes();
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(kml(QStringLiteral("a.kml")).names, QStringList{QStringLiteral("Helibase 2")});
    EXPECT_TRUE(m_prompter.unexpected().isEmpty());
}

TEST_F(KmlWriterTest, CancelAtEveryDialogWritesNothingAndSaysNothing) {
    m_prompter.cancelDialog();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Cancelled);

    ASSERT_TRUE(writeFile(out(QStringLiteral("a.kml")), "keep me"));
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerNo();
    m_prompter.cancelDialog();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Cancelled);
    EXPECT_EQ(readAll(out(QStringLiteral("a.kml"))), QByteArray("keep me"));
    EXPECT_TRUE(m_prompter.messages().empty());
    EXPECT_EQ(filesIn(t.out.path()), QStringList{QStringLiteral("a.kml")});
    EXPECT_TRUE(m_prompter.unexpected().isEmpty());
}

TEST_F(KmlWriterTest, LinkPromptLoopsUntilALinkOrCancel) {
    // Cancelled input counts as empty; then asked again; empty keeps asking; then a link.
    m_prompter.choosePath(out(QStringLiteral("l1.kml")));
    m_prompter.answerYes();
    m_prompter.cancelInput();
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.answerText(QString());
    m_prompter.answerText(QStringLiteral("photo.jpg"));
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_TRUE(kml(QStringLiteral("l1.kml")).descriptions.value(0).endsWith(
        QStringLiteral("<br><a href=\"photo.jpg\">Display Link</a></br>")));
    QStringList texts;
    for (const auto& c : m_prompter.calls()) texts << c.text;
    EXPECT_EQ(texts.count(QStringLiteral("No Link Entered - Add Image or Web link?")), 1);
    EXPECT_EQ(texts.count(QStringLiteral("Enter Web link (include 'http://') or Image Path")), 4);

    // Asked again and answered No: no link item.
    m_prompter.clearCalls();
    m_prompter.choosePath(out(QStringLiteral("l2.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_FALSE(readAll(out(QStringLiteral("l2.kml"))).contains("Display Link"));

    // Looping, then cancelled: no link item.
    m_prompter.choosePath(out(QStringLiteral("l3.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.cancelInput();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_FALSE(readAll(out(QStringLiteral("l3.kml"))).contains("Display Link"));

    // Blanks are a link, written as entered.
    m_prompter.choosePath(out(QStringLiteral("l4.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QStringLiteral("   "));
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_TRUE(readAll(out(QStringLiteral("l4.kml"))).contains("<br><a href=\"   \">Display Link</a></br>"));
    EXPECT_TRUE(m_prompter.unexpected().isEmpty()) << m_prompter.unexpected().join(u'\n').toStdString();
}

TEST(KmlWriterWithoutTemplates, AMissingTemplateIsNamedAndLeavesTheOldFile) {
    const QTemporaryDir noData;
    TestServices t(noData.path());
    KmlTemplateWriter writer(t.services);
    ASSERT_TRUE(writeFile(t.path(QStringLiteral("a.kml")), "keep me"));
    t.prompter.choosePath(t.path(QStringLiteral("a.kml")));
    t.prompter.answerYes();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Failed);
    const auto messages = t.prompter.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("templates/kml_template3.txt"))) << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].title, QStringLiteral("Waypost"));
    EXPECT_EQ(readAll(t.path(QStringLiteral("a.kml"))), QByteArray("keep me"));
}

TEST_F(KmlWriterTest, UnwritableTargetIsNamedAndNothingIsHalfWritten) {
    const QString target = out(QStringLiteral("no/such/folder/a.kml"));
    m_prompter.choosePath(target);
    m_prompter.answerNo();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Failed);
    const auto messages = m_prompter.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(filesIn(t.out.path()).isEmpty());
}

TEST(KmlFill, TokensMissingFromATemplateLeaveItUnchanged) {
    KmlTemplateWriter::Fill fill{QStringLiteral("N"), QStringLiteral("<br>d</br>"), QStringLiteral("-84"),
                                 QStringLiteral("30"), QStringLiteral("/i.png"), QStringLiteral("<range>5000</range>")};
    EXPECT_EQ(KmlTemplateWriter::fillTemplate(QStringLiteral("<a><range>250</range></a>"), fill),
              QStringLiteral("<a><range>250</range></a>"));
    EXPECT_EQ(KmlTemplateWriter::fillTemplate(QStringLiteral("<n>NNNNNNN</n><r><range>1000</range></r>"), fill),
              QStringLiteral("<n>N</n><r><range>5000</range></r>"));
    // A description token outside CDATA gets a CDATA section of its own.
    EXPECT_EQ(KmlTemplateWriter::fillTemplate(QStringLiteral("<d>QQQQQ</d>"), fill),
              QStringLiteral("<d><![CDATA[<br>d</br>]]></d>"));
    // Each token everywhere it occurs.
    EXPECT_EQ(KmlTemplateWriter::fillTemplate(QStringLiteral("YYY,XX YYY,XX"), fill), QStringLiteral("-84,30 -84,30"));
}

// A KMZ from each kind of placemark: doc.kml with relative icon references and
// the icon it shows, byte for byte as shipped.
TEST_F(KmlWriterTest, KmzHoldsTheDocumentAndItsIcons) {
    WildfireFeature fire;
    fire.fireName = QStringLiteral("Bear Creek");
    fire.at = sampleLocation();
    HurricaneFeature storm;
    storm.stormName = QStringLiteral("Bertha");
    storm.positionType = QStringLiteral("Actual");
    storm.category = QStringLiteral("Category 3");
    const std::pair<KmlPlacemark, QString> cases[] = {{facilityPlacemark(helibase()), "helibasea.png"},
                                                      {wildfirePlacemark(fire), "ffire.png"},
                                                      {hurricanePlacemark(storm), "Cat3Hurricane.gif"}};
    for (const auto& [placemark, icon] : cases) {
        SCOPED_TRACE(icon.toStdString());
        const QString archive = out(icon + QStringLiteral(".kmz"));
        m_prompter.choosePath(archive);
        if (!placemark.templateQuestion.isEmpty()) m_prompter.answerNo();
        m_prompter.answerNo();  // no link
        ASSERT_EQ(writer.write(placemark), KmlTemplateWriter::Outcome::Written);
        const QMap<QString, QByteArray> entries = readArchive(archive);
        EXPECT_EQ(entries.keys(), QStringList({"doc.kml", "icons/" + icon}));
        ASSERT_TRUE(writeFile(out(QStringLiteral("doc.kml")), entries.value(QStringLiteral("doc.kml"))));
        const KmlContent doc = kml(QStringLiteral("doc.kml"));
        EXPECT_TRUE(doc.error.isEmpty()) << doc.error.toStdString();
        EXPECT_EQ(doc.iconHrefs, QStringList{"icons/" + icon});
        EXPECT_EQ(entries.value("icons/" + icon), readAll(iconPath(icon)));
    }
}

TEST_F(KmlWriterTest, AFailedKmzLeavesTheEarlierFileAsItWas) {
    const QString path = out(QStringLiteral("kept.kmz"));
    ASSERT_TRUE(writeFile(path, "an earlier archive"));
    QStringList icons{QStringLiteral("no-such-icon.png")};
    const WriteResult result = writeKmz(path, QStringLiteral("<kml/>"), t.paths.iconsDir(), icons);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.message().contains(QStringLiteral("no-such-icon.png")));
    EXPECT_EQ(readAll(path), QByteArray("an earlier archive"));
    EXPECT_EQ(filesIn(t.out.path()), QStringList{"kept.kmz"});  // no partial archive beside it
}
