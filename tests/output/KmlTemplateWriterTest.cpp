#include "output/KmlTemplateWriter.h"
#include "support/TestSupport.h"
#include "platform/ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;
using waypost::test::readAll;

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

/// What a KML file says about its placemark, read with an XML parser.
struct ParsedKml {
    bool wellFormed = false;
    QString error;
    QString placemarkName, description, coordinates, iconHref, range, lookAtLongitude, lookAtLatitude;
    int groundOverlays = 0;
};

ParsedKml parseKml(const QByteArray& data) {
    ParsedKml out;
    QXmlStreamReader xml(data);
    QStringList path;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            path << xml.name().toString();
            const QString here = path.join(u'/');
            if (xml.name() == QLatin1String("GroundOverlay")) ++out.groundOverlays;
            if (here.endsWith(QLatin1String("Placemark/name"))) out.placemarkName = xml.readElementText(), path.removeLast();
            else if (here.endsWith(QLatin1String("Placemark/description"))) out.description = xml.readElementText(), path.removeLast();
            else if (here.endsWith(QLatin1String("Point/coordinates"))) out.coordinates = xml.readElementText(), path.removeLast();
            else if (here.endsWith(QLatin1String("IconStyle/Icon/href"))) out.iconHref = xml.readElementText(), path.removeLast();
            else if (here.endsWith(QLatin1String("Placemark/LookAt/range"))) out.range = xml.readElementText(), path.removeLast();
            else if (here.endsWith(QLatin1String("Placemark/LookAt/longitude"))) out.lookAtLongitude = xml.readElementText(), path.removeLast();
            else if (here.endsWith(QLatin1String("Placemark/LookAt/latitude"))) out.lookAtLatitude = xml.readElementText(), path.removeLast();
        } else if (xml.isEndElement()) {
            path.removeLast();
        }
    }
    out.wellFormed = !xml.hasError();
    out.error = xml.errorString();
    return out;
}

FacilityFeature helibase(const QString& name = QStringLiteral("Helibase 2")) {
    return {.name = name,
            .type = QStringLiteral("Helibase"),
            .latitude = QStringLiteral("30.500000"),
            .longitude = QStringLiteral("-084.250000"),
            .albersX = {},
            .albersY = {},
            .utm = QStringLiteral("16R 761158 3370495"),
            .usng = QStringLiteral("16R GU 61158 70495"),
            .str = QStringLiteral("T01N R05W S12")};
}

class KmlWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_data.isValid());
        ASSERT_TRUE(QDir(m_data.path()).mkpath(QStringLiteral("templates")));
        for (const QString& t : {kPlainTemplate, kRadarTemplate, kTropicalTemplate})
            ASSERT_TRUE(QFile::copy(QStringLiteral(WAYPOST_SOURCE_DIR "/data/templates/") + t,
                                    m_data.filePath(QStringLiteral("templates/") + t)));
    }
    QString out(const QString& name) const { return m_out.filePath(name); }
    QString iconPath(const QString& icon) const { return m_data.path() + QStringLiteral("/icons/") + icon; }

    QTemporaryDir m_data;
    QTemporaryDir m_out;
    ScriptedPrompter m_prompter;
    FixedClock m_clock{QDateTime(QDate(2026, 9, 14), QTime(12, 0))};
    FixedTimeZone m_zone{QStringLiteral("Eastern Standard Time"), QStringLiteral("Eastern Daylight Time"), true,
                         -5 * 3600};
    ProgramPaths m_paths{m_data.path(), m_data.path() + QStringLiteral("/logs")};
    Services m_services{m_prompter, m_clock, m_zone, m_paths};
};

}  // namespace

