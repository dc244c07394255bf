// The batch tables over real files. Each import read back through the
// database layer: names, declared types, values, nulls, unique targets,
// failures that leave nothing. The runs over SQLite tables: the columns they
// add, the values, the hemisphere forcing, a bad record that changes nothing,
// the written points, and atomicity when the process is killed part way.

#include "batch/BatchRun.h"
#include "batch/TableImport.h"
#include "database/Database.h"
#include "engine/NationalGrid.h"
#include "output/ProjectionFiles.h"
#include "support/ShapefileReading.h"
#include "support/TableWriting.h"
#include "support/TestSupport.h"
#include "support/Thrown.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <tuple>

namespace waypost::batch {
namespace {

using namespace Qt::StringLiterals;
using database::Database;
using test::thrown;
using Strings = std::vector<std::string>;
using Rows = std::vector<Strings>;
using test::Cells;

std::string referenceOf(double latitude, double longitude) {
    return engine::nationalGridReference(engine::utmFromGeographic(latitude, longitude));
}

/// What \p sql gives, every value as text ("NULL" for null).
Rows rows(const QString& path, const std::string& sql, Database::Mode mode = Database::Mode::ReadOnly) {
    Database d(path.toStdString(), mode);
    auto s = d.prepare(sql);
    Rows out;
    while (s.step()) {
        out.emplace_back();
        for (int i = 0; i < s.columnCount(); ++i) out.back().push_back(s.isNull(i) ? "NULL" : s.columnText(i));
    }
    return out;
}

/// "name type" of each column of \p table.
Strings columns(const QString& path, const std::string& table) {
    Strings out;
    for (const auto& c : Database(path.toStdString(), Database::Mode::ReadOnly).tableColumns(table))
        out.push_back(c.name + " " + c.declaredType);
    return out;
}

class BatchRunTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    /// The database \p name made with \p sql.
    QString db(const std::string& sql, const QString& name = u"fires.sqlite"_s) {
        Database(file(name).toStdString(), Database::Mode::Create).execute(sql);
        return file(name);
    }
    QTemporaryDir dir;
    const QString t = u"t"_s, usng = u"USNG"_s, lat = u"lat"_s, lon = u"lon"_s;
};
struct TableImportTest : BatchRunTest {};

// A text file (commas or tabs) keeps its nulls; a second import gets a new name. A dBase file becomes xd.sqlite and
// leaves a text copy beside it (blanks trimmed, a null as nothing).
TEST_F(TableImportTest, TextFilesKeepNullsAndGetUniqueTargetsAndDbaseGivesATextCopy) {
    ASSERT_TRUE(test::writeFile(file("a.csv"), "id,name,lat,lon\r\n1,North Camp,30.5,-84.25\r\n2,,31.25,-85\r\n"));
    EXPECT_EQ(importText(file("a.csv")), file("a.sqlite"));
    EXPECT_EQ(importText(file("a.csv")), file("a1.sqlite"));
    EXPECT_EQ(rows(file("a1.sqlite"), "SELECT * FROM COORD"),
              (Rows{{"1", "North Camp", "30.5", "-84.25"}, {"2", "NULL", "31.25", "-85"}}));
    ASSERT_TRUE(test::writeFile(file("b.txt"), "USNG\tNote\n16R GU 61158 70495\tcamp\n"));
    EXPECT_EQ(rows(importText(file("b.txt")), "SELECT USNG FROM COORD"), Rows{{"16R GU 61158 70495"}});
    ASSERT_TRUE(test::writeTables(file("x.dbf"), "ESRI Shapefile",
                                  {{"x", {{"NUM", "NOTE", "CODE"}, {"12 ", nullptr, "X"}, {"7", "b", "Y"}}}}));
    EXPECT_EQ(importDbf(file("x.dbf")), file("xd.sqlite"));
    EXPECT_EQ(test::readAll(file("x.txt")), "NUM,NOTE,CODE\r\n12,,X\r\n7,b,Y\r\n"_ba);
}

// Every cell reads back as the text it had: a column holds numbers only when
// each of its texts comes back unchanged, whatever the source's format.
TEST_F(TableImportTest, EveryCellKeepsItsTextInTextSheetAndDbase) {
    const std::pair<std::vector<const char*>, const char*> cases[] = {
        {{"01234", "00501", "32301"}, "TEXT"},  // zip codes
        {{"12", "-7", "0"}, "INTEGER"},
        {{"30.4383", "-84.2807"}, "REAL"},
        {{"30.5", "31.25", "29.75", "abc"}, "TEXT"},  // a word deep in numbers
        {{"30.5", "31"}, "TEXT"},                      // a whole number among decimals
        {{"99999999999999999999"}, "TEXT"}};           // past 64 bits
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const auto& [cells, declared] = cases[n];
        const QString name = u"t%1"_s.arg(n);
        QByteArray csv = "V,K\r\n";
        Cells table{{"V", "K"}};
        Rows expected;
        for (const char* cell : cells) {
            csv += QByteArray(cell) + ",k\r\n";
            table.push_back({cell, "k"});
            expected.push_back({cell});
        }
        ASSERT_TRUE(test::writeFile(file(name + ".csv"), csv));
        ASSERT_TRUE(test::writeTables(file(name + ".xlsx"), "XLSX", {{"S", table}}));
        ASSERT_TRUE(test::writeTables(file(name + ".dbf"), "ESRI Shapefile", {{name.toStdString(), table}}));
        for (const auto& [database, target] : {std::pair{importText(file(name + ".csv")), "COORD"},
                                               std::pair{importSheet(file(name + ".xlsx"), u"S"_s), "tblExcel"},
                                               std::pair{importDbf(file(name + ".dbf")), "COORD"}}) {
            SCOPED_TRACE(database.toStdString());
            EXPECT_EQ(columns(database, target).at(0), std::string("V ") + declared);
            EXPECT_EQ(rows(database, std::string("SELECT V FROM ") + target), expected);
        }
    }
}

