#include "output/ProjectionFiles.h"

#include <QFile>

namespace waypost {

const char* const kAlbersProjection =
    "PROJCS[\"NAD_1983_HARN_Vidazed_GDL_Albers\",GEOGCS[\"GCS_North_American_1983_HARN\","
    "DATUM[\"D_North_American_1983_HARN\",SPHEROID[\"GRS_1980\",6378137.0,298.257222101]],"
    "PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]],PROJECTION[\"Albers\"],"
    "PARAMETER[\"False_Easting\",400000.0],PARAMETER[\"False_Northing\",0.0],"
    "PARAMETER[\"Central_Meridian\",-84.0],PARAMETER[\"Standard_Parallel_1\",24.0],"
    "PARAMETER[\"Standard_Parallel_2\",31.5],PARAMETER[\"Latitude_Of_Origin\",24.0],UNIT[\"Meter\",1.0]]";

const char* const kWgs84Projection =
    "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137,298.257223563]],"
    "PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.017453292519943295]]";

QString projectionPathFor(const QString& shapefilePath) {
    if (shapefilePath.endsWith(QStringLiteral(".shp"), Qt::CaseInsensitive))
        return shapefilePath.left(shapefilePath.size() - 4) + QStringLiteral(".prj");
    return shapefilePath + QStringLiteral(".prj");
}

WriteResult copyProjectionFile(const ProgramPaths& paths, const QString& prjFileName, const QString& shapefilePath) {
    const QString source = paths.dataFile(prjFileName);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return WriteResult::error(
            QStringLiteral("Could not read the projection file %1: %2").arg(source, in.errorString()));
    return writeFileAtomically(projectionPathFor(shapefilePath), in.readAll());
}

WriteResult writeProjectionFile(const QString& projectionText, const QString& shapefilePath) {
    return writeFileAtomically(projectionPathFor(shapefilePath), projectionText.toUtf8() + "\r\n");
}

}  // namespace waypost