TEST_F(KmlWriterTest, FacilityPlacemarkWithoutLink) {
    KmlTemplateWriter writer(m_services);
    m_prompter.choosePath(out(QStringLiteral("heli.kml")));
    m_prompter.answerNo();  // no link
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_TRUE(m_prompter.unexpected().isEmpty()) << m_prompter.unexpected().join(u'\n').toStdString();

    const auto& calls = m_prompter.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(calls[0].dialog.filter, QStringLiteral("KML Files (*.kml)"));
    EXPECT_EQ(calls[0].dialog.defaultExtension, QStringLiteral("kml"));
    EXPECT_EQ(calls[0].dialog.fileName, QStringLiteral("pfHelibase 2"));
    EXPECT_EQ(calls[1].text, QStringLiteral("Add Image or Web link?"));
    EXPECT_EQ(calls[1].icon, Prompter::Icon::Question);

    const QByteArray data = readAll(out(QStringLiteral("heli.kml")));
    EXPECT_TRUE(data.endsWith("</kml>\r\n"));
    const ParsedKml kml = parseKml(data);
    ASSERT_TRUE(kml.wellFormed) << kml.error.toStdString();
    EXPECT_EQ(kml.placemarkName, QStringLiteral("Helibase 2"));
    EXPECT_EQ(kml.description, QStringLiteral("<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: 16R 761158 3370495</br>"
                                              "<br>National Grid Coord: 16R GU 61158 70495</br><br>STR: T01N R05W S12</br>"));
    EXPECT_EQ(kml.coordinates.trimmed(), QStringLiteral("-084.250000,30.500000,0"));
    EXPECT_EQ(kml.lookAtLongitude, QStringLiteral("-084.250000"));
    EXPECT_EQ(kml.lookAtLatitude, QStringLiteral("30.500000"));
    EXPECT_EQ(kml.iconHref, iconPath(QStringLiteral("helibasea.png")));
    EXPECT_EQ(kml.range, QStringLiteral("5000"));
    EXPECT_EQ(kml.groundOverlays, 0);
}

