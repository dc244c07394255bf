#include "output/KmlTemplateWriter.h"
#include "output/KmzArchive.h"
#include "support/ArchiveReading.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;
using Outcome = KmlTemplateWriter::Outcome;

namespace {

FacilityFeature helibase() {
    engine::Location at = sampleLocation();
    at.section = engine::FoundSection{"T01N R05W S12", at.latitude, at.longitude};
    return {u"Helibase 2"_s, u"Helibase"_s, at};
}

QString iconPath(const QString& icon) { return QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/") + icon; }

class KmlWriterTest : public ::testing::Test {
protected:
    QString out(const QString& name) const { return t.path(name); }
    KmlContent kml(const QString& name) const { return readKml(out(name)); }
    /// Chooses \p file in the dialog, answers the questions that follow with \p answers ("yes", "no", "cancel"
    /// for an input box cancelled, any other text typed) and writes \p placemark.
    Outcome write(const QString& file, const QStringList& answers,
                  const KmlPlacemark& placemark = facilityPlacemark(helibase())) {
        p.choosePath(out(file));
        for (const QString& a : answers) {
            if (a == u"yes"_s) p.answerYes();
            else if (a == u"no"_s) p.answerNo();
            else if (a == u"cancel"_s) p.cancelInput();
            else p.answerText(a);
        }
        return writer.write(placemark);
    }

    TestServices t;
    ScriptedPrompter& p = t.prompter;
    KmlTemplateWriter writer{t.services};
};

}  // namespace

// The dialog offers KML first, under the placemark's own name. Names and links are written as entered, escaped, and
// never searched for tokens again; the link questions loop until a link is typed, or end without one.
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
        {"heli.kml", heli, {"no"}, linkQuestion, "", 0},
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
        EXPECT_TRUE(p.messages().empty());
        const auto& calls = p.calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_TRUE(calls[0].dialog.filter.startsWith(u"KML Files (*.kml);;"_s));
        EXPECT_EQ(calls[0].dialog.defaultExtension, u"kml"_s);
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
        if (!row.href.isEmpty()) {
            EXPECT_TRUE(description.endsWith(u"<br><a href=\"%1\">Display Link</a></br>"_s.arg(row.href)));
        }
        EXPECT_EQ(written.iconHrefs, QStringList{iconPath(orHeli(row.icon, u"helibasea.png"_s))});
    }
    // The plain facility: its description items, its position, a view from 5 km, CR LF after the last line.
    const QByteArray data = readAll(out(u"heli.kml"_s));
    EXPECT_TRUE(data.endsWith("</kml>\r\n"));
    EXPECT_EQ(kml(u"heli.kml"_s).descriptions,
              QStringList{u"<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: 16R 761158 3370495</br>"
                          "<br>National Grid Coord: 16R GU 61158 70495</br><br>STR: T01N R05W S12</br>"_s});
    EXPECT_EQ(kml(u"heli.kml"_s).coordinates, QStringList{u"-084.250000,30.500000,0"_s});
    EXPECT_TRUE(data.contains("<longitude>-084.250000</longitude>") && data.contains("<latitude>30.500000</latitude>"));
    EXPECT_TRUE(data.contains("<range>5000</range>"));
}

