#include "batch/BatchRun.h"

#include "database/Database.h"
#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/USNGParser.h"
#include "output/ProjectionFiles.h"
#include "output/ShapefileWriter.h"
#include "platform/FileWriting.h"

#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>

#include <algorithm>

#include <charconv>
#include <future>
#include <cstdio>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace waypost::batch {

std::optional<double> coordinateNumber(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    std::string_view s = *text;
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

namespace {

using database::Database;
using database::Statement;

constexpr int kChunk = 5000;  // records read, then updated, at a time
using Values = std::vector<std::optional<std::string>>;

std::string q(const QString& name) { return database::quoteIdentifier(name.toStdString()); }

QStringList columnNames(Database& db, const QString& table) {
    QStringList names;
    for (const database::ColumnInfo& column : db.tableColumns(table.toStdString()))
        names << QString::fromStdString(column.name);
    return names;
}

[[noreturn]] void refuse(std::int64_t record, const std::optional<std::string>& value, const QString& reason) {
    throw RunError(QStringLiteral("Record %1 (%2) cannot be converted: %3.\n\nNothing was changed: the table is as it was.")
                       .arg(record)
                       .arg(value ? u'"' + QString::fromStdString(*value) + u'"' : QStringLiteral("empty"), reason),
                   record);
}

/// One pass over the table in row-number order (\p key, see Database::rowKey):
/// \p convert binds the new values of \p update (parameters 1 to
/// \p rowidParameter - 1) for each record; the row number goes into \p rowidParameter.
template <class Convert>
std::int64_t eachRecord(Database& db, const QString& table, const std::string& key, const std::string& columns,
                        Statement& update, int rowidParameter, RunCounter* done, Convert convert) {
    Statement read = db.prepare("SELECT " + key + ", " + columns + " FROM " + q(table) + " WHERE " + key + " > ? ORDER BY " +
                                key + " LIMIT " + std::to_string(kChunk));
    std::int64_t position = 0;
    std::int64_t last = std::numeric_limits<std::int64_t>::min();
    while (true) {
        // A chunk is read whole before it is updated, so the reading never
        // walks over rows it has just changed.
        std::vector<std::pair<std::int64_t, Values>> rows;
        read.reset();
        read.bind(1, last);
        while (read.step()) {
            Values values;
            for (int i = 1; i < read.columnCount(); ++i)
                values.push_back(read.isNull(i) ? std::nullopt : std::optional(read.columnText(i)));
            rows.emplace_back(read.columnInt(0), std::move(values));
        }
        if (rows.empty()) break;
        for (const auto& [rowid, values] : rows) {
            ++position;
            update.reset();
            convert(position, values);
            update.bind(rowidParameter, rowid);
            update.run();
            if (done) done->store(position, std::memory_order_relaxed);
        }
        last = rows.back().first;
    }
    return position;
}

/// A coordinate of the current row: a stored number as it is, a text read
/// as a number; nothing for NULL or a text that is no number.
std::optional<double> coordinateOf(const Statement& rows, int column) {
    if (rows.isNull(column)) return std::nullopt;
    if (!rows.isText(column)) return rows.columnDouble(column);
    return coordinateNumber(rows.columnText(column));
}

/// The point of the current row. \throws RunError naming the record when either coordinate is missing.
std::pair<double, double> pointOf(const Statement& rows, int longitudeIndex, int latitudeIndex, std::int64_t record) {
    const auto x = coordinateOf(rows, longitudeIndex);
    const auto y = coordinateOf(rows, latitudeIndex);
    if (!x || !y) throw RunError(QStringLiteral("record %1 has no longitude and latitude for its point").arg(record), record);
    return {*x, *y};
}

template <class Run>
RunResult guarded(Run run) {
    try {
        return run();
    } catch (const database::DatabaseError& failure) {
        throw RunError(QStringLiteral("%1: %2\n\nNothing was changed: the table is as it was.")
                           .arg(QString::fromStdString(failure.file()), QString::fromStdString(failure.reason())));
    }
}

}  // namespace

std::pair<double, double> latLongOfRecord(std::int64_t record, const std::optional<std::string>& reference) {
    if (!reference || reference->empty()) refuse(record, reference, QStringLiteral("it holds no reference"));
    const engine::USNGParseResult parsed = engine::USNGParser(*reference);
    if (!parsed.ok()) refuse(record, reference, QString::fromStdString(parsed.error));
    const engine::USNGPieces& p = *parsed.pieces;
    const engine::GeographicFromGrid geo = engine::geographicFromUsng(
        p.zoneDesignation, p.squareLetters, p.eastingDigits, p.northingDigits, engine::InverseTexts::LongitudeLatitude);
    if (!geo.bandError.empty()) refuse(record, reference, QString::fromStdString(geo.bandError));
    return {geo.latitude, geo.longitude};
}

std::string referenceOfRecord(std::int64_t record, const std::optional<std::string>& latitudeText,
                              const std::optional<std::string>& longitudeText, Hemispheres hemispheres) {
    const std::optional<double> lat = coordinateNumber(latitudeText);
    const std::optional<double> lon = coordinateNumber(longitudeText);
    if (!lat) refuse(record, latitudeText, QStringLiteral("the latitude is not a number"));
    if (!lon) refuse(record, longitudeText, QStringLiteral("the longitude is not a number"));
    double latitude = *lat, longitude = *lon;
    // Forced whatever the options' state, in this order.
    if (hemispheres.north && latitude < 0) latitude = -latitude;
    if (hemispheres.west && longitude > 0) longitude = -longitude;
    if (!hemispheres.north && latitude > 0) latitude = -latitude;
    if (!hemispheres.west && longitude < 0) longitude = -longitude;
    if (std::abs(latitude) > 90) refuse(record, latitudeText, QStringLiteral("a latitude lies within -90 to 90"));
    if (std::abs(longitude) > 180) refuse(record, longitudeText, QStringLiteral("a longitude lies within -180 to 180"));
    std::string reference = engine::nationalGridReference(engine::utmFromGeographic(latitude, longitude));
    while (!reference.empty() && reference.back() == ' ') reference.pop_back();
    while (!reference.empty() && reference.front() == ' ') reference.erase(reference.begin());
    return reference;
}

RunResult plannedUsngToLatLong(const QStringList& columns, const QString& table, const QString& field) {
    if (!columns.contains(field)) throw RunError(QStringLiteral("The table %1 has no field %2.").arg(table, field));
    RunResult result{0, QStringLiteral("Latitude"), QStringLiteral("Longitude"), {}};
    if (columns.contains(QStringLiteral("Latitude")) || columns.contains(QStringLiteral("Longitude"))) {
        if (columns.contains(QStringLiteral("uxLatitude")) || columns.contains(QStringLiteral("uxLongitude")))
            throw RunError(kPreviousUsngToLatLong);
        result.latitudeColumn = QStringLiteral("uxLatitude");
        result.longitudeColumn = QStringLiteral("uxLongitude");
    }
    result.outputColumns = result.latitudeColumn + QStringLiteral(", ") + result.longitudeColumn;
    return result;
}

RunResult plannedLatLongToUsng(const QStringList& columns, const QString& table, const QString& latitudeField,
                               const QString& longitudeField) {
    for (const QString& field : {latitudeField, longitudeField})
        if (!columns.contains(field)) throw RunError(QStringLiteral("The table %1 has no field %2.").arg(table, field));
    RunResult result{0, latitudeField, longitudeField, QStringLiteral("USNGCoord")};
    if (columns.contains(QStringLiteral("USNGCoord"))) {
        if (columns.contains(QStringLiteral("uxUSNGCoord"))) throw RunError(kPreviousLatLongToUsng);
        result.outputColumns = QStringLiteral("uxUSNGCoord");
    }
    return result;
}

RunError::RunError(QString message, std::int64_t record)
    : std::runtime_error(message.toStdString()), m_message(std::move(message)), m_record(record) {}

RunResult convertUsngToLatLong(const QString& database, const QString& table, const QString& field, RunCounter* done) {
    return guarded([&] {
        Database db(database.toStdString(), Database::Mode::ReadWrite);
        const QStringList columns = columnNames(db, table);
        RunResult result = plannedUsngToLatLong(columns, table, field);
        const std::string key = db.rowKey(table.toStdString());
        database::Transaction transaction(db);
        db.execute("ALTER TABLE " + q(table) + " ADD COLUMN " + q(result.latitudeColumn) + " REAL");
        db.execute("ALTER TABLE " + q(table) + " ADD COLUMN " + q(result.longitudeColumn) + " REAL");
        Statement update = db.prepare("UPDATE " + q(table) + " SET " + q(result.latitudeColumn) + " = ?, " +
                                      q(result.longitudeColumn) + " = ? WHERE " + key + " = ?");
        result.records = eachRecord(db, table, key, q(field), update, 3, done, [&](std::int64_t record, const Values& v) {
            const auto [latitude, longitude] = latLongOfRecord(record, v[0]);
            update.bind(1, latitude).bind(2, longitude);
        });
        transaction.commit();
        return result;
    });
}

RunResult convertLatLongToUsng(const QString& database, const QString& table, const QString& latitudeField,
                               const QString& longitudeField, Hemispheres hemispheres, RunCounter* done) {
    return guarded([&] {
        Database db(database.toStdString(), Database::Mode::ReadWrite);
        const QStringList columns = columnNames(db, table);
        RunResult result = plannedLatLongToUsng(columns, table, latitudeField, longitudeField);
        const std::string key = db.rowKey(table.toStdString());
        database::Transaction transaction(db);
        db.execute("ALTER TABLE " + q(table) + " ADD COLUMN " + q(result.outputColumns) + " TEXT");
        Statement update = db.prepare("UPDATE " + q(table) + " SET " + q(result.outputColumns) + " = ? WHERE " + key + " = ?");
        result.records = eachRecord(db, table, key, q(latitudeField) + ", " + q(longitudeField), update, 2, done,
                                    [&](std::int64_t record, const Values& v) {
            update.bind(1, referenceOfRecord(record, v[0], v[1], hemispheres));
        });
        transaction.commit();
        return result;
    });
}

int shapefileTypeFor(const QString& declaredType) {
    const QString t = declaredType.trimmed().toLower();
    if (t == QLatin1String("boolean")) return ShapefileWriter::Boolean;
    if (t == QLatin1String("datetime") || t == QLatin1String("date")) return ShapefileWriter::Date;
    if (t == QLatin1String("double") || t == QLatin1String("real") || t == QLatin1String("float")) return ShapefileWriter::Double;
    if (t.startsWith(QLatin1String("numeric")) || t.startsWith(QLatin1String("decimal"))) return ShapefileWriter::Decimal;
    // SQLite reports an Access "Integer" as INTEGER like its own: both are Long here.
    if (t == QLatin1String("integer") || t == QLatin1String("long integer") || t == QLatin1String("int"))
        return ShapefileWriter::Long;
    if (t == QLatin1String("single")) return ShapefileWriter::Single;
    return ShapefileWriter::Text;
}

namespace {

/// The condition of a record GDAL's translation could not write as it stands,
/// or nothing when a column's kind already rules the translation out. It may
/// write a table whose columns are whole numbers, numbers and texts without a
/// declared size, every value of its column's kind, with a point of numbers
/// on every record; otherwise each record goes through the writer's rules.
std::optional<std::string> untranslatable(const std::vector<database::ColumnInfo>& columns, const std::vector<int>& types,
                                          const QString& latitudeColumn, const QString& longitudeColumn) {
    std::string unlike = "typeof(" + q(latitudeColumn) + ") NOT IN ('integer', 'real') OR typeof(" + q(longitudeColumn) +
                         ") NOT IN ('integer', 'real')";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const QString column = QString::fromStdString(columns[i].name);
        const std::string name = q(column);
        if (column == latitudeColumn || column == longitudeColumn) {
            if (types[i] == ShapefileWriter::Long || types[i] == ShapefileWriter::Double) continue;  // checked above
            return std::nullopt;
        }
        if (types[i] == ShapefileWriter::Long) unlike += " OR typeof(" + name + ") NOT IN ('integer', 'null')";
        else if (types[i] == ShapefileWriter::Double) unlike += " OR typeof(" + name + ") NOT IN ('integer', 'real', 'null')";
        else if (types[i] == ShapefileWriter::Text && columns[i].declaredType.find('(') == std::string::npos)
            unlike += " OR typeof(" + name + ") = 'blob'";
        else return std::nullopt;
    }
    return unlike;
}

QString writeTableShapefile(const QString& database, const QString& table, const QString& latitudeColumn,
                            const QString& longitudeColumn, bool translation);

}  // namespace