// A workbook's sheets are listed in order (.xlsx, .ods; an .xls's listed: TableImportPanelTest); the chosen one
// becomes tblExcel.
TEST_F(TableImportTest, WorkbookSheetsAreListedAndOneBecomesTblExcel) {
    ASSERT_TRUE(test::writeTables(file("two.xlsx"), "XLSX",
                                  {{"Fires", {{"USNG"}, {"16R GU 61158 70495"}}}, {"Camps", {{"Name"}, {"North"}}}}));
    EXPECT_EQ(sheetNames(file("two.xlsx")), QStringList({"Fires", "Camps"}));
    EXPECT_EQ(rows(importSheet(file("two.xlsx"), u"Camps"_s), "SELECT * FROM tblExcel"), Rows{{"North"}});
    ASSERT_TRUE(test::writeTables(file("one.ods"), "ODS", {{"Only", {{"Lat", "Lon"}, {"30.5", "-84.25"}}}}));
    EXPECT_EQ(sheetNames(file("one.ods")), QStringList{"Only"});
    // GDAL cannot write .xls: Debian's python3-xlwt makes one.
    const std::string command =
        "/usr/bin/python3 -c \"import xlwt,sys; b=xlwt.Workbook(); s=b.add_sheet('Grid'); s.write(0,0,'USNG'); "
        "s.write(1,0,'17R MK 50392 86534'); b.add_sheet('Empty'); b.save(sys.argv[1])\" '" + file("old.xls").toStdString() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(rows(importSheet(file("old.xls"), u"Grid"_s), "SELECT * FROM tblExcel"), Rows{{"17R MK 50392 86534"}});
}

