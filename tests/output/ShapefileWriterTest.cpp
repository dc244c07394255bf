#include "output/ShapefileWriter.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"


using namespace waypost;
using waypost::test::readAll;

namespace {

GDALDatasetUniquePtr openShapefile(const QString& path) {
    const char* drivers[] = {"ESRI Shapefile", nullptr};
    return GDALDatasetUniquePtr(
        GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
}

QByteArray setDigest(const QString& shp) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* ext : {"shp", "shx", "dbf", "cpg"}) hash.addData(readAll(shp.left(shp.size() - 3) + ext));
    return hash.result();
}

/// The facilities window's point table, one record.
void writeFacility(ShapefileWriter& w, const QString& name, double x, double y) {
    w.SetFieldValue(QStringLiteral("Name"), name);
    w.SetFieldValue(QStringLiteral("Type"), QStringLiteral("Helibase"));
    w.SetFieldValue(QStringLiteral("Lat"), 30.5);
    w.SetFieldValue(QStringLiteral("Long"), -84.25);
    w.SetFieldValue(QStringLiteral("AlbersX"), x);
    w.SetFieldValue(QStringLiteral("AlbersY"), y);
    w.SetFieldValue(QStringLiteral("UTM"), QStringLiteral("16R 761158 3370495"));
    w.AddVertex(x, y);
    w.WriteShape();
}

void createFacilityTable(ShapefileWriter& w, const QString& path) {
    w.OpenShapefile(path, ShapefileWriter::OpenMode::Create, ShapefileWriter::Point);
    w.AddField(QStringLiteral("Name"), ShapefileWriter::Text, 45);
    w.AddField(QStringLiteral("Type"), ShapefileWriter::Text, 45);
    w.AddField(QStringLiteral("Lat"), ShapefileWriter::Double);
    w.AddField(QStringLiteral("Long"), ShapefileWriter::Double);
    w.AddField(QStringLiteral("AlbersX"), ShapefileWriter::Double);
    w.AddField(QStringLiteral("AlbersY"), ShapefileWriter::Double);
    w.AddField(QStringLiteral("UTM"), ShapefileWriter::Text, 30);
    w.AddField(QStringLiteral("Acres"), ShapefileWriter::Double, 12, 2);
    w.AddField(QStringLiteral("StartDate"), ShapefileWriter::Date, 8);
    w.CommitFields();
}

/// A complete new set holding one facility.
void writeOneRecordSet(const QString& shp, const QString& name, double x, double y) {
    ShapefileWriter w;
    createFacilityTable(w, shp);
    writeFacility(w, name, x, y);
    w.CloseShapefile();
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(ShapefileWriter, NewPointFileReadsBackWithFieldsValuesAndOrder) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    {
        ShapefileWriter w;
        createFacilityTable(w, shp);
        w.SetFieldValue(QStringLiteral("Acres"), 12.345);
        w.SetFieldValue(QStringLiteral("StartDate"), QStringLiteral("9/14/2026"));
        writeFacility(w, QStringLiteral("Helibase 2"), 376025, 721400);
        writeFacility(w, QStringLiteral("Camp Ça"), 376100.5, 721500.25);
        w.CloseShapefile();
    }
    EXPECT_EQ(filesIn(dir.path()), QStringList({"pfcamps.cpg", "pfcamps.dbf", "pfcamps.shp", "pfcamps.shx"}));
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("pfcamps.cpg"))).trimmed(), QByteArray("UTF-8"));

    auto ds = openShapefile(shp);
    ASSERT_TRUE(ds);
    OGRLayer* layer = ds->GetLayer(0);
    EXPECT_EQ(wkbFlatten(layer->GetGeomType()), wkbPoint);
    const OGRFeatureDefn* defn = layer->GetLayerDefn();
    ASSERT_EQ(defn->GetFieldCount(), 9);
    const struct {
        const char* name;
        OGRFieldType type;
        int width;
        int precision;
    } fields[] = {{"Name", OFTString, 45, 0},   {"Type", OFTString, 45, 0}, {"Lat", OFTReal, 24, 15},
                  {"Long", OFTReal, 24, 15},    {"AlbersX", OFTReal, 24, 15}, {"AlbersY", OFTReal, 24, 15},
                  {"UTM", OFTString, 30, 0},    {"Acres", OFTReal, 12, 2},  {"StartDate", OFTDate, 8, 0}};
    const QByteArray dbf = readAll(dir.filePath(QStringLiteral("pfcamps.dbf")));
    for (int i = 0; i < 9; ++i) {
        const OGRFieldDefn* f = defn->GetFieldDefn(i);
        EXPECT_STREQ(f->GetNameRef(), fields[i].name);
        EXPECT_EQ(f->GetType(), fields[i].type) << fields[i].name;
        // Width and decimals as the dBase header holds them.
        const int descriptor = 32 + 32 * i;
        ASSERT_GT(dbf.size(), descriptor + 18);
        EXPECT_EQ(static_cast<unsigned char>(dbf[descriptor + 16]), fields[i].width) << fields[i].name;
        EXPECT_EQ(static_cast<unsigned char>(dbf[descriptor + 17]), fields[i].precision) << fields[i].name;
    }
    EXPECT_EQ(dbf[32 + 32 * 8 + 11], 'D');  // a real dBase date field
    ASSERT_EQ(layer->GetFeatureCount(), 2);
    OGRFeatureUniquePtr first(layer->GetNextFeature());
    OGRFeatureUniquePtr second(layer->GetNextFeature());
    EXPECT_STREQ(first->GetFieldAsString("Name"), "Helibase 2");
    EXPECT_STREQ(second->GetFieldAsString("Name"), "Camp Ça");
    const auto* p1 = first->GetGeometryRef()->toPoint();
    EXPECT_DOUBLE_EQ(p1->getX(), 376025);
    EXPECT_DOUBLE_EQ(p1->getY(), 721400);
    EXPECT_DOUBLE_EQ(second->GetGeometryRef()->toPoint()->getX(), 376100.5);
    EXPECT_DOUBLE_EQ(first->GetFieldAsDouble("Long"), -84.25);
    EXPECT_DOUBLE_EQ(first->GetFieldAsDouble("Acres"), 12.35);  // two decimals
    int y = 0, m = 0, d = 0, h = 0, mi = 0, tz = 0;
    float s = 0;
    ASSERT_TRUE(first->GetFieldAsDateTime(first->GetFieldIndex("StartDate"), &y, &m, &d, &h, &mi, &s, &tz));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20260914);
    EXPECT_FALSE(second->IsFieldSetAndNotNull(second->GetFieldIndex("Acres")));  // values do not carry over
}