QString writeTableShapefile(const QString& database, const QString& table, const QString& latitudeColumn,
                            const QString& longitudeColumn) {
    return writeTableShapefile(database, table, latitudeColumn, longitudeColumn, true);
}

namespace {

QString writeTableShapefile(const QString& database, const QString& table, const QString& latitudeColumn,
                            const QString& longitudeColumn, bool translation) {
    const QFileInfo info(database);
    const QString shapefile = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".shp"));
    try {
        Database db(database.toStdString(), Database::Mode::ReadOnly);
        const std::vector<database::ColumnInfo> columns = db.tableColumns(table.toStdString());
        ShapefileWriter writer;
        writer.OpenShapefile(shapefile, ShapefileWriter::OpenMode::Create, ShapefileWriter::Point);
        std::vector<int> types;
        QStringList names;  // made once, not once a record
        for (const database::ColumnInfo& column : columns) {
            names << QString::fromStdString(column.name);
            types.push_back(shapefileTypeFor(QString::fromStdString(column.declaredType)));
        }
        // A text column without a declared size is as wide as its longest
        // value (in UTF-8 bytes), not the dBase maximum for every record.
        const bool hasPoint = names.contains(latitudeColumn) && names.contains(longitudeColumn);
        const std::optional<std::string> unlike =
            translation && hasPoint ? untranslatable(columns, types, latitudeColumn, longitudeColumn) : std::nullopt;
        std::vector<int> longest(columns.size(), 0);
        {
            // Only those columns are measured: a number made text costs a
            // formatting each, for a million records.
            std::vector<std::size_t> unsized;
            std::string lengths;
            for (std::size_t i = 0; i < columns.size(); ++i)
                if (types[i] == ShapefileWriter::Text && QString::fromStdString(columns[i].declaredType).indexOf(u'(') <= 0) {
                    lengths += (unsized.empty() ? "SELECT " : ", ") + std::string("max(length(CAST(") +
                               q(names[static_cast<qsizetype>(i)]) + " AS BLOB)))";
                    unsized.push_back(i);
                }
            if (!lengths.empty()) {
                Statement measure = db.prepare(lengths + " FROM " + q(table));
                if (measure.step())
                    for (std::size_t k = 0; k < unsized.size(); ++k)
                        longest[unsized[k]] = static_cast<int>(std::min<std::int64_t>(measure.columnInt(static_cast<int>(k)), 254));
            }
        }
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const QString declared = QString::fromStdString(columns[i].declaredType);
            int size = 0;
            if (types[i] == ShapefileWriter::Text) {
                if (const qsizetype open = declared.indexOf(u'('); open > 0)
                    size = declared.mid(open + 1, declared.indexOf(u')') - open - 1).toInt();
                else size = std::max(longest[i], 1);
            }
            writer.AddField(names[static_cast<qsizetype>(i)], types[i], size);
        }
        writer.CommitFields();
        if (unlike) {
            // Whether every value suits its column is found on the other core
            // while GDAL writes; a table where one does not is written again,
            // record by record, and the translated set dropped.
            std::future<bool> suits = std::async(std::launch::async, [database, table, condition = *unlike] {
                Database own(database.toStdString(), Database::Mode::ReadOnly);
                Statement any = own.prepare("SELECT EXISTS (SELECT 1 FROM " + q(table) + " WHERE " + condition + ")");
                return any.step() && any.columnInt(0) == 0;
            });
            std::string select = "SELECT MakePoint(CAST(" + q(longitudeColumn) + " AS REAL), CAST(" + q(latitudeColumn) +
                                 " AS REAL)) AS waypost_point";
            for (const QString& name : names) select += ", " + q(name);
            try {
                writer.WriteRecordsFrom(database, select + " FROM " + q(table) + " ORDER BY " + db.rowKey(table.toStdString()));
            } catch (const ShapefileError&) {
                // GDAL could not translate it (no spatial SQL, for one): each record by the writer's rules.
                suits.wait();
                return writeTableShapefile(database, table, latitudeColumn, longitudeColumn, false);
            }
            if (!suits.get()) return writeTableShapefile(database, table, latitudeColumn, longitudeColumn, false);
            writer.CloseShapefile();
            const WriteResult written = writeProjectionFile(QString::fromLatin1(kWgs84Projection), shapefile);
            if (!written) throw RunError(written.message());
            return shapefile;
        }
        std::vector<int> fields;
        for (const QString& name : names) fields.push_back(writer.FieldIndex(name));
        Statement rows = db.prepare("SELECT * FROM " + q(table) + " ORDER BY " + db.rowKey(table.toStdString()));
        const int latitudeIndex = static_cast<int>(std::find_if(columns.begin(), columns.end(), [&](const auto& c) {
                                                       return QString::fromStdString(c.name) == latitudeColumn;
                                                   }) - columns.begin());
        const int longitudeIndex = static_cast<int>(std::find_if(columns.begin(), columns.end(), [&](const auto& c) {
                                                        return QString::fromStdString(c.name) == longitudeColumn;
                                                    }) - columns.begin());
        std::int64_t record = 0;
        while (rows.step()) {
            ++record;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const int c = static_cast<int>(i);
                if (rows.isNull(c)) continue;
                const int type = types[i];
                if (type == ShapefileWriter::Text) writer.SetFieldValue(fields[i], rows.columnText(c));
                else if (type == ShapefileWriter::Date) writer.SetFieldValue(fields[i], QString::fromStdString(rows.columnText(c)).left(10).toStdString());
                else writer.SetFieldValue(fields[i], rows.columnDouble(c));
            }
            const auto [x, y] = pointOf(rows, longitudeIndex, latitudeIndex, record);
            writer.AddVertex(x, y);
            writer.WriteShape();
        }
        writer.CloseShapefile();
    } catch (const database::DatabaseError& failure) {
        throw RunError(QString::fromStdString(failure.reason()));
    } catch (const ShapefileError& failure) {
        throw RunError(QString::fromUtf8(failure.what()));
    }
    const WriteResult written = writeProjectionFile(QString::fromLatin1(kWgs84Projection), shapefile);
    if (!written) throw RunError(written.message());
    return shapefile;
}

}  // namespace