// Access tables keep their order, declared types and values.
TEST_F(TableImportTest, AccessTablesKeepTheirTypesValuesAndNulls) {
    const auto imported = [&](const char* name) {
        return QFile::copy(QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/access/") + QLatin1String(name), file(name))
                   ? importAccess(file(name)) : u"<not copied>"_s;
    };
    for (const char* name : {"v1997_types.mdb", "v2010_types.accdb"}) {
        SCOPED_TRACE(name);
        const QString target = imported(name);
        EXPECT_EQ(databaseTables(target), QStringList({"Table1", "Table2", "Table3", "Table4"}));
        EXPECT_EQ(columns(target, "Table1"), (Strings{"A Text(50)", "B Text(100)", "C Byte", "D INTEGER", "E Long Integer",
                                                      "F Double", "G DateTime", "H Currency", "I Boolean"}));
        EXPECT_EQ(rows(target, "SELECT * FROM Table1 LIMIT 1 OFFSET 1"),
                  (Rows{{"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555", "1974-09-21 00:00:00", "3.5", "1"}}));
    }
    EXPECT_EQ(columns(imported("v2000_numeric.mdb"), "test").at(1), "col2 Numeric(18,0)");
    EXPECT_TRUE(databaseTables(imported("v2000_empty.mdb")).isEmpty());
}

// A failed import names the file and leaves no database, finished or half built.
TEST_F(TableImportTest, AFailureNamesTheFileAndLeavesNoDatabase) {
    ASSERT_TRUE(test::writeFile(file("broken.mdb"), QByteArray(4096, '\x07')));
    ASSERT_TRUE(test::writeFile(file("broken.xlsx"), "PK not really a workbook"));
    const std::vector<std::pair<QString, std::function<QString()>>> cases = {
        {file("broken.mdb"), [&] { return importAccess(file("broken.mdb")); }},
        {file("broken.xlsx"), [&] { return importSheet(file("broken.xlsx"), u"Sheet1"_s); }},
        {file("missing.csv"), [&] { return importText(file("missing.csv")); }}};
    for (const auto& [path, import] : cases) {
        const auto e = thrown<ImportError>(import);
        EXPECT_TRUE(e && e->file() == path && !e->reason().isEmpty()) << path.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({u"*.sqlite"_s, u".*"_s}, QDir::Files | QDir::Hidden).isEmpty());
}

// References become Latitude/Longitude; the other way, the hemispheres are forced before the reference is made. (A
// second run's uxLatitude/uxLongitude and a third refused, planned as here:
// ServerRun::UsngToLatLongGivesTheAnswersOfTheSqliteRun.)
TEST_F(BatchRunTest, ReferencesBecomeLatitudeLongitudeAndHemispheresAreForced) {
    const QString path = db("CREATE TABLE \"fire sites\" (USNG TEXT); INSERT INTO \"fire sites\" VALUES "
                            "('16R GU 61158 70495'), ('16RGU6115870495'), ('" + referenceOf(27, -128) + "'); "
                            "CREATE TABLE t (lat REAL, lon TEXT); INSERT INTO t VALUES (-30.4383, '84.2807'), (33.9, '-18.4')");
    RunCounter done{0};
    EXPECT_EQ(convertUsngToLatLong(path, u"fire sites"_s, usng, &done).records, 3);
    EXPECT_EQ(done.load(), 3);
    EXPECT_EQ(rows(path, "SELECT Latitude, Longitude FROM \"fire sites\""),
              (Rows{{"30.4383", "-84.2807"}, {"30.4383", "-84.2807"}, {"27.0", "-128.0"}}));

    convertLatLongToUsng(path, t, lat, lon, {});
    EXPECT_EQ(rows(path, "SELECT USNGCoord FROM t").at(0).at(0), "16R GU 61158 70495");
    convertLatLongToUsng(path, t, lat, lon, {false, false});
    EXPECT_EQ(rows(path, "SELECT uxUSNGCoord FROM t").at(1).at(0), referenceOf(-33.9, 18.4));
}

// A column named like SQLite's row number never decides which record a value
// goes to; a table whose columns hide every row number is refused unchanged.
TEST_F(BatchRunTest, ColumnsNamedLikeTheRowNumber) {
    const std::pair<const char*, const char*> tables[] = {
        {"ROWID INTEGER, OID TEXT",
         "('16R GU 61158 70495', 1, 'a'), ('17R LL 70840 80930', 1, 'a'), ('15R YP 00000 00000', 1, 'a')"},
        {"id INTEGER PRIMARY KEY, rowid INT, _rowid_ INT, oid INT",
         "('16R GU 61158 70495', 5, 1, 1, 1), ('17R LL 70840 80930', 9, 1, 1, 1), ('15R YP 00000 00000', 2, 1, 1, 1)"}};
    for (std::size_t n = 0; n < std::size(tables); ++n) {
        SCOPED_TRACE(tables[n].first);
        // The same references in a table without the extra columns give the answers.
        const QString path = db(std::string("CREATE TABLE t (USNG TEXT, ") + tables[n].first + "); INSERT INTO t VALUES " +
                                    tables[n].second + "; CREATE TABLE plain AS SELECT USNG FROM t ORDER BY USNG DESC",
                                u"key%1.sqlite"_s.arg(n));
        EXPECT_EQ(convertUsngToLatLong(path, t, usng).records, 3);
        convertUsngToLatLong(path, u"plain"_s, usng);
        const Rows expected = rows(path, "SELECT USNG, Latitude FROM plain ORDER BY USNG");
        EXPECT_EQ(rows(path, "SELECT USNG, Latitude FROM t ORDER BY USNG"), expected);
        EXPECT_NE(expected[0][1], expected[1][1]);
    }
    const QString hidden = db("CREATE TABLE t (USNG TEXT, rowid INT, _rowid_ INT, oid INT);"
                              "INSERT INTO t VALUES ('16R GU 61158 70495', 1, 1, 1)", u"hidden.sqlite"_s);
    EXPECT_THROW(convertUsngToLatLong(hidden, t, usng), RunError);
    EXPECT_EQ(columns(hidden, "t").size(), 4U);
}

// A bad record stops either run, is named, and leaves the file byte for byte as it was.
TEST_F(BatchRunTest, ABadRecordChangesNothingAndIsNamed) {
    const QString path = db("CREATE TABLE t (USNG TEXT, lat TEXT, lon REAL); INSERT INTO t VALUES ('16R GU 61158 70495', "
                            "'30.5', -84.25), ('16R GU 611', 'north', -84), ('16R GU 1 1', '31', -85)");
    const QByteArray before = test::readAll(path);
    const std::vector<std::pair<std::function<void()>, QString>> runs = {
        {[&] { convertUsngToLatLong(path, t, usng); }, u"Record 2 (\"16R GU 611\")"_s},
        {[&] { convertLatLongToUsng(path, t, lat, lon, {}); }, u"Record 2 (\"north\")"_s}};
    for (const auto& [run, named] : runs) {
        const auto e = thrown<RunError>(run);
        EXPECT_TRUE(e && e->record() == 2 && e->message().startsWith(named))
            << (e ? e->what() : "the run went through");
        EXPECT_EQ(test::readAll(path), before);
    }
}

// The shapefile beside the database: every column (names shortened apart), the stored points, the .prj; the same
// whichever way the table is written.
TEST_F(BatchRunTest, TheShapefileHoldsEveryColumnAndTheStoredPointsWhicheverWayItIsWritten) {
    const QString path = db("CREATE TABLE t (\"Name of the site\" Text(20), \"Name of the camp\" Text(20), lat Double, "
                            "lon Double, seen DateTime, n INTEGER); INSERT INTO t VALUES "
                            "('a', 'x', 30.5, 84.25, '2026-09-14 00:00:00', 1), ('b', 'y', 27, -81.5, NULL, 2), "
                            "('c', 'z', 30.4383, -84.2807, NULL, NULL)");
    convertLatLongToUsng(path, t, lat, lon, {});
    EXPECT_EQ(writeTableShapefile(path, t, lat, lon), file(u"fires.shp"_s));
    const test::ShapefileContent content = test::readShapefile(file(u"fires.shp"_s));
    ASSERT_EQ(content.records.size(), 3U);
    EXPECT_EQ(content.records[0].vertices, (std::vector<std::pair<double, double>>{{84.25, 30.5}}));  // as stored
    EXPECT_EQ(content.schema.size(), 7);
    EXPECT_EQ(content.schema.value(0), u"Name_of_th:text:20"_s);
    EXPECT_NE(content.schema.value(0), content.schema.value(1));
    EXPECT_EQ(content.schema.value(4), u"seen:date:0"_s);
    EXPECT_EQ(test::readAll(file(u"fires.prj"_s)), QByteArray(kWgs84Projection) + "\r\n");

    // A table of whole numbers, numbers and plain texts is written by GDAL's own
    // translation; a text among the numbers sends it through the writer's rules:
    // both give the same fields, values and points.
    const auto written = [&](const char* acres, const QString& name, const char* id = "id INTEGER") {
        const QString made = db("CREATE TABLE t (" + std::string(id) + ", name TEXT, lat REAL, lon REAL, \"acres burned\" REAL); "
                                "INSERT INTO t VALUES (1, 'Camp Ça', 30.5, -84.25, " + std::string(acres) +
                                    "), (2, NULL, 27, -81.5, NULL)",
                                name);
        return test::readShapefile(writeTableShapefile(made, t, lat, lon));
    };
    const test::ShapefileContent plain = written("1.5", u"plain.sqlite"_s), mixed = written("'1.5 acres'", u"mixed.sqlite"_s);
    EXPECT_EQ(plain.schema.join(u' ').toStdString(), "id:other:0 name:text:8 lat:double:0 lon:double:0 acres_burn:double:0");
    ASSERT_EQ(plain.records.size(), 2U);
    EXPECT_EQ(plain.records[0].values.value(u"name"_s), u"Camp Ça"_s);
    EXPECT_EQ(plain.records[1].vertices, (std::vector<std::pair<double, double>>{{-81.5, 27}}));
    // A point that is no number is named, never written as a number GDAL made of it.
    const QString textPoint = db("CREATE TABLE t (id INTEGER, lat REAL, lon REAL); "
                                 "INSERT INTO t VALUES (1, 30.5, -84.25), (2, '27 N', -81.5)", u"text point.sqlite"_s);
    const auto refused = thrown<RunError>([&] { writeTableShapefile(textPoint, t, lat, lon); });
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->message().startsWith(u"record 2 has no longitude and latitude"_s)) << refused->message().toStdString();
    EXPECT_FALSE(QFile::exists(file(u"text point.shp"_s)));
    // A table's own key is a column like the others.
    const test::ShapefileContent keyed = written("1.5", u"keyed.sqlite"_s, "id INTEGER PRIMARY KEY");
    for (const test::ShapefileContent* other : {&mixed, &keyed}) {
        EXPECT_EQ(other->schema.join(u' ').toStdString(), plain.schema.join(u' ').toStdString());
        ASSERT_EQ(other->records.size(), 2U);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(other->records[i].values, plain.records[i].values) << i;
            EXPECT_EQ(other->records[i].vertices, plain.records[i].vertices) << i;
        }
    }
}

