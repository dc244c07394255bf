// The output files: record files read back by a CSV reader, output names,
// then shapefiles written whole or not at all and read back with GDAL, a
// feature's field table and the projection files.

#include "engine/EngineConstants.h"
#include "output/FeatureFields.h"
#include "output/ProjectionFiles.h"
#include "output/RecordFile.h"
#include "output/ShapefileWriter.h"
#include "support/FileSizeLimit.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/Thrown.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

using namespace waypost;
using namespace Qt::StringLiterals;
using waypost::test::readAll;
using waypost::test::readShapefile;

namespace {
const QStringList kHeader{"Name", "Type", "Latitude", "Longitude", "AlbersX", "AlbersY", "UTM", "USNG", "STR"};

std::vector<RecordValue> helibase() {
    return {u"Helibase 2"_s, u"Helibase"_s, 30.5, -84.25, 376025.0, 721400.0, u"16R 761158 3370495"_s,
            u"16R GU 61158 70495"_s, u"T01N R05W S12"_s};
}


using Vertices = std::vector<std::pair<double, double>>;
using Mode = ShapefileWriter::OpenMode;
using W = ShapefileWriter;

struct Field {
    const char* name;
    int type, size = 0, decimals = 0;
};
/// A facility table: text, number, number with its own width and decimals, date.
const std::vector<Field> kFacilityFields{
    {"Name", W::Text, 45}, {"Long", W::Double}, {"Acres", W::Double, 12, 2}, {"StartDate", W::Date, 8}};

/// Opens a new set at \p path with \p fields, ready for records.
void create(W& w, const QString& path, const std::vector<Field>& fields = kFacilityFields,
            W::ShapeType type = W::Point) {
    w.OpenShapefile(path, Mode::Create, type);
    for (const auto& [name, fieldType, size, decimals] : fields)
        w.AddField(QString::fromLatin1(name), fieldType, size, decimals);
    w.CommitFields();
}

QByteArray setDigest(const QString& shp) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* ext : {"shp", "shx", "dbf", "cpg"}) hash.addData(readAll(shp.left(shp.size() - 3) + ext));
    return hash.result();
}

/// One record of the facility table.
void writeFacility(W& w, const QString& name, double x, double y) {
    w.SetFieldValue(u"Name"_s, name);
    w.SetFieldValue(u"Long"_s, -84.25);
    w.AddVertex(x, y);
    w.WriteShape();
}

/// A complete new set: \p records gives the values and vertices and writes the shapes.
template <class F>
void writeSet(const QString& path, F&& records, const std::vector<Field>& fields = kFacilityFields,
              W::ShapeType type = W::Point) {
    W w;
    create(w, path, fields, type);
    records(w);
    w.CloseShapefile();
}

/// Files and folders, hidden ones too: a work folder left behind shows.
QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList namesIn(const QString& shp) {
    QStringList names;
    for (const auto& record : readShapefile(shp).records) names << record.values.value(u"Name"_s);
    return names;
}

/// A folder holding a complete set of one facility, "One", in pfcamps.shp.
class ShapefileSet : public ::testing::Test {
protected:
    void SetUp() override {
        writeSet(shp, [](W& w) { writeFacility(w, u"One"_s, 1, 2); });
        before = setDigest(shp);
    }
    bool workLeft() const { return !filesIn(dir.path()).filter(u".waypost"_s).isEmpty(); }
    QTemporaryDir dir;
    const QString shp = dir.filePath(u"pfcamps.shp"_s);
    QByteArray before;
};

}  // namespace

// A new set replaces the old one; GDAL reads its decimals, values (accents too: the .cpg says UTF-8) and records in
// order. (The set's files, its type and a record's point and number: KitTest; fields with their widths in
// order: FeatureFields below; a date: FeatureWindowsTest.)
TEST_F(ShapefileSet, ANewPointFileReplacesItAndReadsBackWithFieldsValuesAndOrder) {
    writeSet(shp, [](W& w) {
        w.SetFieldValue(u"Acres"_s, 12.345);
        writeFacility(w, u"Helibase 2"_s, 376025, 721400);
        writeFacility(w, u"Camp Ça"_s, 376100.5, 721500.25);
    });
    const auto set = readShapefile(shp);
    // Acres keeps its own width and decimals in the dBase header (12, 2).
    EXPECT_EQ(readAll(dir.filePath(u"pfcamps.dbf"_s)).mid(32 * 3 + 16, 2), "\x0c\x02"_ba);
    ASSERT_EQ(set.records.size(), 2u);
    const auto &first = set.records[0], &second = set.records[1];
    EXPECT_EQ(namesIn(shp), QStringList({u"Helibase 2"_s, u"Camp Ça"_s}));
    EXPECT_DOUBLE_EQ(first.values.value("Acres").toDouble(), 12.35);  // two decimals
    EXPECT_EQ(second.values.value("Acres"), QString());  // values do not carry over
}

