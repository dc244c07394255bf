#pragma once
// The conversion of a drawing into an attributed shapefile: the working
// names, the staging files and database, and the shapefile itself.

#include "kmlimport/DrawnShapes.h"
#include "kmlimport/KmlDrawing.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace waypost::kmlimport {

/// The four kinds of feature a drawing can be.
enum class FeatureKind { Wildfire, Mitigation, Facility, OtherIncident };

/// The thirteen column names of a kind (GISID first).
const std::array<QString, 13>& columnNames(FeatureKind kind);

/// The twelve attribute texts, in column order after GISID.
struct Attributes {
    QString name, number, report, entryDate, startDate, acres, perimeter, fuel, cause, type, contained, significant;
};

/// The working names of one conversion.
struct WorkingNames {
    QString folder;      ///< where the drawing lies
    QString kmlCopy;     ///< folder/wpNorthFire2.kml
    QString shapefile;   ///< S: folder/wpNorthFire2.shp unless another was chosen
    QString stem;        ///< S0: S without ".shp"
    QString coordinates; ///< folder/cc<N>.csv
    QString attributes;  ///< folder/pwatt<N>.csv
    QString database;    ///< S0.sqlite
};

/// "wp" + the first ten letters and digits of \p baseName ("North Fire #2 (east)" -> "wpNorthFire2").
QString workingBaseName(const QString& baseName);
/// The names for a drawing at \p kmlPath (the shapefile beside it).
WorkingNames namesForDrawing(const QString& kmlPath);
/// The names again for a shapefile the user chose instead.
WorkingNames namesForShapefile(const WorkingNames& names, const QString& shapefile);

/// The output coordinates of the shapefile.
enum class OutputSystem { Albers, Wgs84 };
/// The shape written.
enum class ShapeKind { Point = 1, MultiPoint = 8, PolyLine = 3, Polygon = 5 };

/// The shape to write from a drawing, as the person chose it.
struct PlannedShape {
    struct Part {
        Path path;
        bool hole = false;  ///< a hole in the polygon begun by the latest outer part
    };
    ShapeKind shape = ShapeKind::Point;
    std::vector<Part> parts;
    Measures measures;  ///< of what is written (a line's acres are not measured)
    QString done;       ///< "KML Converted to Polygon Shapefile", ...
};

/// The questions that choose the shape, asked through \p ask (true for Yes),
/// and the point message told through \p tell: one vertex makes a point;
/// "Build all Locations as Points?" a multipoint of every vertex; a drawing of
/// polygons (or one closed path) a polygon shape with its holes unless
/// "Initial Shape Type is Polygon - Build as Line Instead?"; open paths of
/// three vertices or more a line shape unless "Initial Shape Type is Line -
/// Build as Polygon Instead?" (then each path is closed). Points are used
/// only as points, or when the drawing holds nothing else.
PlannedShape planShape(const DrawnShapes& shapes, const std::function<bool(const QString&)>& ask,
                       const std::function<void(const QString&)>& tell);

/// The coordinate staging file (one line a vertex: 1, Albers easting and
/// northing, the tuple as written), the attribute staging file (1 and the
/// twelve texts, quoted) and the staging database (COORD F1-F6, FIRE_DAT with
/// the kind's thirteen columns), each written whole. \throws DrawingError.
void writeStaging(const WorkingNames& names, const std::vector<Vertex>& vertices, const Attributes& attributes,
                  FeatureKind kind);

/// The shapefile S with the attributes of the staging database: the fields
/// GISID, the twelve text columns, Rep_Acres, Rep_Perim, Calc_Acres,
/// Calc_Perim; one record holding \p plan's shape with its parts in \p system
/// (Albers in whole metres, or longitude and latitude). ACRES and Rep_Acres
/// take \p reportedAcres. The set appears only when complete. \throws DrawingError.
void writeShapefile(const WorkingNames& names, FeatureKind kind, const PlannedShape& plan, OutputSystem system,
                    const QString& reportedAcres, double calculatedAcres, double calculatedMiles);

/// Removes the staging database and the two staging files.
void removeStaging(const WorkingNames& names);

}  // namespace waypost::kmlimport