TEST(ShapefileWriter, AppendKeepsRecordsAndFields) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    writeOneRecordSet(shp, QStringLiteral("One"), 1, 2);
    {
        ShapefileWriter w;
        w.OpenShapefile(shp, ShapefileWriter::OpenMode::Append);
        writeFacility(w, QStringLiteral("Two"), 3, 4);
        writeFacility(w, QStringLiteral("Çamp Trois"), 5, 6);
        w.CloseShapefile();
    }
    auto ds = openShapefile(shp);
    OGRLayer* layer = ds->GetLayer(0);
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldCount(), 9);
    ASSERT_EQ(layer->GetFeatureCount(), 3);
    QStringList names;
    for (auto& f : *layer) names << QString::fromUtf8(f->GetFieldAsString("Name"));
    EXPECT_EQ(names, QStringList({"One", "Two", "Çamp Trois"}));  // appended text stays UTF-8
    EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral(".waypost")).isEmpty());
}

TEST(ShapefileWriter, CreatingReplacesAnOldSetOnlyWhenComplete) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    writeOneRecordSet(shp, QStringLiteral("Old"), 1, 2);
    QFile stale(dir.filePath(QStringLiteral("pfcamps.qix")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    const QByteArray before = setDigest(shp);
    {
        // A new set that fails half-way leaves the old one as it was.
        ShapefileWriter w;
        createFacilityTable(w, shp);
        writeFacility(w, QStringLiteral("New"), 1, 2);
        w.AddVertex(1, 2);
        w.AddVertex(3, 4);
        EXPECT_THROW(w.WriteShape(), ShapefileError);  // a point takes one vertex
    }
    EXPECT_EQ(setDigest(shp), before);
    {
        // One dropped without closing is discarded too.
        ShapefileWriter w;
        createFacilityTable(w, shp);
        writeFacility(w, QStringLiteral("Dropped"), 1, 2);
    }
    EXPECT_EQ(setDigest(shp), before);
    writeOneRecordSet(shp, QStringLiteral("New"), 7, 8);
    auto ds = openShapefile(shp);
    ASSERT_EQ(ds->GetLayer(0)->GetFeatureCount(), 1);
    EXPECT_STREQ(OGRFeatureUniquePtr(ds->GetLayer(0)->GetNextFeature())->GetFieldAsString("Name"), "New");
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("pfcamps.qix"))));  // stale index removed
    EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral(".waypost")).isEmpty());
}