// A new set that fails half-way or is dropped without closing, or an append
// that fails, leaves the old set byte for byte as it was.
TEST_F(ShapefileSet, AFailedOrDroppedWriteKeepsTheOldSet) {
    ASSERT_TRUE(test::writeFile(dir.filePath(u"pfcamps.qix"_s), "stale index"));
    for (const bool fails : {true, false}) {
        {
            W w;
            create(w, shp);
            writeFacility(w, u"New"_s, 1, 2);
            if (fails) {  // a point takes one vertex
                w.AddVertex(1, 2);
                w.AddVertex(3, 4);
                EXPECT_THROW(w.WriteShape(), ShapefileError);
            }
        }
        EXPECT_EQ(setDigest(shp), before) << (fails ? "failed" : "dropped");
    }
    W w;
    w.OpenShapefile(shp, Mode::Append);
    writeFacility(w, u"Two"_s, 3, 4);
    const auto failure = test::thrown<ShapefileError>([&] { w.SetFieldValue(u"NoSuchField"_s, 1.0); });
    const std::string why = failure ? failure->what() : "";
    for (const char* named : {"NoSuchField", "pfcamps.shp"}) EXPECT_NE(why.find(named), std::string::npos) << why;
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(setDigest(shp), before);

    writeSet(shp, [](W& w) { writeFacility(w, u"New"_s, 7, 8); });
    EXPECT_FALSE(QFile::exists(dir.filePath(u"pfcamps.qix"_s)));  // the new set's stale index removed
}

// A disk that fills up, while appending or while writing a new set, leaves the set as it was.
TEST_F(ShapefileSet, RunningOutOfSpaceLeavesTheSetAsItWas) {
    for (const auto mode : {Mode::Append, Mode::Create}) {
        std::string why;
        {
            const waypost::testing::FileSizeLimit limit(
                static_cast<rlim_t>(QFileInfo(dir.filePath(u"pfcamps.dbf"_s)).size()) + 600);
            const auto failure = test::thrown<ShapefileError>([&] {
                W w;
                if (mode == Mode::Append) w.OpenShapefile(shp, mode);
                else create(w, shp);
                for (int i = 0; i < 200; ++i) writeFacility(w, u"Record %1"_s.arg(i), i, i);
                w.CloseShapefile();
            });
            if (failure) why = failure->what();
        }
        EXPECT_NE(why.find("pfcamps.shp"), std::string::npos) << "running out of space must be reported: " << why;
        EXPECT_EQ(setDigest(shp), before);
        EXPECT_FALSE(workLeft());
    }
}

// A text longer than its field keeps the field's width in bytes: the value is cut at a whole character and
// reported; one that fits, appended, is kept whole with the earlier records and the fields. (An append that cuts:
// KitTest::shapefilesAndPointFilesHoldTheFeature.)
TEST_F(ShapefileSet, TextFieldsKeepTheirWidthsAndLongValuesAreCut) {
    const QString a45(45, u'A'), e22(22, QChar(0x00E9));
    const std::tuple<const char*, bool, QString, QString> cases[] = {
        {"accented, new", false, QString(46, QChar(0x00E9)), e22},  // 92 bytes; 22 two-byte characters fit in 45
        {"exactly 45, appended", true, a45, a45}};
    const QString dbfPath = dir.filePath(u"pfcamps.dbf"_s);
    for (const auto& [name, append, value, stored] : cases) {
        SCOPED_TRACE(name);
        const QByteArray headerBefore = readAll(dbfPath).mid(32, 32 * 4);
        const QStringList namesBefore = namesIn(shp);
        W w;
        if (append) w.OpenShapefile(shp, Mode::Append);
        else create(w, shp);
        writeFacility(w, value, 3, 4);
        const auto shortened = w.shortened();
        w.CloseShapefile();

        EXPECT_EQ(readShapefile(shp).schema.value(0), u"Name:text:45"_s);
        EXPECT_EQ(namesIn(shp), append ? namesBefore + QStringList{stored} : QStringList{stored});
        EXPECT_FALSE(workLeft());
        if (append) {
            EXPECT_EQ(readAll(dbfPath).mid(32, 32 * 4), headerBefore);  // field definitions untouched
        }
        using Cut = std::vector<W::Shortened>;
        EXPECT_EQ(shortened, (value != stored ? Cut{{u"Name"_s, 45, stored}} : Cut{}));
    }
}