// The converted table's points in the formats GPS units and current GIS read:
// the same points and values as the table, full column names (a GPX file's in
// its waypoints' extensions, a "name" column as the waypoint's name).
TEST_F(BatchRunTest, TablePointsHoldEveryRecordWithItsValues) {
    const QString path = db("CREATE TABLE \"fire sites\" (name TEXT, \"Name of the site\" TEXT, lat REAL, lon REAL, "
                            "time TEXT, n INTEGER); INSERT INTO \"fire sites\" VALUES "
                            "('a', 'Camp <1> & \"x\"', 30.5, -84.25, 'noon', 1), ('b', NULL, 27, -81.5, NULL, 2)");
    const auto field = [](const OGRFeature& f, const char* name) {
        for (const std::string& candidate : {std::string(name), "ogr_" + std::string(name)})
            if (const int i = f.GetFieldIndex(candidate.c_str()); i >= 0)
                return f.IsFieldSetAndNotNull(i) ? std::string(f.GetFieldAsString(i)) : std::string("NULL");
        return std::string("<missing>");
    };
    for (const PointFormat format : {PointFormat::GeoPackage, PointFormat::GeoJson, PointFormat::Gpx}) {
        const QString written = writeTablePoints(path, u"fire sites"_s, lat, lon, format);  // registers GDAL's drivers
        SCOPED_TRACE(written.toStdString());
        GDALDatasetUniquePtr ds(GDALDataset::Open(written.toUtf8().constData(), GDAL_OF_VECTOR));
        ASSERT_TRUE(ds);
        const bool gpx = format == PointFormat::Gpx;
        OGRLayer* layer = gpx ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
        ASSERT_NE(layer, nullptr);
        ASSERT_EQ(layer->GetFeatureCount(), 2);
        OGRFeatureUniquePtr first(layer->GetNextFeature()), second(layer->GetNextFeature());
        const OGRPoint* point = first->GetGeometryRef()->toPoint();
        EXPECT_EQ(std::pair(point->getX(), point->getY()), std::pair(-84.25, 30.5));
        EXPECT_EQ(field(*first, "name"), "a");
        EXPECT_EQ(field(*first, gpx ? "Name_of_the_site" : "Name of the site"), "Camp <1> & \"x\"");
        EXPECT_EQ(field(*first, gpx ? "time_" : "time"), "noon");
        EXPECT_EQ(std::stoi(field(*first, "n")), 1);
        if (!gpx) {
            EXPECT_EQ(field(*second, "Name of the site"), "NULL");
        }
    }
}