std::vector<std::pair<double, double>> readTablePoints(const QString& database, const QString& table,
                                                       const QString& latitudeColumn, const QString& longitudeColumn) {
    Database db(database.toStdString(), Database::Mode::ReadOnly);
    Statement rows = db.prepare("SELECT " + q(longitudeColumn) + ", " + q(latitudeColumn) + " FROM " + q(table));
    std::vector<std::pair<double, double>> points;
    while (rows.step())
        if (const auto x = coordinateOf(rows, 0), y = coordinateOf(rows, 1); x && y) points.emplace_back(*x, *y);
    return points;
}

QString pointFormatExtension(PointFormat format) {
    switch (format) {
    case PointFormat::GeoPackage: return QStringLiteral("gpkg");
    case PointFormat::GeoJson: return QStringLiteral("geojson");
    case PointFormat::Gpx: return QStringLiteral("gpx");
    default: return QStringLiteral("shp");
    }
}

std::optional<PointFormat> pointFormatFor(const QString& extension) {
    for (PointFormat f : {PointFormat::Shapefile, PointFormat::GeoPackage, PointFormat::GeoJson, PointFormat::Gpx})
        if (extension.compare(pointFormatExtension(f), Qt::CaseInsensitive) == 0) return f;
    return std::nullopt;
}

