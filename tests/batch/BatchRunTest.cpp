// The batch runs over real SQLite tables: the columns they add, the values,
// the hemisphere forcing, a bad record that changes nothing, the shapefile,
// and atomicity when the process is killed part way.

#include "batch/BatchRun.h"
#include "database/Database.h"
#include "engine/NationalGrid.h"
#include "output/ProjectionFiles.h"
#include "support/ShapefileReading.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace waypost::batch {
namespace {

using namespace Qt::StringLiterals;
using database::Database;
using Rows = std::vector<std::vector<std::string>>;

std::string referenceOf(double latitude, double longitude) {
    return engine::nationalGridReference(engine::utmFromGeographic(latitude, longitude));
}

/// The RunError \p run throws; none when it goes through.
template <class F>
std::optional<RunError> runError(F&& run) {
    try {
        run();
    } catch (const RunError& e) {
        return e;
    }
    return std::nullopt;
}

class BatchRunTest : public ::testing::Test {
protected:
    QString db(const std::string& sql) {
        const QString path = dir.filePath(u"fires.sqlite"_s);
        Database(path.toStdString(), Database::Mode::Create).execute(sql);
        return path;
    }
    static Rows rows(const QString& path, const std::string& sql, Database::Mode mode = Database::Mode::ReadOnly) {
        Database d(path.toStdString(), mode);
        auto s = d.prepare(sql);
        Rows out;
        while (s.step()) {
            out.emplace_back();
            for (int i = 0; i < s.columnCount(); ++i) out.back().push_back(s.isNull(i) ? "NULL" : s.columnText(i));
        }
        return out;
    }
    QTemporaryDir dir;
    const QString t = u"t"_s, usng = u"USNG"_s, lat = u"lat"_s, lon = u"lon"_s;
};

TEST_F(BatchRunTest, ReferencesBecomeLatitudeLongitudeThenUxThenTheRunStops) {
    const QString path = db("CREATE TABLE \"fire sites\" (USNG TEXT); INSERT INTO \"fire sites\" VALUES "
                            "('16R GU 61158 70495'), ('16RGU6115870495'), ('" + referenceOf(27, -128) + "')");
    const QString table = u"fire sites"_s;
    RunCounter done{0};
    const RunResult first = convertUsngToLatLong(path, table, usng, &done);
    EXPECT_EQ(first.records, 3);
    EXPECT_EQ(done.load(), 3);
    EXPECT_EQ(first.outputColumns, u"Latitude, Longitude"_s);
    EXPECT_EQ(rows(path, "SELECT Latitude, Longitude FROM \"fire sites\""),
              (Rows{{"30.4383", "-84.2807"}, {"30.4383", "-84.2807"}, {"27.0", "-128.0"}}));
    EXPECT_EQ(convertUsngToLatLong(path, table, usng).latitudeColumn, u"uxLatitude"_s);
    const auto third = runError([&] { convertUsngToLatLong(path, table, usng); });
    ASSERT_TRUE(third) << "a third run ran";
    EXPECT_EQ(third->message(), kPreviousUsngToLatLong);
}

// A column that takes the name of SQLite's row number never decides which
// record a value goes to.
struct RowKeyCase {
    const char* name;
    const char* columns;  ///< after "USNG TEXT, "
    const char* values;   ///< the extra column's three values
};

class RunRowKey : public BatchRunTest, public ::testing::WithParamInterface<RowKeyCase> {};

TEST_P(RunRowKey, EveryRecordGetsItsOwnValue) {
    const RowKeyCase& c = GetParam();
    const QString path = db(std::string("CREATE TABLE t (USNG TEXT, ") + c.columns + "); INSERT INTO t VALUES " +
                            c.values);
    EXPECT_EQ(convertUsngToLatLong(path, t, usng).records, 3);
    // The same references in a table without the extra column give the answers.
    Database(path.toStdString(), Database::Mode::ReadWrite)
        .execute("CREATE TABLE plain AS SELECT USNG FROM t ORDER BY USNG DESC");
    convertUsngToLatLong(path, u"plain"_s, usng);
    const auto expected = rows(path, "SELECT USNG, Latitude FROM plain ORDER BY USNG");
    EXPECT_EQ(rows(path, "SELECT USNG, Latitude FROM t ORDER BY USNG"), expected);
    EXPECT_NE(expected[0][1], expected[1][1]);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunRowKey,
    ::testing::Values(
        RowKeyCase{"RowID_all_7", "RowID INTEGER",
                   "('16R GU 61158 70495', 7), ('17R LL 70840 80930', 7), ('15R YP 00000 00000', 7)"},
        RowKeyCase{"rowid_as_text", "rowid TEXT",
                   "('16R GU 61158 70495', 'x'), ('17R LL 70840 80930', 'x'), ('15R YP 00000 00000', 'y')"},
        RowKeyCase{"rowid_and_oid_taken", "ROWID INTEGER, OID TEXT",
                   "('16R GU 61158 70495', 1, 'a'), ('17R LL 70840 80930', 1, 'a'), ('15R YP 00000 00000', 1, 'a')"},
        RowKeyCase{"integer_primary_key", "id INTEGER PRIMARY KEY, rowid INT, _rowid_ INT, oid INT",
                   "('16R GU 61158 70495', 5, 1, 1, 1), ('17R LL 70840 80930', 9, 1, 1, 1), "
                   "('15R YP 00000 00000', 2, 1, 1, 1)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchRunTest, ATableWhoseColumnsHideEveryRowNumberIsRefusedUnchanged) {
    const QString path = db("CREATE TABLE t (USNG TEXT, rowid INT, _rowid_ INT, oid INT);"
                            "INSERT INTO t VALUES ('16R GU 61158 70495', 1, 1, 1)");
    EXPECT_THROW(convertUsngToLatLong(path, t, usng), RunError);
    EXPECT_EQ(rows(path, "SELECT count(*) FROM pragma_table_info('t')"), Rows{{"4"}});
}

TEST_F(BatchRunTest, HemispheresAreForcedBeforeTheReferenceIsMade) {
    const QString path =
        db("CREATE TABLE t (lat REAL, lon TEXT); INSERT INTO t VALUES (-30.4383, '84.2807'), (33.9, '-18.4')");
    convertLatLongToUsng(path, t, lat, lon, {});
    EXPECT_EQ(rows(path, "SELECT USNGCoord FROM t").at(0).at(0), "16R GU 61158 70495");
    convertLatLongToUsng(path, t, lat, lon, {false, false});
    EXPECT_EQ(rows(path, "SELECT uxUSNGCoord FROM t").at(1).at(0), referenceOf(-33.9, 18.4));
}

TEST_F(BatchRunTest, ABadRecordChangesNothingAndIsNamed) {
    const QString path = db("CREATE TABLE t (USNG TEXT, lat TEXT, lon REAL); INSERT INTO t VALUES ('16R GU 61158 70495', "
                            "'30.5', -84.25), ('16R GU 611', 'north', -84), ('16R GU 1 1', '31', -85)");
    const auto digest = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    };
    const QByteArray before = digest();
    const std::vector<std::pair<std::function<void()>, QString>> runs = {
        {[&] { convertUsngToLatLong(path, t, usng); }, u"Record 2 (\"16R GU 611\")"_s},
        {[&] { convertLatLongToUsng(path, t, lat, lon, {}); }, u"Record 2 (\"north\")"_s}};
    for (const auto& [run, named] : runs) {
        const auto e = runError(run);
        ASSERT_TRUE(e) << "the run went through";
        EXPECT_EQ(e->record(), 2);
        EXPECT_TRUE(e->message().startsWith(named)) << e->message().toStdString();
        EXPECT_EQ(digest(), before);  // byte for byte as it was
    }
}

TEST_F(BatchRunTest, TheShapefileHoldsEveryColumnAndTheStoredPoints) {
    const QString path = db("CREATE TABLE t (\"Name of the site\" Text(20), \"Name of the camp\" Text(20), lat Double, "
                            "lon Double, seen DateTime, n INTEGER); INSERT INTO t VALUES "
                            "('a', 'x', 30.5, 84.25, '2026-09-14 00:00:00', 1), ('b', 'y', 27, -81.5, NULL, 2), "
                            "('c', 'z', 30.4383, -84.2807, NULL, NULL)");
    const RunResult r = convertLatLongToUsng(path, t, lat, lon, {});
    EXPECT_EQ(rows(path, "SELECT USNGCoord FROM t").at(0).at(0), referenceOf(30.5, -84.25));
    const QString shp = writeTableShapefile(path, t, r.latitudeColumn, r.longitudeColumn);
    EXPECT_EQ(shp, dir.filePath(u"fires.shp"_s));
    const test::ShapefileContent content = test::readShapefile(shp);
    ASSERT_EQ(content.records.size(), 3U);
    EXPECT_EQ(content.records[0].vertices, (std::vector<std::pair<double, double>>{{84.25, 30.5}}));  // as stored
    EXPECT_EQ(content.schema.size(), 7);
    EXPECT_EQ(content.schema.value(0), u"Name_of_th:text:20"_s);
    EXPECT_TRUE(content.schema.value(1).endsWith(u":text:20"_s));  // shortened, kept apart
    EXPECT_NE(content.schema.value(0), content.schema.value(1));
    EXPECT_EQ(content.schema.value(4), u"seen:date:0"_s);
    QFile prj(dir.filePath(u"fires.prj"_s));
    ASSERT_TRUE(prj.open(QIODevice::ReadOnly));
    EXPECT_EQ(prj.readAll(), QByteArray(kWgs84Projection) + "\r\n");
}

// The converted table's points in the formats GPS units and current GIS read:
// the same points and values as the table, full column names (a GPX file's in
// its waypoints' extensions, a "name" column as the waypoint's name).
class TablePoints : public BatchRunTest, public ::testing::WithParamInterface<PointFormat> {};

TEST_P(TablePoints, HoldEveryRecordWithItsValues) {
    const QString path = db("CREATE TABLE \"fire sites\" (name TEXT, \"Name of the site\" TEXT, lat REAL, lon REAL, "
                            "time TEXT, n INTEGER); INSERT INTO \"fire sites\" VALUES "
                            "('a', 'Camp <1> & \"x\"', 30.5, -84.25, 'noon', 1), ('b', NULL, 27, -81.5, NULL, 2)");
    const QString written = writeTablePoints(path, u"fire sites"_s, lat, lon, GetParam());
    EXPECT_EQ(written, dir.filePath(u"fires."_s + pointFormatExtension(GetParam())));
    GDALAllRegister();
    GDALDatasetUniquePtr ds(GDALDataset::Open(written.toUtf8().constData(), GDAL_OF_VECTOR));
    ASSERT_TRUE(ds);
    const bool gpx = GetParam() == PointFormat::Gpx;
    OGRLayer* layer = gpx ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
    ASSERT_NE(layer, nullptr);
    ASSERT_EQ(layer->GetFeatureCount(), 2);
    const auto field = [&](const OGRFeature& f, const char* name) {
        for (const std::string& candidate : {std::string(name), "ogr_" + std::string(name)})
            if (const int i = f.GetFieldIndex(candidate.c_str()); i >= 0)
                return f.IsFieldSetAndNotNull(i) ? std::string(f.GetFieldAsString(i)) : std::string("NULL");
        return std::string("<missing>");
    };
    OGRFeatureUniquePtr first(layer->GetNextFeature()), second(layer->GetNextFeature());
    const OGRPoint* point = first->GetGeometryRef()->toPoint();
    EXPECT_EQ(std::pair(point->getX(), point->getY()), std::pair(-84.25, 30.5));
    EXPECT_EQ(field(*first, "name"), "a");
    EXPECT_EQ(field(*first, gpx ? "Name_of_the_site" : "Name of the site"), "Camp <1> & \"x\"");
    EXPECT_EQ(field(*first, gpx ? "time_" : "time"), "noon");
    EXPECT_EQ(std::stoi(field(*first, "n")), 1);
    EXPECT_EQ(second->GetGeometryRef()->toPoint()->getY(), 27);
    if (!gpx) {
        EXPECT_EQ(field(*second, "Name of the site"), "NULL");
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TablePoints,
                         ::testing::Values(PointFormat::GeoPackage, PointFormat::GeoJson, PointFormat::Gpx),
                         [](const auto& info) { return pointFormatExtension(info.param).toStdString(); });

// A run killed at any moment leaves the table whole: no new column, or every row converted.
TEST_F(BatchRunTest, AKilledRunLeavesNoHalfConvertedTable) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        const QString path = dir.filePath(u"big%1.sqlite"_s.arg(attempt));
        Database(path.toStdString(), Database::Mode::Create)
            .execute("CREATE TABLE t (lat REAL, lon REAL); WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                     "FROM n WHERE i < 199999) INSERT INTO t SELECT 25 + (i % 600) / 100.0, -87 + (i % 700) / 100.0 FROM n");
        QProcess run;
        run.start(QStringLiteral(WAYPOST_CONVERT_PATH), {"table", "ll2usng", path, "t", "lat", "lon"});
        ASSERT_TRUE(run.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(30, 450));
        run.kill();  // SIGKILL
        run.waitForFinished();
        // The next opening for writing rolls an interrupted transaction back.
        EXPECT_EQ(rows(path, "PRAGMA integrity_check", Database::Mode::ReadWrite), Rows{{"ok"}});
        if (rows(path, "SELECT count(*) FROM pragma_table_info('t') WHERE name = 'USNGCoord'") == Rows{{"1"}}) {
            EXPECT_EQ(rows(path, "SELECT count(*) FROM t WHERE USNGCoord IS NULL"), Rows{{"0"}});
        }
    }
}

// The command line runs on every kind of table the windows import, through
// the same import.
TEST_F(BatchRunTest, TheCommandRunsOnTextDbaseAndSheetSources) {
    GDALAllRegister();
    const QString csv = dir.filePath(u"points.csv"_s), dbf = dir.filePath(u"points.dbf"_s),
                  xlsx = dir.filePath(u"book.xlsx"_s);
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Name,USNG\r\nA,16R GU 61158 70495\r\nB,17R LL 70840 80930\r\n");
    }
    for (const auto& [path, driver] : {std::pair{dbf, "ESRI Shapefile"}, std::pair{xlsx, "XLSX"}}) {
        GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName(driver)->Create(
            path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
        ASSERT_TRUE(ds);
        OGRLayer* layer = ds->CreateLayer("Sheet1", nullptr, wkbNone, nullptr);
        OGRFieldDefn field("USNG", OFTString);
        ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
        for (const char* ref : {"16R GU 61158 70495", "17R LL 70840 80930"}) {
            OGRFeature feature(layer->GetLayerDefn());
            feature.SetField(0, ref);
            ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
        }
    }
    for (const auto& [source, table, database, converted] :
         {std::tuple{csv, "-", "points.sqlite", "COORD"}, std::tuple{dbf, "-", "pointsd.sqlite", "COORD"},
          std::tuple{xlsx, "Sheet1", "bookx.sqlite", "tblExcel"}}) {
        QProcess run;
        run.start(QStringLiteral(WAYPOST_CONVERT_PATH), {"table", "usng2ll", source, table, "USNG"});
        ASSERT_TRUE(run.waitForFinished());
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
        EXPECT_TRUE(run.readAllStandardOutput().contains("2 Records Converted")) << source.toStdString();
        EXPECT_EQ(rows(dir.filePath(QLatin1String(database)), std::string("SELECT count(Latitude) FROM ") + converted),
                  Rows{{"2"}}) << database;
    }
}

}  // namespace
}  // namespace waypost::batch