// Yes to the imagery question picks the imagery template; each dialog starts in the folder chosen the time before.
// A KMZ holds doc.kml, its icon referenced inside the archive (the web imagery untouched), and the icon as shipped;
// one that cannot be completed leaves the earlier file as it was and no partial archive beside it.
TEST_F(KmlWriterTest, ImageryTemplatesAndKmzArchives) {
    ASSERT_EQ(write(u"fire.kml"_s, {"yes", "no"}, wildfirePlacemark({.fireName = u"Oak"_s})), Outcome::Written);
    EXPECT_EQ(kml(u"fire.kml"_s).error, QString());
    EXPECT_EQ(readAll(out(u"fire.kml"_s)).count("<GroundOverlay>"), 2);

    const HurricaneFeature ivan{.stormName = u"IVAN"_s, .positionType = u"Actual"_s, .category = u"Category 3"_s};
    ASSERT_EQ(write(u"storm.kmz"_s, {"yes", "no"}, hurricanePlacemark(ivan)), Outcome::Written);
    EXPECT_EQ(p.calls()[3].dialog.folder, t.out.path());
    const QMap<QString, QByteArray> entries = readArchive(out(u"storm.kmz"_s));
    EXPECT_EQ(entries.keys(), QStringList({"doc.kml", "icons/Cat3Hurricane.gif"}));
    EXPECT_EQ(entries.value(u"icons/Cat3Hurricane.gif"_s), readAll(iconPath(u"Cat3Hurricane.gif"_s)));
    const QByteArray doc = entries.value(u"doc.kml"_s);
    ASSERT_TRUE(writeFile(out(u"doc.kml"_s), doc));
    const KmlContent storm = kml(u"doc.kml"_s);
    ASSERT_EQ(storm.error, QString());
    EXPECT_EQ(doc.count("<GroundOverlay>"), 3);
    EXPECT_TRUE(doc.contains("<range>500000</range>"));
    EXPECT_EQ(storm.names, QStringList{u"IVAN , Category 3"_s});
    EXPECT_EQ(storm.iconHrefs.value(0), u"icons/Cat3Hurricane.gif"_s);

    const QString kept = out(u"kept.kmz"_s);
    ASSERT_TRUE(writeFile(kept, "an earlier archive"));
    const QStringList before = filesIn(t.out.path());
    const WriteResult result = writeKmz(kept, u"<kml/>"_s, t.paths.iconsDir(), {u"no-such-icon.png"_s});
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.message().contains(u"no-such-icon.png"_s));
    EXPECT_EQ(readAll(kept), "an earlier archive"_ba);
    EXPECT_EQ(filesIn(t.out.path()), before);
}

// Only a file with content is asked about: a refused one is kept and another file chosen.
TEST_F(KmlWriterTest, OverwriteQuestionOnlyForAFileWithContent) {
    ASSERT_TRUE(writeFile(out(u"empty.kml"_s), QByteArray()));
    ASSERT_TRUE(writeFile(out(u"a.kml"_s), "keep me"));
    p.choosePath(out(u"a.kml"_s));
    p.answerNo();
    ASSERT_EQ(write(u"empty.kml"_s, {"no"}), Outcome::Written);
    const auto& calls = p.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].text, u"File Already Exists  - Overwrite?"_s);
    EXPECT_EQ(calls[3].text, u"Add Image or Web link?"_s);  // nothing asked of the empty file
    EXPECT_EQ(readAll(out(u"a.kml"_s)), "keep me"_ba);
    EXPECT_EQ(kml(u"empty.kml"_s).names, QStringList{u"Helibase 2"_s});
    EXPECT_TRUE(p.unexpected().isEmpty());
}

// A target that cannot be written, or a missing template, is named; nothing is left behind and the file chosen is
// left as it was. (A cancelled dialog: FeatureFormTest.)
TEST_F(KmlWriterTest, FailuresAreNamedAndLeaveNothingBehind) {
    const QString target = out(u"no/such/folder/a.kml"_s);
    EXPECT_EQ(write(u"no/such/folder/a.kml"_s, {"no"}), Outcome::Failed);
    ASSERT_EQ(p.messageTexts().size(), 1);
    EXPECT_TRUE(p.messageTexts()[0].contains(target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(filesIn(t.out.path()).isEmpty());
    EXPECT_TRUE(p.unexpected().isEmpty());

    const QTemporaryDir noData;
    TestServices bare(noData.path());
    ASSERT_TRUE(writeFile(bare.path(u"a.kml"_s), "keep me"));
    bare.prompter.choosePath(bare.path(u"a.kml"_s));
    bare.prompter.answerYes();
    EXPECT_EQ(KmlTemplateWriter(bare.services).write(facilityPlacemark(helibase())), Outcome::Failed);
    ASSERT_EQ(bare.prompter.messageTexts().size(), 1);
    EXPECT_TRUE(bare.prompter.messageTexts()[0].contains(u"templates/kml_template3.txt"_s));
    EXPECT_EQ(readAll(bare.path(u"a.kml"_s)), "keep me"_ba);
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
