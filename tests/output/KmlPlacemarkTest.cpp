#include "output/KmlPlacemark.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace waypost;

TEST(FacilityIcons, EveryTypeHasItsIconAndOthersFallBack) {
    const struct {
        const char* type;
        const char* icon;
    } cases[] = {{"Aerial Hazard", "av_obstaclea.png"},      {"Camp", "campa.png"},
                 {"Drop Point", "droppoint.png"},             {"Fire Origin", "fire_origina.png"},
                 {"First Aid Station", "faids.png"},          {"Helibase", "helibasea.png"},
                 {"Hot Spot", "hot_spotA.png"},               {"Incident Base", "incident_basea.png"},
                 {"Incident Command Post", "icsa.png"},       {"Mobile WEAX Unit", "weaxa.png"},
                 {"Spot Fire", "spotfirea.png"},              {"Staging Area", "staginga.png"},
                 {"Water Source", "water_sourcea.png"},       {"Forestry Center", "SHIELD.png"},
                 {"Forestry Site", "SHIELD.png"},             {"Forestry Station", "SHIELD.png"},
                 {"State Forest Headquarters", "SHIELD.png"}, {"Smoke Sensitive Feature", "ssf.png"},
                 {"Accident", "accident.png"},                {"Tower", "towera.png"},
                 {"DOT Fuel Site", "dot_logo.png"},           {"Tanker Base", "tanker_base.png"},
                 {"Black Turpentine Beetle", "beetle.png"},   {"IPS Engraver Beetle", "beetle.png"},
                 {"Southern Pine Beetle", "beetle.png"},      {"Other Insect Infestation", "beetle.png"},
                 {"Fusiform Rust", "rust.png"},               {"Needle Rust", "rust.png"},
                 {"Other Tree Disease", "otd.png"},           {"", "other.png"},
                 {"helibase", "other.png"},                   {"Helibase ", "other.png"},
                 {"Typed By Hand", "other.png"}};
    for (const auto& c : cases)
        EXPECT_EQ(facilityIcon(QString::fromLatin1(c.type)), QString::fromLatin1(c.icon)) << c.type;
}

TEST(HurricaneIcons, PrefixByPositionAndCategory) {
    const struct {
        const char* position;
        const char* category;
        const char* icon;
    } cases[] = {{"Actual", "Tropical Depression", "TDHurricane.gif"},
                 {"Forecast", "Tropical Depression", "Fcast_TDHurricane.gif"},
                 {"Actual", "Tropical Storm", "TSHurricane.gif"},
                 {"Forecast", "Tropical Storm", "Fcast_TSHurricane.gif"},
                 {"Actual", "Category 1", "Cat1Hurricane.gif"},
                 {"Actual", "Category 3", "Cat3Hurricane.gif"},
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

TEST(Placemarks, FacilityWildfireAndHurricaneInputs) {
    const auto fac = facilityPlacemark({"XXL Camp", "Camp", "30.500000", "-084.250000", "16R 761158 3370495",
                                        "16R GU 61158 70495", "T01N R05W S12"});
    EXPECT_EQ(fac.defaultFileName, QStringLiteral("pfXXL Camp"));
    EXPECT_TRUE(fac.templateQuestion.isEmpty());
    EXPECT_EQ(fac.descriptionItems,
              QStringList({"XXL Camp", "Camp", "UTM Coord: 16R 761158 3370495", "National Grid Coord: 16R GU 61158 70495",
                           "STR: T01N R05W S12"}));
    EXPECT_EQ(fac.iconFile, QStringLiteral("campa.png"));
    EXPECT_EQ(fac.range, QStringLiteral("<range>5000</range>"));

    WildfireFeature w;
    w.fireName = QStringLiteral("Bear & Cub");
    w.significant = true;
    w.report = QStringLiteral("Initial");
    const auto fire = wildfirePlacemark(w);
    EXPECT_EQ(fire.defaultFileName, QStringLiteral("pwBear _ Cub"));
    EXPECT_EQ(fire.placemarkName, QStringLiteral("Bear & Cub"));
    EXPECT_EQ(fire.descriptionItems.at(0), QStringLiteral("Fire Name: Bear + Cub"));
    EXPECT_EQ(fire.descriptionItems.at(2), QStringLiteral("Report: Initial"));
    EXPECT_EQ(fire.descriptionItems.at(9), QStringLiteral("Significant: Yes"));
    EXPECT_EQ(fire.descriptionItems.size(), 13);
    EXPECT_EQ(fire.iconFile, QStringLiteral("ffire.png"));
    EXPECT_EQ(fire.yesTemplate, kRadarTemplate);
    EXPECT_EQ(fire.templateQuestion, QStringLiteral("Add Current NOAA Southeast Radar and Water Vapor Imagery?"));

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
    EXPECT_EQ(storm.iconFile, QStringLiteral("Fcast_Cat4Hurricane.gif"));
    EXPECT_EQ(storm.range, QStringLiteral("<range>500000</range>"));
    EXPECT_EQ(storm.yesTemplate, kTropicalTemplate);
}

TEST(PlacemarkIcons, EveryIconTheTablesNameIsShipped) {
    const QString icons = QStringLiteral(WAYPOST_SOURCE_DIR "/data/icons/");
    QStringList names{QStringLiteral("ffire.png"), QStringLiteral("other.png"), QStringLiteral("Hurricane.gif")};
    for (const char* type :
         {"Aerial Hazard", "Camp", "Drop Point", "Fire Origin", "First Aid Station", "Helibase", "Hot Spot",
          "Incident Base", "Incident Command Post", "Mobile WEAX Unit", "Spot Fire", "Staging Area", "Water Source",
          "Forestry Center", "Smoke Sensitive Feature", "Accident", "Tower", "DOT Fuel Site", "Tanker Base",
          "Southern Pine Beetle", "Needle Rust", "Other Tree Disease"})
        names << facilityIcon(QString::fromLatin1(type));
    for (const char* position : {"Actual", "Forecast"})
        for (const char* category : {"Tropical Depression", "Tropical Storm", "Category 1", "Category 2",
                                     "Category 3", "Category 4", "Category 5"})
            names << hurricaneIcon(QString::fromLatin1(position), QString::fromLatin1(category));
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 39);
    for (const QString& name : names) EXPECT_TRUE(QFile::exists(icons + name)) << name.toStdString();
}