TEST(ShapefileWriter, AFailedAppendKeepsTheEarlierRecordsByteForByte) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    writeOneRecordSet(shp, QStringLiteral("One"), 1, 2);
    const QByteArray before = setDigest(shp);
    ShapefileWriter w;
    w.OpenShapefile(shp, ShapefileWriter::OpenMode::Append);
    writeFacility(w, QStringLiteral("Two"), 3, 4);
    try {
        w.SetFieldValue(QStringLiteral("NoSuchField"), 1.0);
        FAIL() << "an unknown field must fail";
    } catch (const ShapefileError& e) {
        EXPECT_NE(std::string(e.what()).find("NoSuchField"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("pfcamps.shp"), std::string::npos);
    }
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(setDigest(shp), before);
    EXPECT_THROW(w.WriteShape(), ShapefileError);  // nothing open any more
}

TEST(ShapefileWriter, FailuresBeforeAnyRecordLeaveNothingBehind) {
    QTemporaryDir dir;
    ShapefileWriter w;
    EXPECT_THROW(w.OpenShapefile(dir.filePath(QStringLiteral("no/such/x.shp")), ShapefileWriter::OpenMode::Create, ShapefileWriter::Point), ShapefileError);
    EXPECT_THROW(w.OpenShapefile(dir.filePath(QStringLiteral("missing.shp")), ShapefileWriter::OpenMode::Append), ShapefileError);
    w.OpenShapefile(dir.filePath(QStringLiteral("x.shp")), ShapefileWriter::OpenMode::Create, ShapefileWriter::Point);
    EXPECT_THROW(w.AddField(QStringLiteral("Bad"), 99, 10), ShapefileError);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(u' ').toStdString();
    w.OpenShapefile(dir.filePath(QStringLiteral("x.shp")), ShapefileWriter::OpenMode::Create, ShapefileWriter::Point);
    w.AddField(QStringLiteral("A"), ShapefileWriter::Text, 5);
    EXPECT_THROW(w.SetFieldValue(QStringLiteral("A"), QStringLiteral("v")), ShapefileError);  // before commit
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
    w.OpenShapefile(dir.filePath(QStringLiteral("x.shp")), ShapefileWriter::OpenMode::Create, ShapefileWriter::Point);
    w.AddField(QStringLiteral("D"), ShapefileWriter::Date);
    w.CommitFields();
    w.SetFieldValue(QStringLiteral("D"), QStringLiteral("13/45/2026"));
    w.AddVertex(0, 0);
    EXPECT_THROW(w.WriteShape(), ShapefileError);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(ShapefileWriter, LongNamesAreCutToTenCharactersAndKeptUnique) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("t.shp"));
    {
        ShapefileWriter w;
        w.OpenShapefile(shp, ShapefileWriter::OpenMode::Create, ShapefileWriter::Point);
        w.AddField(QStringLiteral("Percent Contained"), ShapefileWriter::Text, 10);
        w.AddField(QStringLiteral("Percent_Containment"), ShapefileWriter::Text, 10);
        w.AddField(QStringLiteral("Count"), ShapefileWriter::Integer);
        w.AddField(QStringLiteral("Big"), ShapefileWriter::Long);
        w.AddField(QStringLiteral("Flag"), ShapefileWriter::Boolean);
        w.AddField(QStringLiteral("Ratio"), ShapefileWriter::Single);
        w.AddField(QStringLiteral("Amount"), ShapefileWriter::Decimal, 10, 3);
        w.CommitFields();
        EXPECT_EQ(w.fieldNameFor(QStringLiteral("Percent Contained")), QStringLiteral("Percent_Co"));
        EXPECT_EQ(w.fieldNameFor(QStringLiteral("Percent_Containment")), QStringLiteral("Percent__1"));
        w.SetFieldValue(QStringLiteral("Percent Contained"), QStringLiteral("50"));
        w.SetFieldValue(QStringLiteral("Percent_Containment"), 75.0);  // a number into text
        w.SetFieldValue(QStringLiteral("Count"), QStringLiteral("12abc"));  // text into a number
        w.SetFieldValue(QStringLiteral("Big"), 2.5);                         // half to even
        w.SetFieldValue(QStringLiteral("Flag"), 1.0);
        w.SetFieldValue(QStringLiteral("Amount"), 1.2345);
        w.AddVertex(-84.25, 30.5);
        w.WriteShape();
        w.CloseShapefile();
    }
    auto ds = openShapefile(shp);
    OGRLayer* layer = ds->GetLayer(0);
    OGRFeatureUniquePtr f(layer->GetNextFeature());
    EXPECT_STREQ(f->GetFieldAsString("Percent_Co"), "50");
    EXPECT_STREQ(f->GetFieldAsString("Percent__1"), "75");
    EXPECT_EQ(f->GetFieldAsInteger("Count"), 12);
    EXPECT_EQ(f->GetFieldAsInteger("Big"), 2);
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldDefn(layer->GetLayerDefn()->GetFieldIndex("Count"))->GetWidth(), 6);
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldDefn(layer->GetLayerDefn()->GetFieldIndex("Big"))->GetWidth(), 11);
    EXPECT_DOUBLE_EQ(f->GetFieldAsDouble("Amount"), 1.235);
}

