// What goes into a placemark (icons, file names, description items, cleaned
// and escaped text), then the KML writer over the shipped templates: the
// written files read back with the XML reader.

#include "output/FacilityTypes.h"
#include "output/KmlPlacemark.h"
#include "output/KmlTemplateWriter.h"
#include "output/KmzArchive.h"
#include "output/TextCleaning.h"
#include "support/ArchiveReading.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;
using namespace Qt::StringLiterals;
using namespace waypost::test;
using Outcome = KmlTemplateWriter::Outcome;

// A facility type has its icon only when it matches exactly, any other text shows other.png, and every icon the
// facility table names is shipped. (The Helibase icon: NamesAndLinksAreWrittenAsEntered below; the fire's, the
// plain and every hurricane icon, named as in HurricaneIcons, shipped: the output_icons_are_images check.)
TEST(FacilityIcons, OnlyExactTypesHaveTheirIconAndEachIsShipped) {
    for (const char* type : {"", "helibase", "Helibase "})
        EXPECT_EQ(facilityIcon(QString::fromLatin1(type)), u"other.png"_s) << type;
    for (const FacilityType& t : facilityTypeTable()) {
        const QString icon = facilityIcon(t.type);
        EXPECT_TRUE(QFile::exists(QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/") + icon)) << icon.toStdString();
    }
}

// A hurricane icon is prefixed by the category, and by Fcast_ for a forecast;
// another category or position has the plain icon. A hurricane file is named by
// the position's kind, storm, UTC hour, month (when a real one) and day (an
// actual position's name: FeatureWindowsTest). The description items of a fire
// and a storm, in order (what the KML writer tests below read back from the
// written file is not repeated here).
TEST(Placemarks, HurricaneIconsAndFileNamesAndTheDescriptionItems) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Actual", "Tropical Depression", "TDHurricane.gif"}, {"Forecast", "Tropical Storm", "Fcast_TSHurricane.gif"},
        {"Actual", "Category 1", "Cat1Hurricane.gif"},        {"Forecast", "Category 5", "Fcast_Cat5Hurricane.gif"},
        {"Forecast", "Post-Tropical", "Hurricane.gif"},       {"Estimated", "Category 2", "Hurricane.gif"}};
    for (const auto& [position, category, icon] : cases)
        EXPECT_EQ(hurricaneIcon(QString::fromLatin1(position), QString::fromLatin1(category)),
                  QString::fromLatin1(icon)) << position << " " << category;
    for (const auto& [month, name] :  // 13 is no month
         {std::pair{"12", "phForecastKATRINA_0300_Dec29"}, std::pair{"13", "phForecastKATRINA_0300_29"}}) {
        const HurricaneFeature f{.stormName = u"KATRINA"_s, .positionType = u"Forecast"_s, .utcHour = u"03:45"_s,
                                 .utcMonth = QString::fromLatin1(month), .utcDay = u"29"_s};
        EXPECT_EQ(hurricaneFileName(f), QString::fromLatin1(name)) << month;
    }

    const auto fire = wildfirePlacemark({.report = u"Initial"_s, .significant = u"Yes"_s});
    EXPECT_EQ(fire.descriptionItems.value(2), u"Report: Initial"_s);
    EXPECT_EQ(fire.descriptionItems.value(9), u"Significant: Yes"_s);
    const auto storm = hurricanePlacemark({.stormName = u"IVAN"_s, .positionType = u"Forecast"_s,
                                           .category = u"Category 4"_s, .localTime = u"10:00"_s, .knots = u"120"_s,
                                           .mph = u"138"_s});
    EXPECT_EQ(storm.descriptionItems, QStringList({"IVAN", "Forecast Location", "Local Time:10:00", "Category 4",
                                                   "Winds(kts/mph):120/138"}));
}

// fncXMLchk: ' : ? > < # & / become blanks and the text is trimmed; then \ and " become blanks. Escaped text, in an
// attribute and in an element, reads back as it was. (CDATA-safe text: the "]]>" in a link, below.)
TEST(TextCleaning, RestrictedCharactersAreCleanedAndEscapedTextParsesBackToItself) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u" a/b ", u"a b"}, {u"&Camp&", u"Camp"},  // blanks before the trim
        {u"\\x\\", u" x "}, {u"\"x\"", u" x "},    // blanks after the trim
        {u"A'B:C?D>E<F#G&H/I", u"A B C D E F G H I"}, {u"", u""}, {u"\tTab", u"\tTab"}};  // only blanks are trimmed
    for (const auto& [in, out] : cases)
        EXPECT_EQ(fncXMLchk(QString::fromUtf16(in)), QString::fromUtf16(out)) << QString::fromUtf16(in).toStdString();

    const QString nasty = QStringLiteral("Tom & Jerry's <camp> \"A\"");
    QXmlStreamReader xml(QStringLiteral("<r><a b=\"%1\">%1</a></r>").arg(xmlEscaped(nasty)));
    ASSERT_TRUE(xml.readNextStartElement() && xml.readNextStartElement());
    EXPECT_EQ(xml.attributes().value(QStringLiteral("b")).toString(), nasty);
    EXPECT_EQ(xml.readElementText(), nasty);
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}

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

