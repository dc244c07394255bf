#pragma once
// The conversion of a drawing into an attributed shapefile: the working
// names, the staging files and database, and the shapefile itself.

#include "kmlimport/KmlDrawing.h"

#include <QString>
#include <QStringList>

#include <array>

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

/// The coordinate staging file (one line a vertex: 1, Albers easting and
/// northing, the tuple as written), the attribute staging file (1 and the
/// twelve texts, quoted) and the staging database (COORD F1-F6, FIRE_DAT with
/// the kind's thirteen columns), each written whole. \throws DrawingError.
void writeStaging(const WorkingNames& names, const std::vector<Vertex>& vertices, const Attributes& attributes,
                  FeatureKind kind);

/// The shapefile S from the staging database: the fields GISID, the twelve
/// text columns, Rep_Acres, Rep_Perim, Calc_Acres, Calc_Perim; one shape of
/// \p shape with the staged vertices in \p system (the first again at the
/// end when \p closeRing). ACRES and Rep_Acres take \p reportedAcres. The
/// set appears only when complete. \throws DrawingError.
void writeShapefile(const WorkingNames& names, FeatureKind kind, ShapeKind shape, bool closeRing, OutputSystem system,
                    const QString& reportedAcres, double calculatedAcres, double calculatedMiles);

/// Removes the staging database and the two staging files.
void removeStaging(const WorkingNames& names);

}  // namespace waypost::kmlimport