// A run killed at any moment leaves the table whole: no new column, or every row converted.
TEST_F(BatchRunTest, AKilledRunLeavesNoHalfConvertedTable) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        const QString path = db("CREATE TABLE t (lat REAL, lon REAL); WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                                "FROM n WHERE i < 199999) INSERT INTO t SELECT 25 + (i % 600) / 100.0, -87 + (i % 700) / 100.0 FROM n",
                                u"big%1.sqlite"_s.arg(attempt));
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

// The command runs on every kind of table the windows import, through the same import.
TEST_F(BatchRunTest, TheCommandRunsOnTextDbaseAndSheetSources) {
    ASSERT_TRUE(test::writeFile(file("points.csv"), "Name,USNG\r\nA,16R GU 61158 70495\r\nB,17R LL 70840 80930\r\n"));
    const Cells references{{"USNG"}, {"16R GU 61158 70495"}, {"17R LL 70840 80930"}};
    ASSERT_TRUE(test::writeTables(file("points.dbf"), "ESRI Shapefile", {{"points", references}}));
    ASSERT_TRUE(test::writeTables(file("book.xlsx"), "XLSX", {{"Sheet1", references}}));
    for (const auto& [source, table, database, converted] :
         {std::tuple{"points.csv", "-", "points.sqlite", "COORD"}, std::tuple{"points.dbf", "-", "pointsd.sqlite", "COORD"},
          std::tuple{"book.xlsx", "Sheet1", "bookx.sqlite", "tblExcel"}}) {
        QProcess run;
        run.start(QStringLiteral(WAYPOST_CONVERT_PATH), {"table", "usng2ll", file(source), table, "USNG"});
        ASSERT_TRUE(run.waitForFinished());
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
        EXPECT_TRUE(run.readAllStandardOutput().contains("2 Records Converted")) << source;
        EXPECT_EQ(rows(file(database), std::string("SELECT count(Latitude) FROM ") + converted), Rows{{"2"}}) << database;
    }
}

}  // namespace
}  // namespace waypost::batch