// The dialog offers the placemark's own name; an empty file chosen is not asked about. Names and links are written as
// entered, escaped, and never searched for tokens again; the link questions loop until a link is typed, or end without
// one. (The answers are typed, so each row's questions and inputs come in the order its answers give. A file with
// content asked about, a refused one kept and another chosen: KitTest::recordFilesAreNewOrAppended.)
TEST_F(KmlWriterTest, NamesAndLinksAreWrittenAsEntered) {
    const WildfireFeature fire{.fireName = u"XXL Bear & Cub <2> YYY"_s, .at = sampleLocation()};
    const KmlPlacemark heli = facilityPlacemark(helibase());
    const struct {
        const char* file;
        KmlPlacemark placemark;
        QStringList answers;
        QString href;  ///< empty for no link item
        QString dialogName = {}, name = {}, firstItem = {}, icon = {};  ///< empty: the plain helibase's
    } rows[] = {
        {"heli.kml", heli, {"no"}, ""},
        // The imagery question comes first; tokens (XX, YYY, ZZZZZ) stay as typed; a "]]>" in the link splits the
        // description's CDATA in two.
        {"amp.kml", wildfirePlacemark(fire), {"no", "yes", "http://a.gov/YYY/ZZZZZ?q=\"x\"&r=<y>]]>&b=XX"},
         "http://a.gov/YYY/ZZZZZ?q=&quot;x&quot;&r=<y>]]>&b=XX", "pwXXL Bear _ Cub <2> YYY", "XXL Bear & Cub <2> YYY",
         "Fire Name: XXL Bear + Cub <2> YYY", "ffire.png"},
        // A cancelled first input counts as empty; after a Yes to "No Link Entered" empty
        // inputs are asked again until a link is typed or the input cancelled.
        {"l1.kml", heli, {"yes", "cancel", "yes", "", "", "photo.jpg"}, "photo.jpg"},
        {"l2.kml", heli, {"yes", "", "no"}, ""},
        {"l3.kml", heli, {"yes", "", "yes", "", "cancel"}, ""},
        {"l4.kml", heli, {"yes", "   "}, "   "},  // blanks are a link
    };
    const auto orHeli = [](const QString& value, const QString& plain) { return value.isEmpty() ? plain : value; };
    ASSERT_TRUE(writeFile(out(u"heli.kml"_s), QByteArray()));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        p.clearCalls();
        ASSERT_EQ(write(QString::fromLatin1(row.file), row.answers, row.placemark), Outcome::Written);
        EXPECT_TRUE(p.unexpected().isEmpty()) << p.unexpected().join(u'\n').toStdString();
        EXPECT_EQ(p.pendingAnswers(), 0u);
        EXPECT_TRUE(p.messages().empty());
        const auto& calls = p.calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls[0].dialog.fileName, orHeli(row.dialogName, u"pfHelibase 2"_s));

        const KmlContent written = kml(QString::fromLatin1(row.file));
        ASSERT_EQ(written.error, QString());
        EXPECT_EQ(written.names, QStringList{orHeli(row.name, u"Helibase 2"_s)});
        const QString description = written.descriptions.join(QString());
        EXPECT_TRUE(description.startsWith(u"<br>%1</br>"_s.arg(orHeli(row.firstItem, u"Helibase 2"_s))));
        const QString last = row.href.isEmpty() ? u"<br>STR: T01N R05W S12</br>"_s  // only the helibase has no link
                                                : u"<br><a href=\"%1\">Display Link</a></br>"_s.arg(row.href);
        EXPECT_TRUE(description.endsWith(last)) << description.toStdString();
        EXPECT_EQ(written.iconHrefs, QStringList{iconPath(orHeli(row.icon, u"helibasea.png"_s))});
    }
    // The plain facility: its description items, the view's position from 5 km, CR LF after the last line. (The
    // point's coordinates: FeatureWindowsTest.)
    const QByteArray data = readAll(out(u"heli.kml"_s));
    EXPECT_TRUE(data.endsWith("</kml>\r\n"));
    EXPECT_EQ(kml(u"heli.kml"_s).descriptions,
              QStringList{u"<br>Helibase 2</br><br>Helibase</br><br>UTM Coord: 16R 761158 3370495</br>"
                          "<br>National Grid Coord: 16R GU 61158 70495</br><br>STR: T01N R05W S12</br>"_s});
    EXPECT_TRUE(data.contains("<longitude>-084.250000</longitude>") && data.contains("<latitude>30.500000</latitude>"));
    EXPECT_TRUE(data.contains("<range>5000</range>"));
}