QString writeTablePoints(const QString& database, const QString& table, const QString& latitudeColumn,
                         const QString& longitudeColumn, PointFormat format) {
    if (format == PointFormat::Shapefile) return writeTableShapefile(database, table, latitudeColumn, longitudeColumn);
    const QFileInfo info(database);
    const QString extension = pointFormatExtension(format);
    const QString target = info.absoluteDir().filePath(info.completeBaseName() + u'.' + extension);
    removeLeftovers(info.absolutePath(), extension);
    const QString temporary = temporaryNameBeside(target, extension);
    const bool gpx = format == PointFormat::Gpx;
    // A new file under a temporary name needs no journal nor syncing while it
    // is built: until it is renamed into place it is nobody's.
    struct FastNewFile {
        FastNewFile() {
            CPLSetThreadLocalConfigOption("OGR_SQLITE_JOURNAL", "OFF");
            CPLSetThreadLocalConfigOption("OGR_SQLITE_SYNCHRONOUS", "OFF");
            CPLSetThreadLocalConfigOption("OGR_SQLITE_CACHE", "256");
        }
        ~FastNewFile() {
            for (const char* key : {"OGR_SQLITE_JOURNAL", "OGR_SQLITE_SYNCHRONOUS", "OGR_SQLITE_CACHE"})
                CPLSetThreadLocalConfigOption(key, nullptr);
        }
    } fast;
    GDALAllRegister();
    CPLErrorReset();
    const auto gdalFailure = [&](const QString& what) {
        const QString reason = QString::fromUtf8(CPLGetLastErrorMsg());
        return RunError(QStringLiteral("%1: %2%3").arg(target, what, reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason)));
    };
    try {
        Database db(database.toStdString(), Database::Mode::ReadOnly);
        const std::vector<database::ColumnInfo> columns = db.tableColumns(table.toStdString());
        const char* driverName = format == PointFormat::GeoPackage ? "GPKG" : gpx ? "GPX" : "GeoJSON";
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
        if (!driver) throw RunError(QStringLiteral("GDAL has no %1 driver").arg(QLatin1String(driverName)));
        CPLStringList options;
        if (gpx) options.SetNameValue("GPX_USE_EXTENSIONS", "YES");
        GDALDatasetUniquePtr out(driver->Create(temporary.toUtf8().constData(), 0, 0, 0, GDT_Unknown, options.List()));
        if (!out) throw gdalFailure(QStringLiteral("the file cannot be made"));
        OGRSpatialReference wgs84;
        wgs84.SetWellKnownGeogCS("WGS84");
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        CPLStringList layerOptions;
        if (format == PointFormat::GeoJson) layerOptions.SetNameValue("RFC7946", "YES");
        // No spatial index, as the shapefile has none: for a million points it
        // takes longer than all the rest; a GIS adds one when it needs it.
        if (format == PointFormat::GeoPackage) layerOptions.SetNameValue("SPATIAL_INDEX", "NO");
        OGRLayer* layer = out->CreateLayer(gpx ? "waypoints" : table.toUtf8().constData(), &wgs84, wkbPoint,
                                           layerOptions.List());
        if (!layer) throw gdalFailure(QStringLiteral("the layer cannot be made"));
        // A GPX waypoint's own elements that hold text may take a column of that
        // name; any other column goes into the extensions under a name of its own.
        static const QStringList waypointTexts{QStringLiteral("name"), QStringLiteral("cmt"), QStringLiteral("desc"),
                                               QStringLiteral("src"), QStringLiteral("sym"), QStringLiteral("type")};
        std::vector<int> fields;  // the output field of each column
        for (const database::ColumnInfo& column : columns) {
            QString name = QString::fromStdString(column.name);
            const int type = shapefileTypeFor(QString::fromStdString(column.declaredType));
            const OGRFieldType fieldType = type == ShapefileWriter::Text ? OFTString
                                           : type == ShapefileWriter::Long || type == ShapefileWriter::Integer
                                               ? OFTInteger64
                                               : type == ShapefileWriter::Date ? OFTString : OFTReal;
            if (gpx) {
                name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
                if (name.isEmpty() || name.front().isDigit()) name.prepend(u'_');
                const bool waypointText = waypointTexts.contains(name, Qt::CaseInsensitive);
                if (!waypointText && layer->GetLayerDefn()->GetFieldIndex(name.toUtf8().constData()) >= 0)
                    name.append(u'_');  // "time", "ele" ... are the waypoint's own
            }
            OGRFieldDefn field(name.toUtf8().constData(), gpx && waypointTexts.contains(name, Qt::CaseInsensitive) ? OFTString : fieldType);
            if (layer->GetLayerDefn()->GetFieldIndex(field.GetNameRef()) < 0 && layer->CreateField(&field) != OGRERR_NONE)
                throw gdalFailure(QStringLiteral("the field %1 cannot be made").arg(name));
            fields.push_back(layer->GetLayerDefn()->GetFieldIndex(field.GetNameRef()));
        }
        const auto indexOf = [&](const QString& name) {
            return static_cast<int>(std::find_if(columns.begin(), columns.end(), [&](const auto& c) {
                                        return QString::fromStdString(c.name) == name;
                                    }) - columns.begin());
        };
        const int latitudeIndex = indexOf(latitudeColumn), longitudeIndex = indexOf(longitudeColumn);
        if (latitudeIndex >= static_cast<int>(columns.size()) || longitudeIndex >= static_cast<int>(columns.size()))
            throw RunError(QStringLiteral("The table %1 has no field %2 or %3.").arg(table, latitudeColumn, longitudeColumn));

        Statement rows = db.prepare("SELECT * FROM " + q(table) + " ORDER BY " + db.rowKey(table.toStdString()));
        if (out->StartTransaction() != OGRERR_NONE) CPLErrorReset();  // the GeoJSON driver has none: fine
        std::int64_t record = 0;
        while (rows.step()) {
            ++record;
            OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer->GetLayerDefn()));
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const int c = static_cast<int>(i);
                if (rows.isNull(c)) continue;
                const OGRFieldType type = feature->GetFieldDefnRef(fields[i])->GetType();
                if (type == OFTInteger64 && !rows.isText(c)) feature->SetField(fields[i], static_cast<GIntBig>(rows.columnInt(c)));
                else if (type == OFTReal && !rows.isText(c)) feature->SetField(fields[i], rows.columnDouble(c));
                else feature->SetField(fields[i], rows.columnText(c).c_str());
            }
            const auto [x, y] = pointOf(rows, longitudeIndex, latitudeIndex, record);
            feature->SetGeometryDirectly(new OGRPoint(x, y));
            if (layer->CreateFeature(feature.get()) != OGRERR_NONE)
                throw gdalFailure(QStringLiteral("record %1 cannot be written").arg(record));
        }
        if (out->CommitTransaction() != OGRERR_NONE) CPLErrorReset();
        CPLErrorReset();
        out.reset();  // writes the file out
        if (CPLGetLastErrorType() >= CE_Failure) throw gdalFailure(QStringLiteral("the file cannot be finished"));
    } catch (const database::DatabaseError& failure) {
        QFile::remove(temporary);
        throw RunError(QString::fromStdString(failure.reason()));
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temporary);
        throw RunError(QStringLiteral("%1 cannot be put in place").arg(target));
    }
    return target;
}

QString completionMessage(std::int64_t records, const QString& database, const QString& shapefile) {
    QString text = QStringLiteral("Conversion Complete - %1 Records Converted\r\n\r\nRecords added to %2").arg(records).arg(database);
    if (shapefile.endsWith(QLatin1String(".shp"), Qt::CaseInsensitive))
        text += QStringLiteral("\r\n\r\nShapefile %1 Created").arg(shapefile);
    else if (!shapefile.isEmpty())
        text += QStringLiteral("\r\n\r\nPoints written to %1").arg(shapefile);
    return text;
}

}  // namespace waypost::batch