TEST_F(KmlWriterTest, TokensInsideValuesAreNotReplacedAgain) {
    KmlTemplateWriter writer(m_services);
    m_prompter.choosePath(out(QStringLiteral("xxl.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QStringLiteral("http://example.org/YYY/ZZZZZ?a=1&b=XX"));
    auto feature = helibase(QStringLiteral("XXL Camp YYY"));
    feature.type = QStringLiteral("Typed By Hand");
    ASSERT_EQ(writer.write(facilityPlacemark(feature)), KmlTemplateWriter::Outcome::Written);
    const ParsedKml kml = parseKml(readAll(out(QStringLiteral("xxl.kml"))));
    ASSERT_TRUE(kml.wellFormed) << kml.error.toStdString();
    EXPECT_EQ(kml.placemarkName, QStringLiteral("XXL Camp YYY"));
    EXPECT_TRUE(kml.description.endsWith(
        QStringLiteral("<br><a href=\"http://example.org/YYY/ZZZZZ?a=1&b=XX\">Display Link</a></br>")))
        << kml.description.toStdString();
    EXPECT_EQ(kml.iconHref, iconPath(QStringLiteral("other.png")));
}

TEST_F(KmlWriterTest, SpecialCharactersStayWellFormed) {
    KmlTemplateWriter writer(m_services);
    m_prompter.choosePath(out(QStringLiteral("amp.kml")));
    m_prompter.answerNo();  // no radar imagery
    m_prompter.answerYes();
    m_prompter.answerText(QStringLiteral("http://a.gov/?q=\"x\"&r=<y>]]>"));
    WildfireFeature fire;
    fire.fireName = QStringLiteral("Bear & Cub <2>");
    fire.latitude = QStringLiteral("30.500000");
    fire.longitude = QStringLiteral("-084.250000");
    ASSERT_EQ(writer.write(wildfirePlacemark(fire)), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(m_prompter.calls()[0].dialog.fileName, QStringLiteral("pwBear _ Cub <2>"));
    EXPECT_EQ(m_prompter.calls()[1].text, QStringLiteral("Add Current NOAA Southeast Radar and Water Vapor Imagery?"));
    const ParsedKml kml = parseKml(readAll(out(QStringLiteral("amp.kml"))));
    ASSERT_TRUE(kml.wellFormed) << kml.error.toStdString();
    EXPECT_EQ(kml.placemarkName, QStringLiteral("Bear & Cub <2>"));
    EXPECT_TRUE(kml.description.startsWith(QStringLiteral("<br>Fire Name: Bear + Cub <2></br>")));
    EXPECT_TRUE(kml.description.contains(QStringLiteral("href=\"http://a.gov/?q=&quot;x&quot;&r=<y>]]>\"")))
        << kml.description.toStdString();
    EXPECT_EQ(kml.iconHref, iconPath(QStringLiteral("ffire.png")));
    EXPECT_EQ(kml.groundOverlays, 0);
}

TEST_F(KmlWriterTest, TemplateQuestionChoosesTheImageryTemplate) {
    KmlTemplateWriter writer(m_services);
    m_prompter.choosePath(out(QStringLiteral("storm.kml")));
    m_prompter.answerYes();  // tropical imagery
    m_prompter.answerNo();   // no link
    HurricaneFeature h;
    h.stormName = QStringLiteral("IVAN");
    h.positionType = QStringLiteral("Actual");
    h.category = QStringLiteral("Category 3");
    h.latitude = QStringLiteral("25.100000");
    h.longitude = QStringLiteral("-080.500000");
    ASSERT_EQ(writer.write(hurricanePlacemark(h)), KmlTemplateWriter::Outcome::Written);
    const ParsedKml kml = parseKml(readAll(out(QStringLiteral("storm.kml"))));
    ASSERT_TRUE(kml.wellFormed) << kml.error.toStdString();
    EXPECT_EQ(kml.groundOverlays, 3);
    EXPECT_EQ(kml.range, QStringLiteral("500000"));
    EXPECT_EQ(kml.placemarkName, QStringLiteral("IVAN , Category 3"));
    EXPECT_EQ(kml.iconHref, iconPath(QStringLiteral("Cat3Hurricane.gif")));

    m_prompter.choosePath(out(QStringLiteral("fire.kml")));
    m_prompter.answerYes();  // radar imagery
    m_prompter.answerNo();
    WildfireFeature fire;
    fire.fireName = QStringLiteral("Oak");
    ASSERT_EQ(writer.write(wildfirePlacemark(fire)), KmlTemplateWriter::Outcome::Written);
    const ParsedKml fireKml = parseKml(readAll(out(QStringLiteral("fire.kml"))));
    ASSERT_TRUE(fireKml.wellFormed);
    EXPECT_EQ(fireKml.groundOverlays, 2);
    // The second dialog starts in the folder chosen the first time.
    EXPECT_EQ(m_prompter.calls()[3].dialog.folder, m_out.path());
}

TEST_F(KmlWriterTest, OverwriteQuestionOnlyForAFileWithContent) {
    KmlTemplateWriter writer(m_services);
    writeFile(out(QStringLiteral("empty.kml")), QByteArray());
    m_prompter.choosePath(out(QStringLiteral("empty.kml")));
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(m_prompter.calls()[1].text, QStringLiteral("Add Image or Web link?"));  // nothing asked before it

    // First an existing file: No; then another existing one, taken without asking.
    writeFile(out(QStringLiteral("a.kml")), "keep me");
    writeFile(out(QStringLiteral("b.kml")), "replace me");
    m_prompter.clearCalls();
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerNo();
    m_prompter.choosePath(out(QStringLiteral("b.kml")));
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    const auto& calls = m_prompter.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].text, QStringLiteral("File Already Exists  - Overwrite?"));
    EXPECT_EQ(calls[1].title, QStringLiteral("File Exists"));
    EXPECT_EQ(calls[1].icon, Prompter::Icon::Critical);
    EXPECT_EQ(calls[1].defaultButton, Prompter::Answer::No);
    EXPECT_EQ(calls[2].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(readAll(out(QStringLiteral("a.kml"))), QByteArray("keep me"));
    EXPECT_TRUE(parseKml(readAll(out(QStringLiteral("b.kml")))).wellFormed);

    // Yes overwrites.
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerYes();
    m_prompter.answerNo();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_EQ(parseKml(readAll(out(QStringLiteral("a.kml")))).placemarkName, QStringLiteral("Helibase 2"));
    EXPECT_TRUE(m_prompter.unexpected().isEmpty());
}

TEST_F(KmlWriterTest, CancelAtEveryDialogWritesNothingAndSaysNothing) {
    KmlTemplateWriter writer(m_services);
    m_prompter.cancelDialog();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Cancelled);

    writeFile(out(QStringLiteral("a.kml")), "keep me");
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerNo();
    m_prompter.cancelDialog();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Cancelled);
    EXPECT_EQ(readAll(out(QStringLiteral("a.kml"))), QByteArray("keep me"));
    EXPECT_TRUE(m_prompter.messages().empty());
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.kml")});
    EXPECT_TRUE(m_prompter.unexpected().isEmpty());
}

TEST_F(KmlWriterTest, LinkPromptLoopsUntilALinkOrCancel) {
    KmlTemplateWriter writer(m_services);
    // Cancelled input counts as empty; then asked again; empty keeps asking; then a link.
    m_prompter.choosePath(out(QStringLiteral("l1.kml")));
    m_prompter.answerYes();
    m_prompter.cancelInput();
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.answerText(QString());
    m_prompter.answerText(QStringLiteral("photo.jpg"));
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_TRUE(parseKml(readAll(out(QStringLiteral("l1.kml"))))
                    .description.endsWith(QStringLiteral("<br><a href=\"photo.jpg\">Display Link</a></br>")));
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
    EXPECT_FALSE(parseKml(readAll(out(QStringLiteral("l2.kml")))).description.contains(QStringLiteral("Display Link")));

    // Looping, then cancelled: no link item.
    m_prompter.choosePath(out(QStringLiteral("l3.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.answerYes();
    m_prompter.answerText(QString());
    m_prompter.cancelInput();
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_FALSE(parseKml(readAll(out(QStringLiteral("l3.kml")))).description.contains(QStringLiteral("Display Link")));

    // Blanks are a link, written as entered.
    m_prompter.choosePath(out(QStringLiteral("l4.kml")));
    m_prompter.answerYes();
    m_prompter.answerText(QStringLiteral("   "));
    ASSERT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Written);
    EXPECT_TRUE(parseKml(readAll(out(QStringLiteral("l4.kml"))))
                    .description.endsWith(QStringLiteral("<br><a href=\"   \">Display Link</a></br>")));
    EXPECT_TRUE(m_prompter.unexpected().isEmpty()) << m_prompter.unexpected().join(u'\n').toStdString();
}

TEST_F(KmlWriterTest, MissingTemplateIsNamedAndLeavesTheOldFile) {
    QFile::remove(m_data.filePath(QStringLiteral("templates/") + kPlainTemplate));
    writeFile(out(QStringLiteral("a.kml")), "keep me");
    KmlTemplateWriter writer(m_services);
    m_prompter.choosePath(out(QStringLiteral("a.kml")));
    m_prompter.answerYes();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Failed);
    const auto messages = m_prompter.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("templates/kml_template3.txt"))) << messages[0].text.toStdString();
    EXPECT_EQ(messages[0].title, QStringLiteral("Waypost"));
    EXPECT_EQ(readAll(out(QStringLiteral("a.kml"))), QByteArray("keep me"));
}

TEST_F(KmlWriterTest, UnwritableTargetIsNamedAndNothingIsHalfWritten) {
    KmlTemplateWriter writer(m_services);
    const QString target = out(QStringLiteral("no/such/folder/a.kml"));
    m_prompter.choosePath(target);
    m_prompter.answerNo();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), KmlTemplateWriter::Outcome::Failed);
    const auto messages = m_prompter.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files).isEmpty());
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
