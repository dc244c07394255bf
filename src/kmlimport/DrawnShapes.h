#pragma once
// A drawing read as a GIS reads it: polygons with their holes, lines (paths,
// rings and GPS tracks) and points, each measured on the state Albers grid.
// Overlays, network links, styles and descriptions are not geometry.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

namespace waypost::kmlimport {

/// A vertex as drawn (degrees, east and north positive).
struct LonLat {
    double longitude = 0;
    double latitude = 0;
};
using Path = std::vector<LonLat>;

struct DrawnPolygon {
    Path outer;
    std::vector<Path> holes;
};

struct DrawnShapes {
    std::vector<DrawnPolygon> polygons;
    std::vector<Path> lines;  ///< paths, lone rings and tracks, in document order
    std::vector<LonLat> points;

    bool empty() const { return polygons.empty() && lines.empty() && points.empty(); }
    /// Every vertex of every shape, holes included.
    std::size_t vertexCount() const;
    /// One polygon without holes, or one line, and nothing else: what the
    /// window has always been drawn from.
    bool isSingleShape() const;
};

/// The geometries of the KML document \p kml (its text) read with GDAL's KML
/// reader. \throws DrawingError naming \p file when GDAL cannot read it or a
/// vertex lies outside -180..180, -90..90.
DrawnShapes readShapes(const QByteArray& kml, const QString& file);

/// Acres and statute miles, unrounded.
struct Measures {
    double acres = 0;
    double miles = 0;
};

/// A polygon's acres (the outer ring's area less its holes') and miles (every
/// boundary, holes included, as a GIS gives a polygon's perimeter), measured on
/// the unrounded Albers grid.
Measures measurePolygon(const DrawnPolygon& polygon);
/// A path's miles along its vertices; with \p closed the edge back to the
/// first vertex counts too.
double pathMiles(const Path& path, bool closed);
/// The acres a path encloses when closed.
double pathAcres(const Path& path);

/// What the drawing measures before any choice: its polygons' acres and
/// perimeters, or (without polygons) its paths' enclosed acres and lengths.
Measures drawingMeasures(const DrawnShapes& shapes);

/// "2 polygons (1 hole), 1 line; 3 points not used": what was read, for the
/// person to see before anything is written. Points are "not used" unless
/// \p pointsUsed.
QString describeShapes(const DrawnShapes& shapes, bool pointsUsed);

}  // namespace waypost::kmlimport
