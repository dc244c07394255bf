// A generated fire perimeter of many vertices through the whole conversion
// the KML import window runs (reading, staging files, staging database,
// the shapes as a GIS reads them, shapefile), then waypost-convert kml on the same file.
//
// Usage: kmlimport_bench [VERTICES] [WORK_FOLDER]   (defaults 100000 and the temporary folder)

#include "kmlimport/KmlImport.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

int main(int argc, char** argv) {
    using namespace waypost::kmlimport;
    using Clock = std::chrono::steady_clock;
    const long count = argc > 1 ? std::atol(argv[1]) : 100000;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const QString kml = QDir(folder).filePath(QStringLiteral("Perimeter Bench.kml"));
    {
        QByteArray text = "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Placemark><Polygon>"
                          "<outerBoundaryIs><LinearRing><coordinates>\n";
        char tuple[64];
        for (long i = 0; i <= count; ++i) {  // a closed ring: the last tuple repeats the first
            const double a = 2 * std::numbers::pi * static_cast<double>(i % count) / static_cast<double>(count);
            const int n = std::snprintf(tuple, sizeof tuple, "%.7f,%.7f,0 ", -84.25 + 0.05 * std::cos(a), 30.45 + 0.04 * std::sin(a));
            text.append(tuple, n);
        }
        text += "\n</coordinates></LinearRing></outerBoundaryIs></Polygon></Placemark></kml>\n";
        QFile out(kml);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size()) return 1;
    }
    const auto start = Clock::now();
    const QByteArray document = kmlDocument(kml);
    const std::vector<Vertex> vertices = drawingVertices(document, kml);
    const DrawnShapes shapes = readShapes(document, kml);
    const Measures drawn = drawingMeasures(shapes);
    const WorkingNames names = namesForDrawing(kml);
    writeStaging(names, vertices, Attributes{"Bench", "1", "Initial", "09-14-26", "09-14-26", "100.00", "5.00", "Grass",
                                             "lightning", "Fire Perimeter", "10.00%", "No"},
                 FeatureKind::Wildfire);
    // Not points, not a line: the polygon as drawn.
    const PlannedShape plan = planShape(shapes, [](const QString&) { return false; }, [](const QString&) {});
    const double acres = plan.measures.acres, miles = plan.measures.miles;
    writeShapefile(names, FeatureKind::Wildfire, plan, OutputSystem::Albers, QStringLiteral("100.00"), acres, miles);
    (void)drawn;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("conversion of %zu vertices (%.2f acres, %.2f miles): %.2f s\n", vertices.size(), acres, miles, seconds);

    const auto cliStart = Clock::now();
    const std::string command = std::string(WAYPOST_CONVERT_PATH) + " kml '" + kml.toStdString() + "'";
    const int status = std::system(command.c_str());
    std::printf("waypost-convert kml: %.2f s (exit status %d)\n",
                std::chrono::duration<double>(Clock::now() - cliStart).count(), status);
    return 0;
}