TEST(ShapefileWriter, LinesPolygonsAndMultipointsKeepVertexOrder) {
    QTemporaryDir dir;
    const struct {
        ShapefileWriter::ShapeType type;
        OGRwkbGeometryType expected;
    } kinds[] = {{ShapefileWriter::PolyLine, wkbLineString},
                 {ShapefileWriter::Polygon, wkbPolygon},
                 {ShapefileWriter::MultiPoint, wkbMultiPoint}};
    for (const auto& kind : kinds) {
        const QString shp = dir.filePath(QStringLiteral("shape%1.shp").arg(kind.type));
        {
            ShapefileWriter w;
            w.OpenShapefile(shp, ShapefileWriter::OpenMode::Create, kind.type);
            w.AddField(QStringLiteral("Id"), ShapefileWriter::Integer);
            w.CommitFields();
            w.SetFieldValue(QStringLiteral("Id"), 1.0);
            for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.0, 10.0}, {10.0, 10.0}, {10.0, 0.0}}) w.AddVertex(x, y);
            w.WriteShape();
            w.CloseShapefile();
        }
        auto ds = openShapefile(shp);
        ASSERT_TRUE(ds);
        OGRFeatureUniquePtr f(ds->GetLayer(0)->GetNextFeature());
        const OGRGeometry* g = f->GetGeometryRef();
        EXPECT_EQ(wkbFlatten(g->getGeometryType()), kind.expected);
        if (kind.expected == wkbLineString) {
            const auto* line = g->toLineString();
            ASSERT_EQ(line->getNumPoints(), 4);
            EXPECT_DOUBLE_EQ(line->getY(1), 10.0);
            EXPECT_DOUBLE_EQ(line->getX(3), 10.0);
        } else if (kind.expected == wkbPolygon) {
            const auto* ring = g->toPolygon()->getExteriorRing();
            EXPECT_EQ(ring->getNumPoints(), 5);  // closed
            EXPECT_DOUBLE_EQ(g->toPolygon()->get_Area(), 100.0);
        } else {
            EXPECT_EQ(g->toMultiPoint()->getNumGeometries(), 4);
        }
    }
}

TEST(ShapefileWriter, AnAppendThatRunsOutOfSpaceKeepsTheEarlierRecords) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    writeOneRecordSet(shp, QStringLiteral("One"), 1, 2);
    const QByteArray before = setDigest(shp);
    bool failed = false;
    {
        const waypost::testing::FileSizeLimit limit(static_cast<rlim_t>(QFileInfo(dir.filePath(QStringLiteral("pfcamps.dbf"))).size()) + 600);
        try {
            ShapefileWriter w;
            w.OpenShapefile(shp, ShapefileWriter::OpenMode::Append);
            for (int i = 0; i < 200; ++i) writeFacility(w, QStringLiteral("Record %1").arg(i), i, i);
            w.CloseShapefile();
        } catch (const ShapefileError& e) {
            failed = true;
            EXPECT_NE(std::string(e.what()).find("pfcamps.shp"), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(failed) << "running out of space must be reported";
    EXPECT_EQ(setDigest(shp), before);
    auto ds = openShapefile(shp);
    ASSERT_TRUE(ds);
    EXPECT_EQ(ds->GetLayer(0)->GetFeatureCount(), 1);
}

TEST(ShapefileWriter, ANewSetThatRunsOutOfSpaceLeavesTheOldOne) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    writeOneRecordSet(shp, QStringLiteral("Old"), 1, 2);
    const QByteArray before = setDigest(shp);
    bool failed = false;
    {
        const waypost::testing::FileSizeLimit limit(2000);
        try {
            ShapefileWriter w;
            createFacilityTable(w, shp);
            for (int i = 0; i < 200; ++i) writeFacility(w, QStringLiteral("Record %1").arg(i), i, i);
            w.CloseShapefile();
        } catch (const ShapefileError&) {
            failed = true;
        }
    }
    EXPECT_TRUE(failed) << "running out of space must be reported";
    EXPECT_EQ(setDigest(shp), before);
    EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral(".waypost")).isEmpty());
}
