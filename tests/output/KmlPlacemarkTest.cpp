#include "output/FacilityTypes.h"
#include "output/KmlPlacemark.h"
#include "output/TextCleaning.h"

#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;
using namespace Qt::StringLiterals;

// A facility type has its icon only when it matches exactly; any other text shows other.png.
TEST(FacilityIcons, OnlyExactTypesHaveTheirIcon) {
    EXPECT_EQ(facilityIcon(u"Helibase"_s), u"helibasea.png"_s);
    for (const char* type : {"", "helibase", "Helibase "})
        EXPECT_EQ(facilityIcon(QString::fromLatin1(type)), u"other.png"_s) << type;
}

// A hurricane icon is prefixed by the category, and by Fcast_ for a forecast;
// another category or position has the plain icon.
TEST(HurricaneIcons, PrefixByPositionAndCategory) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Actual", "Tropical Depression", "TDHurricane.gif"}, {"Forecast", "Tropical Storm", "Fcast_TSHurricane.gif"},
        {"Actual", "Category 1", "Cat1Hurricane.gif"},        {"Forecast", "Category 5", "Fcast_Cat5Hurricane.gif"},
        {"Actual", "Category 6", "Hurricane.gif"},            {"Forecast", "Post-Tropical", "Hurricane.gif"},
        {"Estimated", "Category 2", "Hurricane.gif"},         {"", "Tropical Storm", "Hurricane.gif"}};
    for (const auto& [position, category, icon] : cases)
        EXPECT_EQ(hurricaneIcon(QString::fromLatin1(position), QString::fromLatin1(category)),
                  QString::fromLatin1(icon)) << position << " " << category;
}

// A hurricane file is named by the position's kind, storm, UTC hour, month (when a real one) and day
// (an actual position's name: wpHcaneTest).
TEST(HurricaneFileNames, HourMonthAndDay) {
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"Forecast", "03:45", "12", "phForecastKATRINA_0300_Dec29"},
        {"Forecast", "03:45", "13", "phForecastKATRINA_0300_29"},  // no such month
        {"Forecast", "03:45", "x", "phForecastKATRINA_0300_29"}};
    for (const auto& [position, hour, month, name] : cases) {
        const HurricaneFeature f{.stormName = u"KATRINA"_s, .positionType = QString::fromLatin1(position),
                                 .utcHour = QString::fromLatin1(hour), .utcMonth = QString::fromLatin1(month),
                                 .utcDay = u"29"_s};
        EXPECT_EQ(hurricaneFileName(f), QString::fromLatin1(name));
    }
}

// The description items of a fire and a storm, in order. What the KML writer
// tests read back from the written file is not repeated here.
TEST(Placemarks, WildfireAndHurricaneDescriptions) {
    const auto fire = wildfirePlacemark({.report = u"Initial"_s, .significant = u"Yes"_s});
    EXPECT_EQ(fire.descriptionItems.value(2), u"Report: Initial"_s);
    EXPECT_EQ(fire.descriptionItems.value(9), u"Significant: Yes"_s);
    const auto storm = hurricanePlacemark({.stormName = u"IVAN"_s, .positionType = u"Forecast"_s,
                                           .category = u"Category 4"_s, .localTime = u"10:00"_s, .knots = u"120"_s,
                                           .mph = u"138"_s});
    EXPECT_EQ(storm.descriptionItems, QStringList({"IVAN", "Forecast Location", "Local Time:10:00", "Category 4",
                                                   "Winds(kts/mph):120/138"}));
}

// Every icon the tables can name is shipped.
TEST(PlacemarkIcons, EveryIconTheTablesNameIsShipped) {
    const QString icons = QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/");
    QStringList names{u"ffire.png"_s, u"other.png"_s, u"Hurricane.gif"_s};
    for (const FacilityType& t : facilityTypeTable()) names << facilityIcon(t.type);
    for (const char* position : {"Actual", "Forecast"})
        for (const char* category : {"Tropical Depression", "Tropical Storm", "Category 1", "Category 2",
                                     "Category 3", "Category 4", "Category 5"})
            names << hurricaneIcon(QString::fromLatin1(position), QString::fromLatin1(category));
    for (const QString& name : names) EXPECT_TRUE(QFile::exists(icons + name)) << name.toStdString();
}

// ' : ? > < # & / become blanks and the text is trimmed; then \ and " become blanks.
TEST(fncXMLchk, CleansTheRestrictedCharactersThenTrims) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u" a/b ", u"a b"},      {u"&Camp&", u"Camp"},  // blanks before the trim
        {u"\\x\\", u" x "},      {u"\"x\"", u" x "},   // blanks after the trim
        {u"A'B:C?D>E<F#G&H/I", u"A B C D E F G H I"},
        {u"", u""},              {u"\tTab", u"\tTab"},  // only blanks are trimmed
        {u"Ça va", u"Ça va"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(fncXMLchk(QString::fromUtf16(in)), QString::fromUtf16(out)) << QString::fromUtf16(in).toStdString();
}

// Escaped text, in an attribute and in an element, and CDATA-safe text read back as they were.
TEST(XmlText, EscapedAndCdataTextParsesBackToItself) {
    const QString nasty = QStringLiteral("Tom & Jerry's <camp> \"A\""), cdata = QStringLiteral("a]]>b<br>&c");
    QXmlStreamReader xml(
        QStringLiteral("<r><a b=\"%1\">%1</a><c><![CDATA[%2]]></c></r>").arg(xmlEscaped(nasty), cdataSafe(cdata)));
    ASSERT_TRUE(xml.readNextStartElement() && xml.readNextStartElement());
    EXPECT_EQ(xml.attributes().value(QStringLiteral("b")).toString(), nasty);
    EXPECT_EQ(xml.readElementText(), nasty);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.readElementText(), cdata);
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}
