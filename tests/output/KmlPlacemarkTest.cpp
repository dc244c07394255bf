#include "output/FacilityTypes.h"
#include "output/KmlPlacemark.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace waypost;

// Which type has which icon is a table in the code; what matters here is the
// exact match and the fallback.
TEST(FacilityIcons, ExactTypesHaveTheirIconAndOthersFallBack) {
    const struct {
        const char* type;
        const char* icon;
    } cases[] = {{"Helibase", "helibasea.png"}, {"Forestry Site", "SHIELD.png"}, {"", "other.png"},
                 {"helibase", "other.png"},     {"Helibase ", "other.png"},     {"Typed By Hand", "other.png"}};
    for (const auto& c : cases)
        EXPECT_EQ(facilityIcon(QString::fromLatin1(c.type)), QString::fromLatin1(c.icon)) << c.type;
}

TEST(HurricaneIcons, PrefixByPositionAndCategory) {
    const struct {
        const char* position;
        const char* category;
        const char* icon;
    } cases[] = {{"Actual", "Tropical Depression", "TDHurricane.gif"},
                 {"Forecast", "Tropical Storm", "Fcast_TSHurricane.gif"},
                 {"Actual", "Category 1", "Cat1Hurricane.gif"},
                 {"Forecast", "Category 5", "Fcast_Cat5Hurricane.gif"},
                 {"Actual", "Category 6", "Hurricane.gif"},
                 {"Forecast", "Post-Tropical", "Hurricane.gif"},
                 {"Estimated", "Category 2", "Hurricane.gif"},
                 {"", "Tropical Storm", "Hurricane.gif"}};
    for (const auto& c : cases)
        EXPECT_EQ(hurricaneIcon(QString::fromLatin1(c.position), QString::fromLatin1(c.category)),
                  QString::fromLatin1(c.icon))
            << c.position << " " << c.category;
}

TEST(HurricaneFileNames, HourMonthAndDay) {
    HurricaneFeature f;
    f.stormName = QStringLiteral("KATRINA");
    f.positionType = QStringLiteral("Actual");
    f.utcHour = QStringLiteral("15:00");
    f.utcMonth = QStringLiteral("8");
    f.utcDay = QStringLiteral("29");
    EXPECT_EQ(hurricaneFileName(f), QStringLiteral("phKATRINA_1500_Aug29"));
    f.positionType = QStringLiteral("Forecast");
    f.utcHour = QStringLiteral("03:45");
    f.utcMonth = QStringLiteral("12");
    EXPECT_EQ(hurricaneFileName(f), QStringLiteral("phForecastKATRINA_0300_Dec29"));
    f.utcMonth = QStringLiteral("13");
    EXPECT_EQ(hurricaneFileName(f), QStringLiteral("phForecastKATRINA_0300_29"));
    f.utcMonth = QStringLiteral("x");
    EXPECT_EQ(hurricaneFileName(f), QStringLiteral("phForecastKATRINA_0300_29"));
}

// What the KML writer tests read back from the written file is not repeated here.
TEST(Placemarks, WildfireAndHurricaneInputs) {
    WildfireFeature w;
    w.fireName = QStringLiteral("Bear & Cub");
    w.significant = QStringLiteral("Yes");
    w.report = QStringLiteral("Initial");
    const auto fire = wildfirePlacemark(w);
    EXPECT_EQ(fire.descriptionItems.at(2), QStringLiteral("Report: Initial"));
    EXPECT_EQ(fire.descriptionItems.at(9), QStringLiteral("Significant: Yes"));
    EXPECT_EQ(fire.descriptionItems.size(), 13);

    HurricaneFeature h;
    h.stormName = QStringLiteral("IVAN");
    h.positionType = QStringLiteral("Forecast");
    h.category = QStringLiteral("Category 4");
    h.localTime = QStringLiteral("10:00");
    h.knots = QStringLiteral("120");
    h.mph = QStringLiteral("138");
    const auto storm = hurricanePlacemark(h);
    EXPECT_EQ(storm.placemarkName, QStringLiteral("IVAN , Category 4"));
    EXPECT_EQ(storm.descriptionItems, QStringList({"IVAN", "Forecast Location", "Local Time:10:00", "Category 4",
                                                   "Winds(kts/mph):120/138"}));
    EXPECT_EQ(storm.yesTemplate, kTropicalTemplate);
}

TEST(PlacemarkIcons, EveryIconTheTablesNameIsShipped) {
    const QString icons = QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/");
    QStringList names{QStringLiteral("ffire.png"), QStringLiteral("other.png"), QStringLiteral("Hurricane.gif")};
    for (const FacilityType& t : facilityTypeTable()) names << facilityIcon(t.type);
    for (const char* position : {"Actual", "Forecast"})
        for (const char* category : {"Tropical Depression", "Tropical Storm", "Category 1", "Category 2",
                                     "Category 3", "Category 4", "Category 5"})
            names << hurricaneIcon(QString::fromLatin1(position), QString::fromLatin1(category));
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 39);
    for (const QString& name : names) EXPECT_TRUE(QFile::exists(icons + name)) << name.toStdString();
}
