#include "output/KmlTemplateWriter.h"
#include "output/KmzArchive.h"
#include "support/ArchiveReading.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;
using Outcome = KmlTemplateWriter::Outcome;

namespace {

FacilityFeature helibase(const QString& name = u"Helibase 2"_s) {
    engine::Location at = sampleLocation();
    at.section = engine::FoundSection{"T01N R05W S12", at.latitude, at.longitude};
    return {name, u"Helibase"_s, at};
}

QString iconPath(const QString& icon) { return QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/") + icon; }

/// Queues \p answers: "yes", "no", "cancel" (an input box cancelled); any other text is typed.
void script(ScriptedPrompter& p, const QStringList& answers) {
    for (const QString& a : answers) {
        if (a == u"yes"_s) p.answerYes();
        else if (a == u"no"_s) p.answerNo();
        else if (a == u"cancel"_s) p.cancelInput();
        else p.answerText(a);
    }
}

class KmlWriterTest : public ::testing::Test {
protected:
    QString out(const QString& name) const { return t.path(name); }
    KmlContent kml(const QString& name) const { return readKml(out(name)); }
    /// Chooses \p file in the dialog, answers the questions that follow with \p answers and writes \p placemark.
    Outcome write(const QString& file, const QStringList& answers,
                  const KmlPlacemark& placemark = facilityPlacemark(helibase())) {
        p.choosePath(out(file));
        script(p, answers);
        return writer.write(placemark);
    }

    TestServices t;
    ScriptedPrompter& p = t.prompter;
    KmlTemplateWriter writer{t.services};
};

}  // namespace

// The dialog offers KML first; the filled template holds the placemark's
// description, position and a view from 5 km.
TEST_F(KmlWriterTest, FacilityPlacemarkWithoutLink) {
    EXPECT_EQ(write(u"heli.kml"_s, {"no"}), Outcome::Written);
    EXPECT_TRUE(p.unexpected().isEmpty()) << p.unexpected().join(u'\n').toStdString();
    const auto& calls = p.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_TRUE(calls[0].dialog.filter.startsWith(u"KML Files (*.kml);;"_s));
    EXPECT_EQ(calls[0].dialog.defaultExtension, u"kml"_s);

    const QByteArray data = readAll(out(u"heli.kml"_s));
    EXPECT_TRUE(data.endsWith("</kml>\r\n"));
    const KmlContent heli = kml(u"heli.kml"_s);
    ASSERT_EQ(heli.error, QString());
    EXPECT_EQ(heli.descriptions,
              QStringList{u"<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: 16R 761158 3370495</br>"
                          "<br>National Grid Coord: 16R GU 61158 70495</br><br>STR: T01N R05W S12</br>"_s});
    EXPECT_EQ(heli.coordinates, QStringList{u"-084.250000,30.500000,0"_s});
    EXPECT_TRUE(data.contains("<longitude>-084.250000</longitude>") && data.contains("<latitude>30.500000</latitude>"));
    EXPECT_TRUE(data.contains("<range>5000</range>"));
}

// Names and links are written as entered, escaped, and never searched for
// tokens again; the link questions loop until a link is typed, or end without one.
TEST_F(KmlWriterTest, NamesAndLinksAreWrittenAsEntered) {
    const FacilityFeature typed{u"XXL Camp YYY"_s, u"Typed By Hand"_s, helibase().at};
    const WildfireFeature fire{.fireName = u"Bear & Cub <2>"_s, .at = sampleLocation()};
    const KmlPlacemark heli = facilityPlacemark(helibase());
    const QString linkQuestion = u"Add Image or Web link?"_s;
    const struct {
        const char* file;
        KmlPlacemark placemark;
        QStringList answers;
        QString firstQuestion, href;  ///< href: empty for no link item
        int noLinkQuestions;
        QString dialogName = {}, name = {}, firstItem = {}, icon = {};  ///< empty: the plain helibase's
    } rows[] = {
        {"xxl.kml", facilityPlacemark(typed), {"yes", "http://example.org/YYY/ZZZZZ?a=1&b=XX"}, linkQuestion,
         "http://example.org/YYY/ZZZZZ?a=1&b=XX", 0, "pfXXL Camp YYY", "XXL Camp YYY", "XXL Camp YYY", "other.png"},
        // A "]]>" in the link splits the description's CDATA in two.
        {"amp.kml", wildfirePlacemark(fire), {"no", "yes", "http://a.gov/?q=\"x\"&r=<y>]]>"},
         "Add Current NOAA Southeast Radar and Water Vapor Imagery?", "http://a.gov/?q=&quot;x&quot;&r=<y>]]>", 0,
         "pwBear _ Cub <2>", "Bear & Cub <2>", "Fire Name: Bear + Cub <2>", "ffire.png"},
        // A cancelled first input counts as empty; after a Yes to "No Link Entered" empty
        // inputs are asked again until a link is typed or the input cancelled.
        {"l1.kml", heli, {"yes", "cancel", "yes", "", "", "photo.jpg"}, linkQuestion, "photo.jpg", 1},
        {"l2.kml", heli, {"yes", "", "no"}, linkQuestion, "", 1},
        {"l3.kml", heli, {"yes", "", "yes", "", "cancel"}, linkQuestion, "", 1},
        {"l4.kml", heli, {"yes", "   "}, linkQuestion, "   ", 0},  // blanks are a link
    };
    const auto orHeli = [](const QString& value, const QString& plain) { return value.isEmpty() ? plain : value; };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        p.clearCalls();
        ASSERT_EQ(write(QString::fromLatin1(row.file), row.answers, row.placemark), Outcome::Written);
        EXPECT_TRUE(p.unexpected().isEmpty()) << p.unexpected().join(u'\n').toStdString();
        EXPECT_EQ(p.pendingAnswers(), 0u);
        const auto& calls = p.calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0].dialog.fileName, orHeli(row.dialogName, u"pfHelibase 2"_s));
        EXPECT_EQ(calls[1].text, row.firstQuestion);
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const auto& c) { return c.text == u"No Link Entered - Add Image or Web link?"_s; }),
                  row.noLinkQuestions);

        const KmlContent written = kml(QString::fromLatin1(row.file));
        ASSERT_EQ(written.error, QString());
        EXPECT_EQ(written.names, QStringList{orHeli(row.name, u"Helibase 2"_s)});
        const QString description = written.descriptions.join(QString());
        EXPECT_TRUE(description.startsWith(u"<br>%1</br>"_s.arg(orHeli(row.firstItem, u"Helibase 2"_s))));
        EXPECT_EQ(description.contains(u"Display Link"_s), !row.href.isEmpty()) << description.toStdString();
        if (!row.href.isEmpty())
            EXPECT_TRUE(description.endsWith(u"<br><a href=\"%1\">Display Link</a></br>"_s.arg(row.href)));
        EXPECT_EQ(written.iconHrefs, QStringList{iconPath(orHeli(row.icon, u"helibasea.png"_s))});
    }
}