// Failures before any record (an unknown type, a value before the fields are committed, a bad date) leave no file.
// (No folder, or no set to append to, named with nothing left: KitTest.)
TEST(ShapefileWriter, FailuresBeforeAnyRecordLeaveNothingBehind) {
    QTemporaryDir dir;
    const QString x = dir.filePath(u"x.shp"_s);
    W w;
    w.OpenShapefile(x, Mode::Create, W::Point);
    EXPECT_THROW(w.AddField(u"Bad"_s, 99, 10), ShapefileError);
    w.OpenShapefile(x, Mode::Create, W::Point);
    w.AddField(u"A"_s, W::Text, 5);
    EXPECT_THROW(w.SetFieldValue(u"A"_s, u"v"_s), ShapefileError);  // before commit
    create(w, x, {{"D", W::Date}});
    w.SetFieldValue(u"D"_s, u"13/45/2026"_s);
    w.AddVertex(0, 0);
    EXPECT_THROW(w.WriteShape(), ShapefileError);
    // Every failure drops its work the same way (the writer's fail()); what the last one left would show here.
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(u' ').toStdString();
}

// A value of either kind goes into a text or a number field of any type; lines, polygons (their rings closed) and
// multipoints keep their vertices in order. (Field names cut to ten characters and kept unique, each value set by
// the name asked for: BatchRunTest's shapefiles, written by this writer. Each shape type as GDAL reads it, holes:
// KmlWindowTest::drawingsAreWrittenAsDrawn.)
TEST_F(ShapefileSet, EitherKindOfValueGoesIntoAnyFieldAndVerticesKeepTheirOrder) {
    writeSet(shp, [](W& w) {
        w.SetFieldValue(u"Note"_s, 75.0);         // a number into text
        w.SetFieldValue(u"Count"_s, u"12abc"_s);  // text into a number
        w.SetFieldValue(u"Big"_s, 2.5);           // half to even
        w.SetFieldValue(u"Flag"_s, 1.0);
        w.AddVertex(-84.25, 30.5);
        w.WriteShape();
    }, {{"Note", W::Text, 10}, {"Count", W::Integer}, {"Big", W::Long}, {"Flag", W::Boolean}, {"Ratio", W::Single}});
    const auto set = readShapefile(shp);
    ASSERT_EQ(set.records.size(), 1u);
    const auto& values = set.records[0].values;
    EXPECT_EQ(values.value("Note"), u"75"_s);
    EXPECT_EQ(values.value("Count").toDouble(), 12);
    EXPECT_EQ(values.value("Big").toDouble(), 2);

    const Vertices square{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    for (const W::ShapeType type : {W::PolyLine, W::Polygon, W::MultiPoint}) {
        const QString path = dir.filePath(u"shape%1.shp"_s.arg(type));
        writeSet(path, [&](W& w) {
            w.SetFieldValue(u"Id"_s, 1.0);
            for (const auto& [x, y] : square) w.AddVertex(x, y);
            w.WriteShape();
        }, {{"Id", W::Integer}}, type);
        const auto shape = readShapefile(path);
        ASSERT_EQ(shape.records.size(), 1u);
        Vertices expected = square;
        if (type == W::Polygon) expected.push_back(square.front());  // its ring closed
        EXPECT_EQ(shape.records[0].vertices, expected) << type;
    }
}

// A feature's field table: the record file takes the fields with a record name, the shapefile those with a
// shapefile name (with their widths and decimals), each in the table's order; a short row is refused. (A record's
// values, and a point appended: FeatureWindowsTest and KitTest.)
TEST(FeatureFields, EachOutputTakesItsOwnFields) {
    const FieldTable table{{"Note", {}, W::Text, 10}, {{}, "Acres", W::Double, 12, 2}, {"Name", "Name", W::Text, 20}};
    EXPECT_EQ(recordHeader(table), QStringList({"Note", "Name"}));
    EXPECT_THROW(recordValues(table, {u"too short"_s}), std::invalid_argument);

    QTemporaryDir dir;
    const QString shp = dir.filePath(u"p.shp"_s);
    writePointShape(shp, Mode::Create, table, {u"n"_s, 12.345, u"A"_s}, 1, 2);
    const auto content = readShapefile(shp);
    EXPECT_EQ(content.schema, QStringList({"Acres:double:0", "Name:text:20"}));
    ASSERT_EQ(content.records.size(), 1u);
    EXPECT_EQ(content.records[0].values.value("Acres"), u"12.35"_s);
}

// The shipped projection texts, read by GDAL, hold the grid the engine computes and geographic WGS 84. Beside a
// shapefile, its final .shp (any case) becomes .prj, a name without it gets .prj added. (A plain .shp, and a missing
// source file named with nothing written: KitTest.)
TEST(ProjectionFiles, TextsDescribeTheGridsTheProgramComputesAndLieBesideTheShapefile) {
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
    for (const auto& [shapefile, projection] :
         {std::pair{u"/a.shp.d/x.SHP"_s, u"/a.shp.d/x.prj"_s}, {u"/a/x"_s, u"/a/x.prj"_s}})
        EXPECT_EQ(projectionPathFor(shapefile), projection);
}

// Numbers are written in the general decimal form (NumbersTest) without a leading zero below one. A new file, then an
// append: the fields and values (a quoted quote and comma, a number below one) come back through GDAL's CSV reader.
// An append goes only into a file that starts with this window's header (or one of its records); a missing folder
// fails. (The exact lines, strings quoted and numbers bare, a missing file made without a header, a failed new file
// named: KitTest.)
TEST(RecordFiles, RecordsReadBackByACsvReaderAndAppendOnlyToTheirOwnFile) {
    const std::pair<double, const char*> cases[] = {{0.5, ".5"}, {-0.25, "-.25"}, {0, "0"}, {-84.25, "-84.25"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(recordNumber(value), QString::fromLatin1(text)) << value;

    QTemporaryDir dir;
    const QString path = dir.filePath(u"pfsites.txt"_s), csvPath = dir.filePath(u"pfsites.csv"_s);
    ASSERT_TRUE(createRecordFile(path, kHeader, helibase()));
    auto second = helibase();
    second[0] = u"Camp \"North\", Ça"_s;
    second[2] = 0.5;
    ASSERT_TRUE(appendRecord(path, kHeader, second));

    ASSERT_TRUE(QFile::copy(path, csvPath));
    const auto csv = test::readShapefile(csvPath);
    ASSERT_EQ(csv.records.size(), 2u);
    EXPECT_EQ(csv.records[1].values.value("Name"), u"Camp \"North\", Ça"_s);
    EXPECT_DOUBLE_EQ(csv.records[1].values.value("Latitude").toDouble(), 0.5);

    const QString gone = dir.filePath(u"gone/pfx.txt"_s);
    // Another file's line, and the start of the header without its line's end.
    for (const QByteArray& content :
         {headerLine({u"Name"_s, u"Date"_s}) + "\"x\",1\r\n", headerLine(kHeader).left(20)}) {
        ASSERT_TRUE(test::writeFile(path, content));
        const WriteResult appended = appendRecord(path, kHeader, helibase());
        EXPECT_FALSE(appended);
        EXPECT_TRUE(appended.message().contains(u"nothing was appended"_s));
        EXPECT_EQ(readAll(path), content);
    }
    EXPECT_FALSE(appendRecord(gone, kHeader, helibase()));
    EXPECT_FALSE(QFile::exists(gone));
}

// An output's name: the prefix in front of the chosen file name, and the
// format's own extension added where the name has none or another would mislead.
// (A name that has the format's own extension: KitTest.)
TEST(OutputPaths, PrefixAndDefaultExtension) {
    const std::tuple<const char*, const char*, const char*> prefixed[] = {
        {"/data/pfsites.txt", "pf", "/data/pfpfsites.txt"}, {"sites.shp", "pw", "pwsites.shp"},
        {"/sites.txt", "ph", "/phsites.txt"}};
    for (const auto& [chosen, prefix, written] : prefixed)
        EXPECT_EQ(prefixedPath(QString::fromLatin1(chosen), QString::fromLatin1(prefix)), QString::fromLatin1(written));
    const std::tuple<const char*, const char*, const char*> extended[] = {
        {"St. Marks", "txt", "St. Marks.txt"}, {"sites.csv", "txt", "sites.csv"}, {"roads.SHP", "txt", "roads.SHP.txt"},
        {"camps.txt", "shp", "camps.txt.shp"}, {"camps.kmz", "kml", "camps.kmz"}};
    for (const auto& [chosen, extension, written] : extended)
        EXPECT_EQ(withDefaultExtension(QString::fromLatin1(chosen), QString::fromLatin1(extension)),
                  QString::fromLatin1(written));
}
