#include "output/FacilityTypes.h"
#include "output/KmlPlacemark.h"
#include "output/TextCleaning.h"

#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;
using namespace Qt::StringLiterals;

// A facility type has its icon only when it matches exactly, any other text shows other.png, and every icon the
// facility table names is shipped. (The Helibase icon: KmlTemplateWriterTest; the fire's, the plain and every
// hurricane icon, named as in HurricaneIcons, shipped: the output_icons_are_images check.)
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
// actual position's name: FeatureWindowsTest). The description items of a fire and a
// storm, in order (what the KML writer tests read back from the written file is
// not repeated here).
TEST(Placemarks, HurricaneIconsAndFileNamesAndTheDescriptionItems) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Actual", "Tropical Depression", "TDHurricane.gif"}, {"Forecast", "Tropical Storm", "Fcast_TSHurricane.gif"},
        {"Actual", "Category 1", "Cat1Hurricane.gif"},        {"Forecast", "Category 5", "Fcast_Cat5Hurricane.gif"},
        {"Actual", "Category 6", "Hurricane.gif"},            {"Forecast", "Post-Tropical", "Hurricane.gif"},
        {"Estimated", "Category 2", "Hurricane.gif"},         {"", "Tropical Storm", "Hurricane.gif"}};
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
// attribute and in an element, reads back as it was. (CDATA-safe text: the "]]>" in a link, KmlTemplateWriterTest.)
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
