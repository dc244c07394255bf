#include "output/ShapefileWriter.h"
#include "support/FileSizeLimit.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace waypost;
using waypost::test::readAll;
using waypost::test::readShapefile;

namespace {

using Vertices = std::vector<std::pair<double, double>>;

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

/// Files and folders, hidden ones too: a work folder left behind shows.
QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

/// The Name of every record of a set, in order.
QStringList namesIn(const QString& shp) {
    QStringList names;
    for (const auto& record : readShapefile(shp).records) names << record.values.value(QStringLiteral("Name"));
    return names;
}

/// Width and decimals of field \p i as the dBase header holds them.
std::pair<int, int> dbfSize(const QByteArray& dbf, int i) {
    const int at = 48 + 32 * i;
    return dbf.size() > at + 1 ? std::pair(int(uchar(dbf[at])), int(uchar(dbf[at + 1]))) : std::pair(-1, -1);
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

    const auto set = readShapefile(shp);
    EXPECT_EQ(set.type, wkbPoint);
    EXPECT_EQ(set.schema, QStringList({"Name:text:45", "Type:text:45", "Lat:double:0", "Long:double:0",
                                       "AlbersX:double:0", "AlbersY:double:0", "UTM:text:30", "Acres:double:0",
                                       "StartDate:date:0"}));
    const QByteArray dbf = readAll(dir.filePath(QStringLiteral("pfcamps.dbf")));
    const std::pair<int, int> sizes[] = {{45, 0},  {45, 0},  {24, 15}, {24, 15}, {24, 15},
                                         {24, 15}, {30, 0},  {12, 2},  {8, 0}};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(dbfSize(dbf, i), sizes[i]) << set.schema.value(i).toStdString();
    EXPECT_EQ(dbf.mid(32 + 32 * 8 + 11, 1), QByteArray("D"));  // a real dBase date field
    ASSERT_EQ(set.records.size(), 2u);
    const auto& first = set.records[0].values;
    const auto& second = set.records[1].values;
    EXPECT_EQ(first.value("Name"), QStringLiteral("Helibase 2"));
    EXPECT_EQ(second.value("Name"), QStringLiteral("Camp Ça"));
    EXPECT_EQ(set.records[0].vertices, (Vertices{{376025, 721400}}));
    EXPECT_EQ(set.records[1].vertices, (Vertices{{376100.5, 721500.25}}));
    EXPECT_DOUBLE_EQ(first.value("Long").toDouble(), -84.25);
    EXPECT_DOUBLE_EQ(first.value("Acres").toDouble(), 12.35);  // two decimals
    EXPECT_EQ(first.value("StartDate"), QStringLiteral("2026/09/14"));
    EXPECT_EQ(second.value("Acres"), QString());  // values do not carry over
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
    EXPECT_EQ(readShapefile(shp).schema.size(), 9);
    EXPECT_EQ(namesIn(shp), QStringList({"One", "Two", "Çamp Trois"}));  // appended text stays UTF-8
    EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral(".waypost")).isEmpty());
}

TEST(ShapefileWriter, CreatingReplacesAnOldSetOnlyWhenComplete) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
    writeOneRecordSet(shp, QStringLiteral("Old"), 1, 2);
    ASSERT_TRUE(test::writeFile(dir.filePath(QStringLiteral("pfcamps.qix")), "stale index"));
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
    EXPECT_EQ(namesIn(shp), QStringList{QStringLiteral("New")});
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
    const auto set = readShapefile(shp);
    ASSERT_EQ(set.records.size(), 1u);
    const auto& values = set.records[0].values;
    EXPECT_EQ(values.value("Percent_Co"), QStringLiteral("50"));
    EXPECT_EQ(values.value("Percent__1"), QStringLiteral("75"));
    EXPECT_EQ(values.value("Count").toDouble(), 12);
    EXPECT_EQ(values.value("Big").toDouble(), 2);
    EXPECT_DOUBLE_EQ(values.value("Amount").toDouble(), 1.235);
    const QByteArray dbf = readAll(dir.filePath(QStringLiteral("t.dbf")));
    EXPECT_EQ(dbfSize(dbf, 2), std::pair(6, 0));   // Count
    EXPECT_EQ(dbfSize(dbf, 3), std::pair(11, 0));  // Big
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
        GDALDatasetUniquePtr ds(GDALDataset::Open(shp.toUtf8().constData(), GDAL_OF_VECTOR));
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