// Yes to the imagery question picks the imagery template; each dialog starts in the folder chosen the time before.
// A KMZ holds doc.kml and its icon, the web imagery left out. A KMZ that cannot be completed, a target that cannot be
// written or a missing template is named; nothing is left behind and the file chosen is left as it was. (The icon as
// shipped, referenced inside the archive: frmGEAddressTest; a cancelled dialog: KitTest.)
TEST_F(KmlWriterTest, ImageryTemplatesKmzArchivesAndFailures) {
    ASSERT_EQ(write(u"fire.kml"_s, {"yes", "no"}, wildfirePlacemark({.fireName = u"Oak"_s})), Outcome::Written);
    EXPECT_EQ(kml(u"fire.kml"_s).error, QString());
    EXPECT_EQ(readAll(out(u"fire.kml"_s)).count("<GroundOverlay>"), 2);

    const HurricaneFeature ivan{.stormName = u"IVAN"_s, .positionType = u"Actual"_s, .category = u"Category 3"_s};
    ASSERT_EQ(write(u"storm.kmz"_s, {"yes", "no"}, hurricanePlacemark(ivan)), Outcome::Written);
    EXPECT_EQ(p.calls()[3].dialog.folder, t.out.path());
    const QMap<QString, QByteArray> entries = readArchive(out(u"storm.kmz"_s));
    EXPECT_EQ(entries.keys(), QStringList({"doc.kml", "icons/Cat3Hurricane.gif"}));
    const QByteArray doc = entries.value(u"doc.kml"_s);
    ASSERT_TRUE(writeFile(out(u"doc.kml"_s), doc));
    const KmlContent storm = kml(u"doc.kml"_s);
    ASSERT_EQ(storm.error, QString());
    EXPECT_EQ(doc.count("<GroundOverlay>"), 3);
    EXPECT_TRUE(doc.contains("<range>500000</range>"));
    EXPECT_EQ(storm.names, QStringList{u"IVAN , Category 3"_s});

    const QString kept = out(u"kept.kmz"_s);
    ASSERT_TRUE(writeFile(kept, "an earlier archive"));
    const QStringList before = filesIn(t.out.path());
    const WriteResult result = writeKmz(kept, u"<kml/>"_s, t.paths.iconsDir(), {u"no-such-icon.png"_s});
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.message().contains(u"no-such-icon.png"_s));
    EXPECT_EQ(readAll(kept), "an earlier archive"_ba);
    const QString target = out(u"no/such/folder/a.kml"_s);
    EXPECT_EQ(write(u"no/such/folder/a.kml"_s, {"no"}), Outcome::Failed);
    ASSERT_EQ(p.messageTexts().size(), 1);
    EXPECT_TRUE(p.messageTexts()[0].contains(target));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(filesIn(t.out.path()), before);

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

// A token the template lacks changes nothing; a description outside CDATA gets a section of its own. (Each token
// filled everywhere a shipped template has it: the tests above and FeatureWindowsTest.)
TEST(KmlFill, TokensAreFilledWhereTheTemplateHasThem) {
    const KmlTemplateWriter::Fill fill{u"N"_s,  u"<br>d</br>"_s, u"-84"_s,
                                       u"30"_s, u"/i.png"_s,     u"<range>5000</range>"_s};
    const std::pair<const char*, const char*> cases[] = {
        {"<a><range>250</range></a>", "<a><range>250</range></a>"}, {"<d>QQQQQ</d>", "<d><![CDATA[<br>d</br>]]></d>"}};
    for (const auto& [in, filled] : cases)
        EXPECT_EQ(KmlTemplateWriter::fillTemplate(QString::fromLatin1(in), fill), QString::fromLatin1(filled));
}
