#pragma once
// What a KML placemark file is filled with, and how each feature window's
// values become it: default file name, template, name, description items,
// icon and camera range.

#include "engine/Location.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace waypost {

/// Template files in the data folder's templates/.
inline const QString kPlainTemplate = QStringLiteral("kml_template3.txt");
inline const QString kRadarTemplate = QStringLiteral("kml_template3irwv.txt");
inline const QString kTropicalTemplate = QStringLiteral("kml_template3ir.txt");

/// Everything the KML writer needs for one placemark file.
struct KmlPlacemark {
    QString defaultFileName;    ///< offered in the save dialog
    QString templateQuestion;   ///< asked before filling; empty: none, the plain template
    QString yesTemplate;        ///< the template used when the question is answered Yes
    QString placemarkName;
    QStringList descriptionItems;  ///< each becomes <br>item</br>, in order
    QString latitude;           ///< as the window's label shows it ("30.500000")
    QString longitude;
    double latitudeDegrees = 0;  ///< the same position as a number
    double longitudeDegrees = 0;
    std::optional<QDateTime> time;  ///< the instant of the feature (UTC), when it has one
    QString iconFile;           ///< a file name in the data folder's icons/
    QString range;              ///< the look-at range element that replaces <range>1000</range>
};

/// The facilities window's feature; \c at is its location (none before one is handed over).
struct FacilityFeature {
    QString name, type;
    std::optional<engine::Location> at;
};

/// The wildfire window's feature.
struct WildfireFeature {
    QString fireName, incidentNumber, report, entryDate, startDate, acres, fuel, cause, percentContained;
    QString significant;  ///< "Yes", "No", or empty before either was chosen
    std::optional<engine::Location> at;
};

/// The hurricane window's feature. The UTC hour label reads "HH:MM"; the
/// month is the number the window shows (1-12).
struct HurricaneFeature {
    QString stormName, positionType, category, localTime, knots, mph;
    QString utcHour, utcMonth, utcDay;
    QString reportDate, utcTime;
    std::optional<engine::Location> at;
};

/// What the outputs write of a location: its numbers and texts as the labels
/// show them; 0 and empty texts when there is none.
struct WrittenLocation {
    double latitude = 0, longitude = 0, albersX = 0, albersY = 0;
    QString latitudeText, longitudeText, utm, usng, section;
};
WrittenLocation writtenLocation(const std::optional<engine::Location>& at);

KmlPlacemark facilityPlacemark(const FacilityFeature& feature);
KmlPlacemark wildfirePlacemark(const WildfireFeature& feature);
KmlPlacemark hurricanePlacemark(const HurricaneFeature& feature);

/// The icon of a hurricane position: category prefix + "Hurricane.gif".
QString hurricaneIcon(const QString& positionType, const QString& category);
/// The default file name of a hurricane position, such as phKATRINA_1500_Aug29.
QString hurricaneFileName(const HurricaneFeature& feature);

}  // namespace waypost