// Yes to the imagery question picks the imagery template; each dialog starts
// in the folder chosen the time before.
TEST_F(KmlWriterTest, TemplateQuestionChoosesTheImageryTemplate) {
    const HurricaneFeature ivan{.stormName = u"IVAN"_s, .positionType = u"Actual"_s, .category = u"Category 3"_s};
    ASSERT_EQ(write(u"storm.kml"_s, {"yes", "no"}, hurricanePlacemark(ivan)), Outcome::Written);
    const KmlContent storm = kml(u"storm.kml"_s);
    ASSERT_EQ(storm.error, QString());
    const QByteArray stormData = readAll(out(u"storm.kml"_s));
    EXPECT_EQ(stormData.count("<GroundOverlay>"), 3);
    EXPECT_TRUE(stormData.contains("<range>500000</range>"));
    EXPECT_EQ(storm.names, QStringList{u"IVAN , Category 3"_s});
    EXPECT_EQ(storm.iconHrefs.value(0), iconPath(u"Cat3Hurricane.gif"_s));

    ASSERT_EQ(write(u"fire.kml"_s, {"yes", "no"}, wildfirePlacemark({.fireName = u"Oak"_s})), Outcome::Written);
    EXPECT_EQ(kml(u"fire.kml"_s).error, QString());
    EXPECT_EQ(readAll(out(u"fire.kml"_s)).count("<GroundOverlay>"), 2);
    EXPECT_EQ(p.calls()[3].dialog.folder, t.out.path());
}

// Only a file with content is asked about (No by default): No asks for another file, Yes overwrites.
TEST_F(KmlWriterTest, OverwriteQuestionOnlyForAFileWithContent) {
    ASSERT_TRUE(writeFile(out(u"empty.kml"_s), QByteArray()));
    ASSERT_EQ(write(u"empty.kml"_s, {"no"}), Outcome::Written);
    EXPECT_EQ(p.calls()[1].text, u"Add Image or Web link?"_s);  // nothing asked before it

    for (const char* file : {"a.kml", "b.kml", "c.kml"}) ASSERT_TRUE(writeFile(out(file), "keep me"));
    p.clearCalls();
    for (const char* refused : {"a.kml", "c.kml"}) {
        p.choosePath(out(refused));
        p.answerNo();
    }
    ASSERT_EQ(write(u"b.kml"_s, {"yes", "no"}), Outcome::Written);
    const auto& calls = p.calls();
    ASSERT_EQ(calls.size(), 7u);
    for (const int i : {1, 3, 5}) EXPECT_EQ(calls[i].text, u"File Already Exists  - Overwrite?"_s);
    for (const int i : {2, 4}) EXPECT_EQ(calls[i].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(calls[1].defaultButton, Prompter::Answer::No);
    for (const char* kept : {"a.kml", "c.kml"}) EXPECT_EQ(readAll(out(kept)), "keep me"_ba);
    EXPECT_EQ(kml(u"b.kml"_s).names, QStringList{u"Helibase 2"_s});
    EXPECT_TRUE(p.unexpected().isEmpty());
}

// Cancel in the first dialog, or in the one after a refused overwrite, writes and
// says nothing; a target that cannot be written is named and nothing is left behind.
TEST_F(KmlWriterTest, CancelledOrFailedWritesLeaveNothingBehind) {
    p.cancelDialog();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), Outcome::Cancelled);
    ASSERT_TRUE(writeFile(out(u"a.kml"_s), "keep me"));
    p.choosePath(out(u"a.kml"_s));
    p.answerNo();
    p.cancelDialog();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), Outcome::Cancelled);
    EXPECT_EQ(readAll(out(u"a.kml"_s)), "keep me"_ba);
    EXPECT_TRUE(p.messages().empty());

    const QString target = out(u"no/such/folder/a.kml"_s);
    EXPECT_EQ(write(u"no/such/folder/a.kml"_s, {"no"}), Outcome::Failed);
    const QStringList messages = p.messageTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(filesIn(t.out.path()), QStringList{u"a.kml"_s});
    EXPECT_TRUE(p.unexpected().isEmpty());
}

