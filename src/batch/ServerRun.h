#pragma once
// The batch runs on a table of the agency database: the same conversions as
// on a SQLite table, every added column and value in one server transaction
// (the values sent in bulk and applied by one update), and the table's points
// written through GDAL's PostgreSQL driver.

#include "batch/BatchRun.h"

#include <string>
#include <utility>
#include <vector>

namespace waypost::batch {

/// "PG:service=agency" names the agency database; the rest is libpq's connection string.
bool isServerSource(const QString& source);
/// The connection string of a "PG:" source.
std::string serverConnection(const QString& source);

/// The tables of the agency database's current schema, by name.
/// \throws RunError when the server cannot be reached.
QStringList serverTables(const std::string& connection);
/// The columns of \p table, in their order. \throws RunError.
QStringList serverColumns(const std::string& connection, const QString& table);

/// As convertUsngToLatLong, on a table of the agency database.
RunResult convertUsngToLatLongOnServer(const std::string& connection, const QString& table, const QString& field,
                                       RunCounter* done = nullptr);
/// As convertLatLongToUsng, on a table of the agency database.
RunResult convertLatLongToUsngOnServer(const std::string& connection, const QString& table,
                                       const QString& latitudeField, const QString& longitudeField,
                                       Hemispheres hemispheres, RunCounter* done = nullptr);

/// The points of a server table in \p format in \p folder, named after the
/// table ("fire calls" -> "fire calls.shp"), every column an attribute, a
/// shapefile with the WGS 84 .prj; put in place only when complete.
/// \return the file's path. \throws RunError.
QString writeServerTablePoints(const std::string& connection, const QString& table, const QString& latitudeColumn,
                               const QString& longitudeColumn, PointFormat format, const QString& folder);

/// The points of a converted server table as (longitude, latitude), for its
/// map; a record without both numbers is left out. \throws RunError.
std::vector<std::pair<double, double>> readServerTablePoints(const std::string& connection, const QString& table,
                                                             const QString& latitudeColumn, const QString& longitudeColumn);

}  // namespace waypost::batch
