#include "kmlimport/DrawnShapes.h"

#include "engine/AlbersEqualArea.h"
#include "kmlimport/KmlDrawing.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QStringList>
#include <QUuid>

#include <cmath>

namespace waypost::kmlimport {
namespace {

constexpr double kSquareMetresPerAcre = 4046.85;
constexpr double kMetresPerMile = 1609.344;

/// The document as a file GDAL can open, for as long as the reading lasts.
class MemoryFile {
public:
    explicit MemoryFile(const QByteArray& bytes)
        : m_name("/vsimem/waypost-drawing-" + QUuid::createUuid().toString(QUuid::Id128).toUtf8() + ".kml") {
        // GDAL reads the caller's bytes in place; they outlive this object.
        VSIFCloseL(VSIFileFromMemBuffer(m_name.constData(),
                                        reinterpret_cast<GByte*>(const_cast<char*>(bytes.constData())),
                                        static_cast<vsi_l_offset>(bytes.size()), FALSE));
    }
    ~MemoryFile() { VSIUnlink(m_name.constData()); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    const QByteArray& name() const { return m_name; }

private:
    QByteArray m_name;
};

/// Ground overlays are pictures laid on the map, not part of a drawing.
class NoOverlays {
public:
    NoOverlays() { CPLSetThreadLocalConfigOption("LIBKML_READ_GROUND_OVERLAY", "NO"); }
    ~NoOverlays() { CPLSetThreadLocalConfigOption("LIBKML_READ_GROUND_OVERLAY", nullptr); }
};

class Reader {
public:
    Reader(DrawnShapes& shapes, const QString& file) : m_shapes(shapes), m_file(file) {}

    void add(const OGRGeometry& geometry) {
        switch (wkbFlatten(geometry.getGeometryType())) {
        case wkbPoint: {
            const auto& point = *geometry.toPoint();
            if (!point.IsEmpty()) m_shapes.points.push_back(vertex(point.getX(), point.getY()));
            break;
        }
        case wkbLineString:
        case wkbLinearRing:
            if (Path path = pathOf(*geometry.toSimpleCurve()); !path.empty()) m_shapes.lines.push_back(std::move(path));
            break;
        case wkbPolygon: {
            const OGRPolygon& polygon = *geometry.toPolygon();
            if (polygon.IsEmpty() || !polygon.getExteriorRing()) break;
            DrawnPolygon drawn{pathOf(*polygon.getExteriorRing()), {}};
            for (int i = 0; i < polygon.getNumInteriorRings(); ++i)
                if (Path hole = pathOf(*polygon.getInteriorRing(i)); !hole.empty()) drawn.holes.push_back(std::move(hole));
            m_shapes.polygons.push_back(std::move(drawn));
            break;
        }
        case wkbMultiPoint:
        case wkbMultiLineString:
        case wkbMultiPolygon:
        case wkbGeometryCollection:
            for (const OGRGeometry* part : *geometry.toGeometryCollection())
                if (part) add(*part);
            break;
        default: {
            // Curves and other kinds a KML reader may hand over: as straight lines.
            std::unique_ptr<OGRGeometry> linear(geometry.getLinearGeometry());
            if (linear && wkbFlatten(linear->getGeometryType()) != wkbFlatten(geometry.getGeometryType())) add(*linear);
        }
        }
    }

private:
    LonLat vertex(double longitude, double latitude) const {
        if (!(std::abs(longitude) <= 180 && std::abs(latitude) <= 90))
            throw DrawingError(m_file, 0,
                               QStringLiteral("a vertex (%1, %2) lies outside -180..180, -90..90").arg(longitude).arg(latitude));
        return {longitude, latitude};
    }

    Path pathOf(const OGRSimpleCurve& curve) const {
        Path path;
        path.reserve(static_cast<std::size_t>(curve.getNumPoints()));
        for (int i = 0; i < curve.getNumPoints(); ++i) path.push_back(vertex(curve.getX(i), curve.getY(i)));
        return path;
    }

