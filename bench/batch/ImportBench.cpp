// A generated CSV (id, name, latitude, longitude) imported into SQLite as the
// batch windows import it: seconds and peak memory. With "dbf" the same rows
// are first written as a dBase file (through GDAL) and that is imported: its
// text copy is written as it is read.
//
// Usage: batch_import_bench [ROWS] [WORK_FOLDER] [csv|dbf]   (defaults 1000000, the temporary folder, csv)

#include "batch/TableImport.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QDir>
#include <QFile>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const QString csv = QDir(folder).filePath(QStringLiteral("batch_import_bench.csv"));
    {
        QFile out(csv);
        if (!out.open(QIODevice::WriteOnly)) return 1;
        std::mt19937_64 rng(72);
        std::uniform_real_distribution<double> lat(24.5, 31.0), lon(-87.6, -80.0);
        QByteArray chunk = "id,name,latitude,longitude\n";
        char line[96];
        for (long i = 1; i <= rows; ++i) {
            const int n = std::snprintf(line, sizeof line, "%ld,Station %ld,%.6f,%.6f\n", i, i % 977, lat(rng), lon(rng));
            chunk.append(line, n);
            if (chunk.size() > (1 << 20)) {
                out.write(chunk);
                chunk.clear();
            }
        }
        out.write(chunk);
    }
    for (const QString& old : QDir(folder).entryList({QStringLiteral("batch_import_bench*.sqlite")}))
        QFile::remove(QDir(folder).filePath(old));
    const bool dbf = argc > 3 && std::string(argv[3]) == "dbf";
    QString source = csv;
    if (dbf) {
        GDALAllRegister();
        source = QDir(folder).filePath(QStringLiteral("batch_import_bench.dbf"));
        GDALDatasetUniquePtr in(GDALDataset::Open(("CSV:" + csv).toUtf8().constData(), GDAL_OF_VECTOR));
        GDALDatasetUniquePtr out(GetGDALDriverManager()->GetDriverByName("ESRI Shapefile")
                                     ->Create(source.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!in || !out || !out->CopyLayer(in->GetLayer(0), "batch_import_bench")) return 1;
    }
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const QString target = dbf ? waypost::batch::importDbf(source) : waypost::batch::importText(source);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld rows imported into %s in %.2f s; peak memory %.0f MB (%.0f MB before the import)\n", rows,
                qPrintable(target), seconds, usage.ru_maxrss / 1024.0, before.ru_maxrss / 1024.0);
    return 0;
}
