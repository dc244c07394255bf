#pragma once
// The batch runs over a table of a SQLite database: US National Grid
// references to latitude and longitude columns, and latitude and longitude to
// a reference column; and the point shapefile of a converted table. One core
// for both windows and waypost-convert.

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace waypost::batch {

/// A run that could not be completed; the table is as it was.
class RunError : public std::runtime_error {
public:
    /// \p record is the position of the failing record in table order (1 for
    /// the first; 0 when no record is concerned).
    RunError(QString message, std::int64_t record = 0);
    const QString& message() const { return m_message; }
    std::int64_t record() const { return m_record; }

private:
    QString m_message;
    std::int64_t m_record;
};

/// The messages the windows show when an earlier run's columns are there.
inline const QString kPreviousUsngToLatLong =
    QStringLiteral("It Apprears there was a Previous Conversion - Exiting Conversion Routine");
inline const QString kPreviousLatLongToUsng =
    QStringLiteral("It Appears there was a Previous Conversion - Exiting Conversion Routine");

/// What a run converted.
struct RunResult {
    std::int64_t records = 0;
    QString latitudeColumn, longitudeColumn;  ///< the columns holding the points' latitude and longitude
    QString outputColumns;                    ///< the columns added, "Latitude, Longitude" or "USNGCoord" ...
};

/// Records done so far (written by the run, read by whoever shows progress).
using RunCounter = std::atomic<std::int64_t>;

/// Adds "Latitude" and "Longitude" (or "uxLatitude" and "uxLongitude" when
/// the first pair is there) to \p table and fills them from the references in
/// \p field, rounded to four decimals. Everything commits together or not at
/// all. \throws RunError naming the record, its value and the reason.
RunResult convertUsngToLatLong(const QString& database, const QString& table, const QString& field,
                               RunCounter* done = nullptr);

/// Which way each coordinate's sign is forced before the reference is made.
struct Hemispheres {
    bool north = true;  ///< latitudes positive (else negative)
    bool west = true;   ///< longitudes negative (else positive)
};

/// Adds "USNGCoord" (or "uxUSNGCoord" when it is there) to \p table and fills
/// it with the reference of each record's latitude and longitude after the
/// hemisphere forcing. Everything commits together or not at all.
/// \throws RunError naming the record, its value and the reason.
RunResult convertLatLongToUsng(const QString& database, const QString& table, const QString& latitudeField,
                               const QString& longitudeField, Hemispheres hemispheres, RunCounter* done = nullptr);

/// The shapefile beside \p database (fires.sqlite -> fires.shp): one point a
/// record at the stored (\p longitudeColumn, \p latitudeColumn), every column
/// an attribute typed from its declared type, and the WGS 84 .prj. A new set
/// replaces an earlier one only when complete. \return the shapefile's path.
/// \throws RunError.
QString writeTableShapefile(const QString& database, const QString& table, const QString& latitudeColumn,
                            const QString& longitudeColumn);

/// The formats a converted table's points may be written in.
enum class PointFormat { Shapefile, GeoPackage, GeoJson, Gpx };
/// "shp", "gpkg", "geojson", "gpx".
QString pointFormatExtension(PointFormat format);
/// A format by its extension (any case); std::nullopt for another.
std::optional<PointFormat> pointFormatFor(const QString& extension);

/// \p text as a coordinate: the whole of it a number (blanks around and a
/// leading "+" allowed), finite; nothing otherwise.
std::optional<double> coordinateNumber(const std::optional<std::string>& text);

/// The points of a converted table as (longitude, latitude), for its map;
/// a record without both numbers is left out.
std::vector<std::pair<double, double>> readTablePoints(const QString& database, const QString& table,
                                                       const QString& latitudeColumn, const QString& longitudeColumn);

/// The table's points beside \p database in \p format (fires.sqlite ->
/// fires.gpkg): one point a record at the stored (\p longitudeColumn,
/// \p latitudeColumn), every column an attribute. A shapefile as
/// writeTableShapefile; a GeoPackage (without a spatial index, as the
/// shapefile) or GeoJSON keeps full column names and types; a GPX file holds waypoints, the columns as their extensions (a
/// column named like a waypoint's text element, such as "name", fills it).
/// The file is built under a temporary name and put in place only when
/// complete. \return its path. \throws RunError.
QString writeTablePoints(const QString& database, const QString& table, const QString& latitudeColumn,
                         const QString& longitudeColumn, PointFormat format);

/// The columns a run of \p table (whose columns are \p columns) reads and
/// adds: Latitude and Longitude, or the ux... pair when the first is there.
/// \throws RunError when a field is missing or both pairs are there.
RunResult plannedUsngToLatLong(const QStringList& columns, const QString& table, const QString& field);
/// USNGCoord, or uxUSNGCoord when the first is there. \throws RunError as above.
RunResult plannedLatLongToUsng(const QStringList& columns, const QString& table, const QString& latitudeField,
                               const QString& longitudeField);

/// The latitude and longitude of record \p record's reference.
/// \throws RunError naming the record, its value and the reason.
std::pair<double, double> latLongOfRecord(std::int64_t record, const std::optional<std::string>& reference);
/// The reference of record \p record's latitude and longitude (texts) after
/// the hemisphere forcing. \throws RunError naming the record.
std::string referenceOfRecord(std::int64_t record, const std::optional<std::string>& latitude,
                              const std::optional<std::string>& longitude, Hemispheres hemispheres);

/// The shapefile field type code for a column's declared type.
int shapefileTypeFor(const QString& declaredType);

/// "Conversion Complete - 3 Records Converted" + two line ends + "Records added to " + database
/// (+ two line ends + "Shapefile " + path + " Created").
QString completionMessage(std::int64_t records, const QString& database, const QString& shapefile = {});

}  // namespace waypost::batch
