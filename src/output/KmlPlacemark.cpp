#include "output/KmlPlacemark.h"

#include "output/FacilityTypes.h"


#include <QHash>

namespace waypost {
namespace {

const QString kFacilityRange = QStringLiteral("<range>5000</range>");
const QString kHurricaneRange = QStringLiteral("<range>500000</range>");

/// The placemark's position, from the feature's location.
void place(KmlPlacemark& p, const std::optional<engine::Location>& at) {
    const WrittenLocation w = writtenLocation(at);
    p.latitude = w.latitudeText;
    p.longitude = w.longitudeText;
    p.latitudeDegrees = w.latitude;
    p.longitudeDegrees = w.longitude;
}

}  // namespace

WrittenLocation writtenLocation(const std::optional<engine::Location>& at) {
    if (!at) return {};
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    return {at->latitude,           at->longitude,           at->albersX,   at->albersY,
            text(at->latitudeText()), text(at->longitudeText()), text(at->utm), text(at->usng),
            text(at->sectionText())};
}

QString hurricaneIcon(const QString& positionType, const QString& category) {
    QString prefix;
    if (category == QLatin1String("Tropical Depression")) prefix = QStringLiteral("TD");
    else if (category == QLatin1String("Tropical Storm")) prefix = QStringLiteral("TS");
    else
        for (int n = 1; n <= 5; ++n)
            if (category == QStringLiteral("Category %1").arg(n)) prefix = QStringLiteral("Cat%1").arg(n);
    if (positionType == QLatin1String("Forecast") && !prefix.isEmpty()) prefix.prepend(QStringLiteral("Fcast_"));
    else if (positionType != QLatin1String("Actual")) prefix.clear();
    return prefix + QStringLiteral("Hurricane.gif");
}

QString hurricaneFileName(const HurricaneFeature& feature) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QString month;
    bool isNumber = false;
    const int m = feature.utcMonth.trimmed().toInt(&isNumber);
    if (isNumber && m >= 1 && m <= 12) month = QString::fromLatin1(months[m - 1]);
    const QString prefix =
        feature.positionType == QLatin1String("Forecast") ? QStringLiteral("phForecast") : QStringLiteral("ph");
    return prefix + feature.stormName + u'_' + feature.utcHour.left(2) + QStringLiteral("00_") + month +
           feature.utcDay;
}

KmlPlacemark facilityPlacemark(const FacilityFeature& f) {
    KmlPlacemark p;
    p.defaultFileName = QStringLiteral("pf") + f.name;
    p.placemarkName = f.name;
    const WrittenLocation w = writtenLocation(f.at);
    p.descriptionItems = {f.name, f.type, QStringLiteral("UTM Coord: ") + w.utm,
                          QStringLiteral("National Grid Coord: ") + w.usng, QStringLiteral("STR: ") + w.section};
    place(p, f.at);
    p.iconFile = facilityIcon(f.type);
    p.range = kFacilityRange;
    return p;
}

KmlPlacemark wildfirePlacemark(const WildfireFeature& f) {
    KmlPlacemark p;
    p.defaultFileName = QStringLiteral("pw") + QString(f.fireName).replace(u'&', u'_');
    p.templateQuestion = QStringLiteral("Add Current NOAA Southeast Radar and Water Vapor Imagery?");
    p.yesTemplate = kRadarTemplate;
    p.placemarkName = f.fireName;
    p.descriptionItems = {QStringLiteral("Fire Name: ") + QString(f.fireName).replace(u'&', u'+'),
                          QStringLiteral("Incident Number: ") + f.incidentNumber,
                          QStringLiteral("Report: ") + f.report,
                          QStringLiteral("Entry Date: ") + f.entryDate,
                          QStringLiteral("Start Date: ") + f.startDate,
                          QStringLiteral("Acres: ") + f.acres,
                          QStringLiteral("Fuel: ") + f.fuel,
                          QStringLiteral("Cause: ") + f.cause,
                          QStringLiteral("Percent Contained: ") + f.percentContained,
                          QStringLiteral("Significant: ") + f.significant,
                          QStringLiteral("USNG Coord: ") + writtenLocation(f.at).usng,
                          QStringLiteral("UTM Coord: ") + writtenLocation(f.at).utm,
                          QStringLiteral("STR: ") + writtenLocation(f.at).section};
    place(p, f.at);
    p.iconFile = QStringLiteral("ffire.png");
    p.range = kFacilityRange;
    return p;
}

KmlPlacemark hurricanePlacemark(const HurricaneFeature& f) {
    KmlPlacemark p;
    p.defaultFileName = hurricaneFileName(f);
    p.templateQuestion =
        QStringLiteral("Add Latest GOES Wind Shear Imagery and Sea Surface Temperature / Anomaly Imagery ?");
    p.yesTemplate = kTropicalTemplate;
    p.placemarkName = f.stormName + QStringLiteral(" , ") + f.category;
    p.descriptionItems = {f.stormName, f.positionType + QStringLiteral(" Location"),
                          QStringLiteral("Local Time:") + f.localTime, f.category,
                          QStringLiteral("Winds(kts/mph):") + f.knots + u'/' + f.mph};
    place(p, f.at);
    // A GPS unit's waypoint carries the position's UTC time ("8/29/2026 15:00:00 UTC").
    QDateTime utc = QDateTime::fromString(f.utcTime.section(u' ', 0, 1), QStringLiteral("M/d/yyyy HH:mm:ss"));
    utc.setTimeSpec(Qt::UTC);
    if (utc.isValid()) p.time = utc;
    p.iconFile = hurricaneIcon(f.positionType, f.category);
    p.range = kHurricaneRange;
    return p;
}

}  // namespace waypost