// A missing template is named and the file chosen is left as it was.
TEST(KmlWriterWithoutTemplates, AMissingTemplateIsNamedAndLeavesTheOldFile) {
    const QTemporaryDir noData;
    TestServices t(noData.path());
    KmlTemplateWriter writer(t.services);
    ASSERT_TRUE(writeFile(t.path(u"a.kml"_s), "keep me"));
    t.prompter.choosePath(t.path(u"a.kml"_s));
    t.prompter.answerYes();
    EXPECT_EQ(writer.write(facilityPlacemark(helibase())), Outcome::Failed);
    const QStringList messages = t.prompter.messageTexts();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(u"templates/kml_template3.txt"_s)) << messages[0].toStdString();
    EXPECT_EQ(readAll(t.path(u"a.kml"_s)), "keep me"_ba);
}

// Each token is filled everywhere the template has it; a token the template
// lacks changes nothing; a description outside CDATA gets a section of its own.
TEST(KmlFill, TokensAreFilledWhereTheTemplateHasThem) {
    const KmlTemplateWriter::Fill fill{u"N"_s,  u"<br>d</br>"_s, u"-84"_s,
                                       u"30"_s, u"/i.png"_s,     u"<range>5000</range>"_s};
    const std::pair<const char*, const char*> cases[] = {
        {"<a><range>250</range></a>", "<a><range>250</range></a>"},
        {"<n>NNNNNNN</n><r><range>1000</range></r>", "<n>N</n><r><range>5000</range></r>"},
        {"<d>QQQQQ</d>", "<d><![CDATA[<br>d</br>]]></d>"},
        {"YYY,XX YYY,XX", "-84,30 -84,30"}};
    for (const auto& [in, filled] : cases)
        EXPECT_EQ(KmlTemplateWriter::fillTemplate(QString::fromLatin1(in), fill), QString::fromLatin1(filled));
}

// A KMZ from each kind of placemark: doc.kml with relative icon references and
// the icon it shows, byte for byte as shipped. One that cannot be completed
// leaves the earlier file as it was and no partial archive beside it.
TEST_F(KmlWriterTest, KmzHoldsTheDocumentAndItsIcons) {
    const std::pair<KmlPlacemark, QString> cases[] = {
        {facilityPlacemark(helibase()), u"helibasea.png"_s},
        {wildfirePlacemark({.fireName = u"Bear Creek"_s, .at = sampleLocation()}), u"ffire.png"_s},
        {hurricanePlacemark({.stormName = u"Bertha"_s, .positionType = u"Actual"_s, .category = u"Category 3"_s}),
         u"Cat3Hurricane.gif"_s}};
    for (const auto& [placemark, icon] : cases) {
        SCOPED_TRACE(icon.toStdString());
        const QString archive = icon + u".kmz"_s;
        const QStringList answers = placemark.templateQuestion.isEmpty() ? QStringList{"no"}
                                                                         : QStringList{"no", "no"};
        ASSERT_EQ(write(archive, answers, placemark), Outcome::Written);
        const QMap<QString, QByteArray> entries = readArchive(out(archive));
        EXPECT_EQ(entries.keys(), QStringList({"doc.kml", "icons/" + icon}));
        ASSERT_TRUE(writeFile(out(u"doc.kml"_s), entries.value(u"doc.kml"_s)));
        const KmlContent doc = kml(u"doc.kml"_s);
        EXPECT_TRUE(doc.error.isEmpty()) << doc.error.toStdString();
        EXPECT_EQ(doc.iconHrefs, QStringList{"icons/" + icon});
        EXPECT_EQ(entries.value("icons/" + icon), readAll(iconPath(icon)));
    }
    const QString kept = out(u"kept.kmz"_s);
    ASSERT_TRUE(writeFile(kept, "an earlier archive"));
    const QStringList before = filesIn(t.out.path());
    const WriteResult result = writeKmz(kept, u"<kml/>"_s, t.paths.iconsDir(), {u"no-such-icon.png"_s});
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.message().contains(u"no-such-icon.png"_s));
    EXPECT_EQ(readAll(kept), "an earlier archive"_ba);
    EXPECT_EQ(filesIn(t.out.path()), before);
}
