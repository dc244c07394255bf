#pragma once
// The projection files that lie beside every new shapefile.

#include "platform/FileWriting.h"
#include "platform/ProgramPaths.h"

#include <QString>

namespace waypost {

/// The state Albers equal-area grid (GRS 80, HARN), as fl_albers.prj holds it.
extern const char* const kAlbersProjection;
/// Geographic WGS 84, as WGS1984.prj holds it.
extern const char* const kWgs84Projection;

/// File names of the two projection files in the data folder.
inline const QString kAlbersPrjFile = QStringLiteral("fl_albers.prj");
inline const QString kWgs84PrjFile = QStringLiteral("WGS1984.prj");

/// The .prj path of a shapefile: its final ".shp" (any case) becomes ".prj";
/// a path without that extension gets ".prj" added.
QString projectionPathFor(const QString& shapefilePath);

/// Copies the data folder's \p prjFileName beside \p shapefilePath, whole or
/// not at all. A missing source is a failure that names it.
WriteResult copyProjectionFile(const ProgramPaths& paths, const QString& prjFileName, const QString& shapefilePath);

/// Writes \p projectionText as one line ending in CR LF beside \p shapefilePath.
WriteResult writeProjectionFile(const QString& projectionText, const QString& shapefilePath);

}  // namespace waypost
