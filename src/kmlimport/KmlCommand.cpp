#include "kmlimport/KmlCommand.h"

#include "kmlimport/KmlDrawing.h"
#include "numbers/Numbers.h"

#include <ostream>

namespace waypost::kmlimport {
namespace {

int runKml(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1 || args[0].starts_with("-")) {
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            out << "usage: waypost-convert kml FILE   (a .kml or .kmz drawing)\n";
            return 0;
        }
        err << "usage: waypost-convert kml FILE\n";
        return 2;
    }
    const QString path = QString::fromUtf8(args[0].data(), static_cast<qsizetype>(args[0].size()));
    try {
        const std::vector<Vertex> vertices = drawingVertices(kmlDocument(path), path);
        std::vector<double> x, y;
        for (const Vertex& v : vertices) {
            x.push_back(v.albersX);
            y.push_back(v.albersY);
        }
        out << vertices.size() << ' ';
        if (vertices.size() > 2)
            out << numbers::formatFixed(areaByCoordinates(x, y), 2) << ' '
                << numbers::formatFixed(perimeterByCoordinates(x, y), 2) << '\n';
        else
            out << "- -\n";
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
    command.help = R"(  kml FILE            a drawing's vertex count, calculated acres and miles (two
                      decimals, "-" with two vertices or fewer) as the KML
                      import computes them; FILE is a .kml or a .kmz
)";
    command.whole = runKml;
    return command;
}

}  // namespace waypost::kmlimport
