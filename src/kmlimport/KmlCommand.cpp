#include "kmlimport/KmlCommand.h"

#include "kmlimport/DrawnShapes.h"
#include "kmlimport/KmlDrawing.h"
#include "numbers/Numbers.h"

#include <ostream>

namespace waypost::kmlimport {
namespace {

constexpr std::string_view kUsage = "usage: waypost-convert kml FILE [--parts]   (a .kml or .kmz drawing)\n";

std::string twoDecimals(double value) { return numbers::formatFixed(value, 2); }

int runKml(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool parts = false;
    std::vector<std::string_view> files;
    for (std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--parts") parts = true;
        else if (arg.starts_with("-")) {
            err << kUsage;
            return 2;
        } else files.push_back(arg);
    }
    if (files.size() != 1) {
        err << kUsage;
        return 2;
    }
    const QString path = QString::fromUtf8(files[0].data(), static_cast<qsizetype>(files[0].size()));
    try {
        const QByteArray kml = kmlDocument(path);
        (void)drawingVertices(kml, path);  // every tuple checked, a bad one named with its line
        const DrawnShapes shapes = readShapes(kml, path);
        if (parts) {
            for (const DrawnPolygon& polygon : shapes.polygons) {
                std::size_t vertices = polygon.outer.size();
                for (const Path& hole : polygon.holes) vertices += hole.size();
                const Measures m = measurePolygon(polygon);
                out << "polygon " << vertices << ' ' << twoDecimals(m.acres) << ' ' << twoDecimals(m.miles)
                    << (polygon.holes.empty() ? "" : " holes ") << (polygon.holes.empty() ? "" : std::to_string(polygon.holes.size()))
                    << '\n';
            }
            for (const Path& line : shapes.lines) out << "line " << line.size() << " - " << twoDecimals(pathMiles(line, false)) << '\n';
            for (std::size_t i = 0; i < shapes.points.size(); ++i) out << "point 1 - -\n";
            return 0;
        }
        // As the window shows the drawing before any choice.
        const std::size_t vertices = shapes.vertexCount();
        const Measures total = drawingMeasures(shapes);
        out << vertices << ' ';
        if (vertices > 2) out << twoDecimals(total.acres) << ' ' << twoDecimals(total.miles) << '\n';
        else out << "- -\n";
        return 0;
    } catch (const DrawingError& e) {
        err << "waypost-convert: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace

engine::ExtraCommand kmlCommand() {
    engine::ExtraCommand command;
    command.name = "kml";
    command.help = R"(  kml FILE [--parts]  a drawing's vertex count, calculated acres and miles (two
                      decimals, "-" with two vertices or fewer) as the KML
                      import computes them: its polygons' acres (holes taken
                      out) and boundaries, or its lines' lengths; with --parts
                      one line a geometry: kind, vertices, acres, miles (and
                      "holes N" for a polygon with holes);
                      FILE is a .kml or a .kmz
)";
    command.whole = runKml;
    return command;
}

}  // namespace waypost::kmlimport
