#pragma once
// A feature's point in the formats GPS units and current GIS read, beside
// KML: GPX (a waypoint), GeoJSON and GeoPackage, through GDAL's drivers.

#include "output/FeatureFields.h"
#include "output/KmlPlacemark.h"
#include "platform/FileWriting.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace waypost {

/// The save dialog's filters for these formats, in Qt's form.
inline const QString kPointFileFilter =
    QStringLiteral("GPX Files (*.gpx);;GeoJSON Files (*.geojson);;GeoPackage Files (*.gpkg)");
/// Their extensions, without the dot.
inline const QStringList kPointFileExtensions{QStringLiteral("gpx"), QStringLiteral("geojson"), QStringLiteral("gpkg")};

/// Whether \p path names one of these formats (by its extension, any case).
bool isPointFilePath(const QString& path);

/// One point feature with the attributes of its shapefile.
struct PointFeature {
    QString layer;        ///< the GeoPackage layer: "Facility", "Wildfire", "Hurricane"
    QString name;         ///< a waypoint's name
    QString description;  ///< a waypoint's description, plain text
    std::optional<QDateTime> time;  ///< a waypoint's time (UTC), when the feature has one
    double longitude = 0, latitude = 0;  ///< WGS 84 degrees
    FieldTable table;  ///< the attributes: each field that has a shapefile name
    FieldRow row;
};

/// The point of a feature whose placemark is \p placemark: its name, its
/// description items, its position and time, and the attributes of its
/// shapefile, \p table and \p row.
PointFeature pointFeature(const QString& layer, const KmlPlacemark& placemark, FieldTable table, FieldRow row);

/// Writes \p feature as the only point of a new file \p path (.gpx, .geojson
/// or .gpkg), in WGS 84, replacing any file of that name once the new one is
/// complete. A GPX waypoint carries name, time and description, the other
/// attributes as extensions; GeoJSON and GeoPackage carry every attribute
/// under its full (record file) name.
WriteResult writePointFile(const QString& path, const PointFeature& feature);

}  // namespace waypost
