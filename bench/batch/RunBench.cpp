// The batch runs through their core on a generated table: ll2usng, then
// usng2ll on the references it wrote, then each again with the shapefile, then the
// points alone as a shapefile, GeoPackage, GeoJSON and GPX;
// seconds and peak memory of each (every phase in a process of its own), and
// GeoConvert streaming the same coordinates as a yardstick.
//
// Usage: batch_run_bench [ROWS] [WORK_FOLDER]   (defaults 1000000 and the temporary folder)

#include "../support/RandomPoints.h"
#include "batch/BatchRun.h"

#include <QDir>
#include <QFile>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

/// Runs \p phase in a child process; prints its time and peak memory.
double measured(const char* name, const std::function<void()>& phase) {
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        phase();
        std::_Exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%-28s %6.2f s  peak %4.0f MB%s\n", name, seconds, usage.ru_maxrss / 1024.0,
                WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "  (failed)");
    return seconds;
}

double timedShell(const std::string& command) {
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    return status == 0 ? std::chrono::duration<double>(Clock::now() - start).count() : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const QString database = QDir(folder).filePath(QStringLiteral("batch_run_bench.sqlite"));
    const QString points = QDir(folder).filePath(QStringLiteral("batch_run_bench_points.txt"));
    FILE* text = std::fopen(points.toLocal8Bit().constData(), "w");
    waypost::bench::writeRandomPoints(database, rows, 75,
                                      [text](double a, double o) { std::fprintf(text, "%.6f %.6f\n", a, o); });
    std::fclose(text);
    const QString copy = QDir(folder).filePath(QStringLiteral("batch_run_bench_copy.sqlite"));
    using namespace waypost::batch;
    const double ll2usng = measured("ll2usng", [&] {
        convertLatLongToUsng(database, QStringLiteral("t"), QStringLiteral("lat"), QStringLiteral("lon"), {});
    });
    QFile::remove(copy);
    QFile::copy(database, copy);
    const double usng2ll = measured("usng2ll", [&] {
        convertUsngToLatLong(database, QStringLiteral("t"), QStringLiteral("USNGCoord"));
    });
    measured("ll2usng + shapefile", [&] {
        const RunResult r = convertLatLongToUsng(copy, QStringLiteral("t"), QStringLiteral("lat"), QStringLiteral("lon"), {});
        writeTableShapefile(copy, QStringLiteral("t"), r.latitudeColumn, r.longitudeColumn);
    });
    measured("usng2ll + shapefile", [&] {
        const RunResult r = convertUsngToLatLong(copy, QStringLiteral("t"), QStringLiteral("USNGCoord"));
        writeTableShapefile(copy, QStringLiteral("t"), r.latitudeColumn, r.longitudeColumn);
    });
    // The points alone, in each format, from the same converted table.
    for (const PointFormat format : {PointFormat::Shapefile, PointFormat::GeoPackage, PointFormat::GeoJson, PointFormat::Gpx})
        measured(("points as " + pointFormatExtension(format).toStdString()).c_str(), [&] {
            writeTablePoints(copy, QStringLiteral("t"), QStringLiteral("lat"), QStringLiteral("lon"), format);
        });

    // GDAL's own ogr2ogr writing the same points and fields from the same table.
    {
        const QString shp = QDir(folder).filePath(QStringLiteral("batch_run_bench_ogr2ogr.shp"));
        for (const char* ext : {".shp", ".shx", ".dbf", ".prj", ".cpg"})
            QFile::remove(QDir(folder).filePath(QStringLiteral("batch_run_bench_ogr2ogr") + QLatin1String(ext)));
        const double o = timedShell("ogr2ogr -f 'ESRI Shapefile' '" + shp.toStdString() + "' '" + copy.toStdString() +
                                    "' -dialect sqlite -sql 'SELECT MakePoint(lon, lat, 4326) AS geom, * FROM t' "
                                    "2>/dev/null");
        std::printf("ogr2ogr, the same points      %6.2f s\n", o);
    }

    const std::string geoConvert = GEOCONVERT_PATH;
    if (geoConvert.empty()) return 0;
    const std::string in = points.toStdString(), refs = in + ".mgrs";
    const double m = timedShell(geoConvert + " -m -p 0 < '" + in + "' > '" + refs + "'");
    const double g = timedShell(geoConvert + " -g < '" + refs + "' > /dev/null");
    std::printf("GeoConvert -m -p 0 (ll2usng)  %6.2f s  ratio %.2f\n", m, ll2usng / m);
    std::printf("GeoConvert -g (usng2ll)       %6.2f s  ratio %.2f\n", g, usng2ll / g);
    return 0;
}
