#include "batch/TableCommand.h"

#include "batch/BatchRun.h"
#include "batch/TableImport.h"

#include <QFileInfo>

#include <unistd.h>

#include <chrono>
#include <ostream>
#include <thread>

namespace waypost::batch {
namespace {

constexpr std::string_view kUsage =
    "usage: waypost-convert table usng2ll DATABASE TABLE FIELD [--shapefile]\n"
    "       waypost-convert table ll2usng DATABASE TABLE LATFIELD LONFIELD [--north|--south] [--west|--east] "
    "[--shapefile]\n";

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

int runTable(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    std::vector<std::string_view> values;
    bool shapefile = false;
    Hemispheres hemispheres;
    for (std::string_view arg : args) {
        if (arg == "--shapefile") shapefile = true;
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
    const bool toLatLong = !values.empty() && values[0] == "usng2ll";
    const bool toUsng = !values.empty() && values[0] == "ll2usng";
    if ((!toLatLong && !toUsng) || values.size() != (toLatLong ? 4U : 5U)) {
        err << kUsage;
        return 2;
    }
    QString database = text(values[1]);
    const QString table = text(values[2]);
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
        const QString suffix = QFileInfo(database).suffix().toLower();
        if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb")) database = importAccess(database);
        const RunResult result = toLatLong ? convertUsngToLatLong(database, table, text(values[3]), &done)
                                           : convertLatLongToUsng(database, table, text(values[3]), text(values[4]),
                                                                  hemispheres, &done);
        QString shape;
        if (shapefile) shape = writeTableShapefile(database, table, result.latitudeColumn, result.longitudeColumn);
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
    command.help = R"(  table usng2ll DATABASE TABLE FIELD [--shapefile]
  table ll2usng DATABASE TABLE LATFIELD LONFIELD [--north|--south] [--west|--east] [--shapefile]
                      the batch windows' runs on a table of a SQLite database
                      (an Access database is copied into SQLite first): adds
                      Latitude/Longitude or USNGCoord (ux... when there) to
                      every record in one transaction, or changes nothing and
                      names the record that failed; --shapefile writes the
                      points beside the database
)";
    command.whole = runTable;
    return command;
}

}  // namespace waypost::batch