    DrawnShapes& m_shapes;
    const QString& m_file;
};

engine::AlbersMetres projected(const LonLat& v) {
    return engine::AlbersEqualArea::StateGrid().Unrounded(v.latitude, v.longitude);
}

/// Square metres a path encloses (shoelace over the unrounded grid, closed).
double squareMetres(const Path& path) {
    if (path.size() < 3) return 0;
    double twice = 0;
    engine::AlbersMetres previous = projected(path.back());
    for (const LonLat& v : path) {
        const engine::AlbersMetres here = projected(v);
        twice += previous.x * here.y - here.x * previous.y;
        previous = here;
    }
    return std::abs(twice) / 2;
}

QString counted(std::size_t n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

}  // namespace

bool DrawnShapes::isSingleShape() const {
    return points.empty() && ((polygons.size() == 1 && polygons.front().holes.empty() && lines.empty()) ||
                              (polygons.empty() && lines.size() == 1));
}

DrawnShapes readShapes(const QByteArray& kml, const QString& file) {
    GDALAllRegister();
    const MemoryFile memory(kml);
    const NoOverlays noOverlays;
    CPLErrorReset();
    static const char* const drivers[] = {"LIBKML", "KML", nullptr};
    GDALDatasetUniquePtr dataset(
        GDALDataset::Open(memory.name().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
    if (!dataset)
        throw DrawingError(file, 0, QStringLiteral("GDAL cannot read it as a drawing: %1")
                                        .arg(QString::fromUtf8(CPLGetLastErrorMsg())));
    DrawnShapes shapes;
    Reader reader(shapes, file);
    for (OGRLayer* layer : dataset->GetLayers())
        for (const auto& feature : *layer)
            if (const OGRGeometry* geometry = feature->GetGeometryRef()) reader.add(*geometry);
    return shapes;
}

Measures measurePolygon(const DrawnPolygon& polygon) {
    double area = squareMetres(polygon.outer);
    double miles = pathMiles(polygon.outer, true);
    for (const Path& hole : polygon.holes) {
        area -= squareMetres(hole);
        miles += pathMiles(hole, true);
    }
    return {std::max(area, 0.0) / kSquareMetresPerAcre, miles};
}

double pathMiles(const Path& path, bool closed) {
    if (path.size() < 2) return 0;
    double metres = 0;
    engine::AlbersMetres previous = projected(path.front());
    for (std::size_t i = 1; i < path.size(); ++i) {
        const engine::AlbersMetres here = projected(path[i]);
        metres += std::hypot(here.x - previous.x, here.y - previous.y);
        previous = here;
    }
    if (closed) {
        const engine::AlbersMetres first = projected(path.front());
        metres += std::hypot(first.x - previous.x, first.y - previous.y);
    }
    return metres / kMetresPerMile;
}

double pathAcres(const Path& path) { return squareMetres(path) / kSquareMetresPerAcre; }

std::size_t DrawnShapes::vertexCount() const {
    std::size_t n = points.size();
    for (const DrawnPolygon& polygon : polygons) {
        n += polygon.outer.size();
        for (const Path& hole : polygon.holes) n += hole.size();
    }
    for (const Path& line : lines) n += line.size();
    return n;
}

Measures drawingMeasures(const DrawnShapes& shapes) {
    Measures total;
    if (!shapes.polygons.empty()) {
        for (const DrawnPolygon& polygon : shapes.polygons) {
            const Measures m = measurePolygon(polygon);
            total.acres += m.acres;
            total.miles += m.miles;
        }
        return total;
    }
    for (const Path& line : shapes.lines) {
        total.acres += pathAcres(line);
        total.miles += pathMiles(line, false);
    }
    return total;
}

QString describeShapes(const DrawnShapes& shapes, bool pointsUsed) {
    QStringList used;
    if (!shapes.polygons.empty()) {
        std::size_t holes = 0;
        for (const DrawnPolygon& p : shapes.polygons) holes += p.holes.size();
        QString text = counted(shapes.polygons.size(), "polygon", "polygons");
        if (holes > 0) text += QStringLiteral(" (%1)").arg(counted(holes, "hole", "holes"));
        used << text;
    }
    if (!shapes.lines.empty()) used << counted(shapes.lines.size(), "line", "lines");
    if (pointsUsed && !shapes.points.empty()) used << counted(shapes.points.size(), "point", "points");
    QString text = used.join(QStringLiteral(", "));
    if (!pointsUsed && !shapes.points.empty())
        text += (text.isEmpty() ? QString() : QStringLiteral("; ")) +
                counted(shapes.points.size(), "point", "points") + QStringLiteral(" not used");
    return text;
}

}  // namespace waypost::kmlimport
