#include "batch/ServerRun.h"

#include "agency/AgencyDatabase.h"
#include "output/ProjectionFiles.h"
#include "platform/FileWriting.h"

#include <gdal_priv.h>
#include <gdal_utils.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>


namespace waypost::batch {
namespace {

using agency::AgencyError;
using agency::Connection;
using agency::numberText;

constexpr int kChunk = 50000;  // records fetched, converted and sent at a time

const QString kUnchanged = QStringLiteral("\n\nNothing was changed: the table is as it was.");


QStringList columnsOf(Connection& c, const QString& table) {
    QStringList names;
    for (const agency::Row& row :
         c.run("SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() AND "
               "table_name = $1 ORDER BY ordinal_position",
               {table.toStdString()}))
        names << QString::fromStdString(row.at(0).value_or(""));
    if (names.isEmpty()) throw RunError(QStringLiteral("The agency database has no table %1.").arg(table));
    return names;
}

/// One run: the table locked against other writers, \p added columns made,
/// every record read in table order in chunks and converted by \p convert into
/// the text of its new values, sent in bulk and applied by one update. All
/// in one transaction. \p convert gets the record's position and its values.
template <class Convert>
std::int64_t runOnServer(Connection& c, const QString& table, const QStringList& read,
                         const std::vector<std::pair<QString, std::string>>& added, RunCounter* done, Convert convert) {
    const std::string name = c.quoted(table.toStdString());
    agency::Transaction transaction(c);
    c.run("LOCK TABLE " + name + " IN SHARE ROW EXCLUSIVE MODE");
    std::string columns, temporary, assignments;
    for (std::size_t i = 0; i < added.size(); ++i) {
        const std::string column = c.quoted(added[i].first.toStdString());
        c.run("ALTER TABLE " + name + " ADD COLUMN " + column + ' ' + added[i].second);
        temporary += ", v" + std::to_string(i) + ' ' + added[i].second;
        assignments += (i ? ", " : "") + column + " = r.v" + std::to_string(i);
    }
    c.run("CREATE TEMPORARY TABLE waypost_run (row_id tid" + temporary + ") ON COMMIT DROP");
    std::string selected;
    for (const QString& column : read) selected += ", " + c.quoted(column.toStdString()) + "::text";
    c.run("DECLARE waypost_rows NO SCROLL CURSOR FOR SELECT ctid::text" + selected + " FROM " + name + " ORDER BY ctid");
    std::int64_t position = 0;
    for (;;) {
        const std::vector<agency::Row> rows = c.run("FETCH " + std::to_string(kChunk) + " FROM waypost_rows");
        if (rows.empty()) break;
        std::string data;
        for (const agency::Row& row : rows) {
            ++position;
            data += *row.at(0);
            for (const std::optional<std::string>& value : convert(position, row)) data += '\t' + agency::copyField(value);
            data += '\n';
        }
        c.copyIn("COPY waypost_run FROM STDIN", data);
        if (done) done->store(position, std::memory_order_relaxed);
    }
    c.run("CLOSE waypost_rows");
    c.run("UPDATE " + name + " AS t SET " + assignments + " FROM waypost_run AS r WHERE t.ctid = r.row_id");
    transaction.commit();
    return position;
}

template <class Run>
RunResult guardedOnServer(Run run) {
    try {
        return run();
    } catch (const AgencyError& failure) {
        throw RunError(failure.words() + kUnchanged);
    }
}

}  // namespace

bool isServerSource(const QString& source) { return source.startsWith(QLatin1String("PG:")); }

std::string serverConnection(const QString& source) { return source.mid(3).toStdString(); }

QStringList serverTables(const std::string& connection) {
    try {
        Connection c(connection);
        QStringList names;
        for (const agency::Row& row : c.run("SELECT table_name FROM information_schema.tables WHERE table_schema = "
                                            "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name"))
            names << QString::fromStdString(row.at(0).value_or(""));
        return names;
    } catch (const AgencyError& failure) {
        throw RunError(failure.words());
    }
}

QStringList serverColumns(const std::string& connection, const QString& table) {
    try {
        Connection c(connection);
        return columnsOf(c, table);
    } catch (const AgencyError& failure) {
        throw RunError(failure.words());
    }
}

RunResult convertUsngToLatLongOnServer(const std::string& connection, const QString& table, const QString& field,
                                       RunCounter* done) {
    return guardedOnServer([&] {
        Connection c(connection);
        const QStringList columns = columnsOf(c, table);
        RunResult result = plannedUsngToLatLong(columns, table, field);
        result.records = runOnServer(
            c, table, {field}, {{result.latitudeColumn, "double precision"}, {result.longitudeColumn, "double precision"}},
            done, [](std::int64_t record, const agency::Row& row) {
                const auto [latitude, longitude] = latLongOfRecord(record, row.at(1));
                return std::vector<std::optional<std::string>>{numberText(latitude), numberText(longitude)};
            });
        return result;
    });
}

RunResult convertLatLongToUsngOnServer(const std::string& connection, const QString& table,
                                       const QString& latitudeField, const QString& longitudeField,
                                       Hemispheres hemispheres, RunCounter* done) {
    return guardedOnServer([&] {
        Connection c(connection);
        const QStringList columns = columnsOf(c, table);
        RunResult result = plannedLatLongToUsng(columns, table, latitudeField, longitudeField);
        result.records = runOnServer(c, table, {latitudeField, longitudeField}, {{result.outputColumns, "text"}}, done,
                                     [&](std::int64_t record, const agency::Row& row) {
                                         return std::vector<std::optional<std::string>>{
                                             referenceOfRecord(record, row.at(1), row.at(2), hemispheres)};
                                     });
        return result;
    });
}

std::vector<std::pair<double, double>> readServerTablePoints(const std::string& connection, const QString& table,
                                                             const QString& latitudeColumn, const QString& longitudeColumn) {
    try {
        Connection c(connection);
        std::vector<std::pair<double, double>> points;
        for (const agency::Row& row : c.run("SELECT " + c.quoted(longitudeColumn.toStdString()) + "::text, " +
                                            c.quoted(latitudeColumn.toStdString()) + "::text FROM " +
                                            c.quoted(table.toStdString())))
            if (const auto x = coordinateNumber(row.at(0)), y = coordinateNumber(row.at(1)); x && y)
                points.emplace_back(*x, *y);
        return points;
    } catch (const AgencyError& failure) {
        throw RunError(failure.words());
    }
}

QString writeServerTablePoints(const std::string& connection, const QString& table, const QString& latitudeColumn,
                               const QString& longitudeColumn, PointFormat format, const QString& folder) {
    const QString extension = pointFormatExtension(format);
    const QString target = QDir(folder).filePath(table + u'.' + extension);
    QString sql;
    try {
        Connection c(connection);
        const std::string name = c.quoted(table.toStdString());
        sql = QString::fromStdString("SELECT *, ST_SetSRID(ST_MakePoint(" + c.quoted(longitudeColumn.toStdString()) +
                                     "::float8, " + c.quoted(latitudeColumn.toStdString()) +
                                     "::float8), 4326) AS waypost_point FROM " + name + " ORDER BY ctid");
    } catch (const AgencyError& failure) {
        throw RunError(failure.words());
    }
    // Built in a folder of its own beside the target, then put in place whole.
    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".waypost-points-XXXXXX")));
    if (!staging.isValid()) throw RunError(QStringLiteral("%1 cannot be written: the folder is not writable.").arg(target));
    const QString built = staging.filePath(QFileInfo(target).fileName());
    GDALAllRegister();
    GDALDatasetH source = GDALOpenEx(("PG:" + connection).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    if (!source) throw RunError(QStringLiteral("GDAL cannot read the agency database: %1").arg(QString::fromUtf8(CPLGetLastErrorMsg())));
    const char* driver = format == PointFormat::Shapefile  ? "ESRI Shapefile"
                         : format == PointFormat::GeoPackage ? "GPKG"
                         : format == PointFormat::GeoJson    ? "GeoJSON"
                                                             : "GPX";
    const QByteArray sqlText = sql.toUtf8(), layer = table.toUtf8();
    std::vector<const char*> arguments{"-f", driver, "-sql", sqlText.constData(), "-nln", layer.constData()};
    if (format == PointFormat::Shapefile) arguments.insert(arguments.end(), {"-lco", "ENCODING=UTF-8"});
    if (format == PointFormat::Gpx) arguments.insert(arguments.end(), {"-dsco", "GPX_USE_EXTENSIONS=YES", "-nlt", "POINT"});
    arguments.push_back(nullptr);
    GDALVectorTranslateOptions* options =
        GDALVectorTranslateOptionsNew(const_cast<char**>(arguments.data()), nullptr);
    int usageError = 0;
    CPLErrorReset();
    GDALDatasetH written = GDALVectorTranslate(built.toUtf8().constData(), nullptr, 1, &source, options, &usageError);
    GDALVectorTranslateOptionsFree(options);
    if (written) GDALClose(written);
    const bool ok = written && CPLGetLastErrorType() < CE_Failure;
    const QString gdalMessage = QString::fromUtf8(CPLGetLastErrorMsg());
    GDALClose(source);
    if (!ok) throw RunError(QStringLiteral("%1 could not be written: %2").arg(target, gdalMessage));
    if (format == PointFormat::Shapefile) {
        const WriteResult prj = writeProjectionFile(QString::fromLatin1(kWgs84Projection), built);
        if (!prj) throw RunError(prj.message());
    }
    const QString base = QFileInfo(target).completeBaseName();
    for (const QFileInfo& file : QDir(staging.path()).entryInfoList(QDir::Files)) {
        const QString placed = QDir(folder).filePath(base + file.fileName().mid(base.size()));
        QFile::remove(placed);
        if (!QFile::rename(file.filePath(), placed))
            throw RunError(QStringLiteral("%1 cannot be put in place in %2.").arg(file.fileName(), folder));
    }
    return target;
}

}  // namespace waypost::batch
