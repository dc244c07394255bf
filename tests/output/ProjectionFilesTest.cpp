#include "engine/EngineConstants.h"
#include "output/ProjectionFiles.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <ogr_spatialref.h>
#include <gtest/gtest.h>

using namespace waypost;
using namespace Qt::StringLiterals;
using waypost::test::readAll;

// The shipped texts, read by GDAL, hold the grid the engine computes and geographic WGS 84.
TEST(ProjectionFiles, TextsDescribeTheGridsTheProgramComputes) {
    using namespace engine::albers;
    OGRSpatialReference grid, wgs;
    ASSERT_EQ(grid.importFromWkt(kAlbersProjection), OGRERR_NONE);
    ASSERT_EQ(wgs.importFromWkt(kWgs84Projection), OGRERR_NONE);
    EXPECT_TRUE(grid.IsProjected() && wgs.IsGeographic());
    for (const auto& [parameter, value] :
         {std::pair{SRS_PP_CENTRAL_MERIDIAN, centralMeridianDegrees}, {SRS_PP_FALSE_EASTING, falseEastingMetres},
          {SRS_PP_STANDARD_PARALLEL_1, firstStandardParallelDegrees},
          {SRS_PP_STANDARD_PARALLEL_2, secondStandardParallelDegrees},
          {SRS_PP_LATITUDE_OF_CENTER, firstStandardParallelDegrees}})
        EXPECT_DOUBLE_EQ(grid.GetProjParm(parameter), value) << parameter;
    EXPECT_DOUBLE_EQ(grid.GetSemiMajor(), semiMajorAxisMetres);
    EXPECT_DOUBLE_EQ(grid.GetInvFlattening(), inverseFlattening);
}

// A shapefile's final .shp (any case) becomes .prj; a name without it gets .prj added.
TEST(ProjectionFiles, PathReplacesOnlyTheFinalExtension) {
    for (const auto& [shapefile, projection] : {std::pair{u"/a/pfcamps.shp"_s, u"/a/pfcamps.prj"_s},
                                                {u"/a.shp.d/x.SHP"_s, u"/a.shp.d/x.prj"_s}, {u"/a/x"_s, u"/a/x.prj"_s}})
        EXPECT_EQ(projectionPathFor(shapefile), projection);
}

// The data folder's file is copied beside the shapefile, a text written as one
// CR LF line; a missing source is named and nothing is written.
TEST(ProjectionFiles, CopiedAndWrittenBesideTheShapefile) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(u"pfcamps.shp"_s), prj = dir.filePath(u"pfcamps.prj"_s);
    const auto missing = copyProjectionFile(ProgramPaths(dir.filePath(u"nodata"_s), dir.filePath(u"logs"_s)),
                                            kAlbersPrjFile, shp);
    EXPECT_FALSE(missing);
    EXPECT_TRUE(missing.message().contains(u"nodata/fl_albers.prj"_s)) << missing.message().toStdString();
    EXPECT_FALSE(QFile::exists(prj));
    const ProgramPaths paths(QStringLiteral(WAYPOST_SOURCE_DIR "/data"), dir.filePath(u"logs"_s));
    ASSERT_TRUE(copyProjectionFile(paths, kAlbersPrjFile, shp));
    EXPECT_EQ(readAll(prj), QByteArray(kAlbersProjection));
    ASSERT_TRUE(writeProjectionFile(QString::fromLatin1(kWgs84Projection), shp));
    EXPECT_EQ(readAll(prj), QByteArray(kWgs84Projection) + "\r\n");
}
