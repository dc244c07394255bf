#include "output/ProjectionFiles.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <ogr_spatialref.h>
#include <gtest/gtest.h>

using namespace waypost;
using waypost::test::readAll;

namespace {

const QString kDataDir = QStringLiteral(WAYPOST_SOURCE_DIR "/data");

}  // namespace

TEST(ProjectionFiles, TextsDescribeTheGridsTheProgramComputes) {
    OGRSpatialReference albers;
    ASSERT_EQ(albers.importFromWkt(kAlbersProjection), OGRERR_NONE);
    EXPECT_TRUE(albers.IsProjected());
    EXPECT_DOUBLE_EQ(albers.GetProjParm(SRS_PP_CENTRAL_MERIDIAN), -84.0);
    EXPECT_DOUBLE_EQ(albers.GetProjParm(SRS_PP_STANDARD_PARALLEL_1), 24.0);
    EXPECT_DOUBLE_EQ(albers.GetProjParm(SRS_PP_STANDARD_PARALLEL_2), 31.5);
    EXPECT_DOUBLE_EQ(albers.GetProjParm(SRS_PP_FALSE_EASTING), 400000.0);
    EXPECT_DOUBLE_EQ(albers.GetSemiMajor(), 6378137.0);
    OGRSpatialReference wgs;
    ASSERT_EQ(wgs.importFromWkt(kWgs84Projection), OGRERR_NONE);
    EXPECT_TRUE(wgs.IsGeographic());
}

TEST(ProjectionFiles, PathReplacesOnlyTheFinalExtension) {
    EXPECT_EQ(projectionPathFor(QStringLiteral("/a/pfcamps.shp")), QStringLiteral("/a/pfcamps.prj"));
    EXPECT_EQ(projectionPathFor(QStringLiteral("/a.shp.d/x.SHP")), QStringLiteral("/a.shp.d/x.prj"));
    EXPECT_EQ(projectionPathFor(QStringLiteral("/a/x")), QStringLiteral("/a/x.prj"));
}

TEST(ProjectionFiles, CopiedAndWrittenBesideTheShapefile) {
    QTemporaryDir dir;
    const ProgramPaths paths(kDataDir, dir.filePath(QStringLiteral("logs")));
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    ASSERT_TRUE(copyProjectionFile(paths, kAlbersPrjFile, shp));
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("pfcamps.prj"))), QByteArray(kAlbersProjection));
    ASSERT_TRUE(writeProjectionFile(QString::fromLatin1(kWgs84Projection), shp));
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("pfcamps.prj"))), QByteArray(kWgs84Projection) + "\r\n");
}

TEST(ProjectionFiles, AMissingSourceIsNamedAndNothingIsWritten) {
    QTemporaryDir dir;
    const ProgramPaths paths(dir.filePath(QStringLiteral("nodata")), dir.filePath(QStringLiteral("logs")));
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    const auto result = copyProjectionFile(paths, kAlbersPrjFile, shp);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.message().contains(QStringLiteral("nodata/fl_albers.prj"))) << result.message().toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("pfcamps.prj"))));
}