// A disk that fills up, while appending or while writing a new set, leaves the set as it was.
TEST(ShapefileWriter, RunningOutOfSpaceLeavesTheSetAsItWas) {
    for (const auto mode : {ShapefileWriter::OpenMode::Append, ShapefileWriter::OpenMode::Create}) {
        QTemporaryDir dir;
        const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
        writeOneRecordSet(shp, QStringLiteral("One"), 1, 2);
        const QByteArray before = setDigest(shp);
        bool failed = false;
        {
            const waypost::testing::FileSizeLimit limit(
                static_cast<rlim_t>(QFileInfo(dir.filePath(QStringLiteral("pfcamps.dbf"))).size()) + 600);
            try {
                ShapefileWriter w;
                if (mode == ShapefileWriter::OpenMode::Append) w.OpenShapefile(shp, mode);
                else createFacilityTable(w, shp);
                for (int i = 0; i < 200; ++i) writeFacility(w, QStringLiteral("Record %1").arg(i), i, i);
                w.CloseShapefile();
            } catch (const ShapefileError& e) {
                failed = true;
                EXPECT_NE(std::string(e.what()).find("pfcamps.shp"), std::string::npos) << e.what();
            }
        }
        EXPECT_TRUE(failed) << "running out of space must be reported";
        EXPECT_EQ(setDigest(shp), before);
        EXPECT_EQ(namesIn(shp), QStringList{QStringLiteral("One")});
        EXPECT_TRUE(filesIn(dir.path()).filter(QStringLiteral(".waypost")).isEmpty());
    }
}

// A text longer than its field keeps the field's width in bytes, on a new set
// and on an append: the value is cut at a whole character and reported.
TEST(ShapefileWriter, TextFieldsKeepTheirWidthsAndLongValuesAreCut) {
    const QString a60(60, u'A'), e46(46, QChar(0x00E9)), a45(45, u'A'), e22(22, QChar(0x00E9));
    struct Case {
        const char* name;
        bool append;
        QString value;
        QString stored;
        bool shortened;
    };
    const Case cases[] = {
        {"too long, new", false, a60, a45, true},
        {"accented, new", false, e46, e22, true},  // 92 bytes; 22 two-byte characters fit in 45
        {"too long, appended", true, a60, a45, true},
        {"accented, appended", true, e46, e22, true},
        {"exactly 45", false, a45, a45, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString shp = dir.filePath(QStringLiteral("pfcamps.shp"));
        const QString dbfPath = dir.filePath(QStringLiteral("pfcamps.dbf"));
        if (c.append) writeOneRecordSet(shp, QStringLiteral("First"), 1, 2);
        const QByteArray headerBefore = readAll(dbfPath).mid(32, 32 * 9);
        ShapefileWriter w;
        if (c.append) w.OpenShapefile(shp, ShapefileWriter::OpenMode::Append);
        else createFacilityTable(w, shp);
        writeFacility(w, c.value, 3, 4);
        const auto shortened = w.shortened();
        w.CloseShapefile();

        const auto set = readShapefile(shp);
        EXPECT_EQ(set.schema.value(0), QStringLiteral("Name:text:45"));
        EXPECT_EQ(namesIn(shp).last(), c.stored);
        if (c.append) {
            EXPECT_EQ(readAll(dbfPath).mid(32, 32 * 9), headerBefore);  // field definitions untouched
        }
        using Cut = std::vector<ShapefileWriter::Shortened>;
        const Cut expected = c.shortened ? Cut{{QStringLiteral("Name"), 45, c.stored}} : Cut{};
        EXPECT_EQ(shortened, expected);
    }
}
