#include "batch/TableCommand.h"

#include "batch/BatchRun.h"
#include "batch/ServerRun.h"
#include "batch/TableImport.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

#include <chrono>
#include <tuple>
#include <ostream>
#include <thread>

namespace waypost::batch {
namespace {

constexpr std::string_view kUsage =
    "usage: waypost-convert table usng2ll SOURCE TABLE FIELD [--shapefile|--points=FORMAT]\n"
    "       waypost-convert table ll2usng SOURCE TABLE LATFIELD LONFIELD [--north|--south] [--west|--east] "
    "[--shapefile|--points=FORMAT]\n"
    "FORMAT: shp, gpkg, geojson or gpx\n"
    "SOURCE: a SQLite (.sqlite, .db) or Access (.mdb, .accdb) database and its TABLE, a workbook (.xls, .xlsx,\n"
    ".ods) and its sheet, a text (.csv, .txt) or dBase (.dbf) file with TABLE given as -, or the agency\n"
    "database as PG:CONNECTION (a libpq connection string: PG:service=agency) and its TABLE;\n"
    "--database CONNECTION names the agency database in place of SOURCE\n";

/// The database and table a run works on: a SQLite table as it is, anything
/// else through the same import as the batch windows.
std::pair<QString, QString> runTarget(const QString& source, const QString& table) {
    const QString suffix = QFileInfo(source).suffix().toLower();
    if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb")) return {importAccess(source), table};
    if (suffix == QLatin1String("dbf")) return {importDbf(source), QStringLiteral("COORD")};
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt")) return {importText(source), QStringLiteral("COORD")};
    if (suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx") || suffix == QLatin1String("ods"))
        return {importSheet(source, table), QStringLiteral("tblExcel")};
    if (suffix == QLatin1String("gpkg"))
        throw ImportError(source, QStringLiteral("a GeoPackage is not converted here; export the table as a text or "
                                                 "dBase file"));
    return {source, table};
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

int runTable(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    std::vector<std::string_view> values;
    std::optional<PointFormat> points;
    Hemispheres hemispheres;
    std::optional<std::string_view> server;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--database" && i + 1 < args.size()) server = args[++i];
        else if (arg.starts_with("--database=")) server = arg.substr(11);
        else if (arg == "--shapefile") points = PointFormat::Shapefile;
        else if (arg.starts_with("--points=")) {
            points = pointFormatFor(text(arg.substr(9)));
            if (!points) {
                err << "waypost-convert: --points takes shp, gpkg, geojson or gpx\n";
                return 2;
            }
        }
        else if (arg == "--north") hemispheres.north = true;
        else if (arg == "--south") hemispheres.north = false;
        else if (arg == "--west") hemispheres.west = true;
        else if (arg == "--east") hemispheres.west = false;
        else if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        } else if (arg.starts_with("--")) {
            err << "waypost-convert: unknown option \"" << arg << "\" (try --help)\n";
            return 2;
        } else values.push_back(arg);
    }
    std::string serverSource;
    if (server && !values.empty()) {
        serverSource = "PG:" + std::string(*server);
        values.insert(values.begin() + 1, serverSource);
    }
    const bool toLatLong = !values.empty() && values[0] == "usng2ll";
    const bool toUsng = !values.empty() && values[0] == "ll2usng";
    if ((!toLatLong && !toUsng) || values.size() != (toLatLong ? 4U : 5U)) {
        err << kUsage;
        return 2;
    }
    QString database = text(values[1]);
    const QString sourceTable = text(values[2]);
    RunCounter done{0};
    std::atomic<bool> running{true};
    std::thread progress;
    if (isatty(STDERR_FILENO)) {
        progress = std::thread([&] {
            while (running) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                err << "\r" << done.load() << " records" << std::flush;
            }
            err << "\n";
        });
    }
    const auto stop = [&] {
        running = false;
        if (progress.joinable()) progress.join();
    };
    try {
        if (isServerSource(database)) {
            const std::string connection = serverConnection(database);
            const RunResult result =
                toLatLong ? convertUsngToLatLongOnServer(connection, sourceTable, text(values[3]), &done)
                          : convertLatLongToUsngOnServer(connection, sourceTable, text(values[3]), text(values[4]),
                                                         hemispheres, &done);
            QString shape;
            if (points)
                shape = writeServerTablePoints(connection, sourceTable, result.latitudeColumn, result.longitudeColumn,
                                               *points, QDir::currentPath());
            stop();
            out << completionMessage(result.records, QStringLiteral("the agency database's table ") + sourceTable, shape)
                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                       .toStdString()
                << '\n';
            return 0;
        }
        QString table;
        std::tie(database, table) = runTarget(database, sourceTable);
        const RunResult result = toLatLong ? convertUsngToLatLong(database, table, text(values[3]), &done)
                                           : convertLatLongToUsng(database, table, text(values[3]), text(values[4]),
                                                                  hemispheres, &done);
        QString shape;
        if (points) shape = writeTablePoints(database, table, result.latitudeColumn, result.longitudeColumn, *points);
        stop();
        out << completionMessage(result.records, database, shape).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toStdString()
            << '\n';
        return 0;
    } catch (const RunError& e) {
        stop();
        err << "waypost-convert: " << e.message().toStdString() << '\n';
    } catch (const ImportError& e) {
        stop();
        err << "waypost-convert: " << e.what() << '\n';
    }
    return 1;
}

}  // namespace

engine::ExtraCommand tableCommand() {
    engine::ExtraCommand command;
    command.name = "table";
    command.help = R"(  table usng2ll SOURCE TABLE FIELD [--shapefile|--points=FORMAT]
  table ll2usng SOURCE TABLE LATFIELD LONFIELD [--north|--south] [--west|--east] [--shapefile|--points=FORMAT]
                      the batch windows' runs on a table of a SQLite database;
                      an Access database, a workbook's sheet (TABLE names it)
                      or a text or dBase file (TABLE is -) is first imported
                      into SQLite as the windows import it: adds
                      Latitude/Longitude or USNGCoord (ux... when there) to
                      every record in one transaction, or changes nothing and
                      names the record that failed; --shapefile writes the
                      points beside the database, --points=gpkg (geojson,
                      gpx, shp) in that format; a table of the agency
                      database (PG:CONNECTION or --database CONNECTION) is
                      converted in one server transaction and its points
                      written into the current folder
)";
    command.whole = runTable;
    return command;
}

}  // namespace waypost::batch
