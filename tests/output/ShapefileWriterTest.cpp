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
using namespace Qt::StringLiterals;
using waypost::test::readAll;
using waypost::test::readShapefile;

namespace {

using Vertices = std::vector<std::pair<double, double>>;
using Mode = ShapefileWriter::OpenMode;
using W = ShapefileWriter;

QByteArray setDigest(const QString& shp) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* ext : {"shp", "shx", "dbf", "cpg"}) hash.addData(readAll(shp.left(shp.size() - 3) + ext));
    return hash.result();
}

/// The facilities window's point table, one record.
void writeFacility(ShapefileWriter& w, const QString& name, double x, double y) {
    for (const auto& [field, text] :
         {std::pair{u"Name"_s, name}, {u"Type"_s, u"Helibase"_s}, {u"UTM"_s, u"16R 761158 3370495"_s}})
        w.SetFieldValue(field, text);
    for (const auto& [field, number] :
         {std::pair{u"Lat"_s, 30.5}, {u"Long"_s, -84.25}, {u"AlbersX"_s, x}, {u"AlbersY"_s, y}})
        w.SetFieldValue(field, number);
    w.AddVertex(x, y);
    w.WriteShape();
}

void createFacilityTable(ShapefileWriter& w, const QString& path) {
    w.OpenShapefile(path, Mode::Create, W::Point);
    for (const auto& [name, type, size, decimals] :
         {std::tuple{"Name", W::Text, 45, 0}, {"Type", W::Text, 45, 0}, {"Lat", W::Double, 0, 0},
          {"Long", W::Double, 0, 0}, {"AlbersX", W::Double, 0, 0}, {"AlbersY", W::Double, 0, 0},
          {"UTM", W::Text, 30, 0}, {"Acres", W::Double, 12, 2}, {"StartDate", W::Date, 8, 0}})
        w.AddField(QString::fromLatin1(name), type, size, decimals);
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
    for (const auto& record : readShapefile(shp).records) names << record.values.value(u"Name"_s);
    return names;
}

/// Width and decimals of field \p i as the dBase header holds them.
std::pair<int, int> dbfSize(const QByteArray& dbf, int i) {
    const int at = 48 + 32 * i;
    return dbf.size() > at + 1 ? std::pair(int(uchar(dbf[at])), int(uchar(dbf[at + 1]))) : std::pair(-1, -1);
}

/// What the ShapefileError thrown by \p f says; empty when nothing is thrown.
template <class F>
std::string thrown(F&& f) {
    try {
        f();
    } catch (const ShapefileError& e) {
        return e.what();
    }
    return {};
}

/// A folder holding a complete set of one facility, "One", in pfcamps.shp.
class ShapefileSet : public ::testing::Test {
protected:
    void SetUp() override {
        writeOneRecordSet(shp, u"One"_s, 1, 2);
        before = setDigest(shp);
    }
    bool workLeft() const { return !filesIn(dir.path()).filter(u".waypost"_s).isEmpty(); }
    QTemporaryDir dir;
    const QString shp = dir.filePath(u"pfcamps.shp"_s);
    QByteArray before;
};

}  // namespace

TEST_F(ShapefileSet, ANewPointFileReplacesItAndReadsBackWithFieldsValuesAndOrder) {
    {
        ShapefileWriter w;
        createFacilityTable(w, shp);
        w.SetFieldValue(u"Acres"_s, 12.345);
        w.SetFieldValue(u"StartDate"_s, u"9/14/2026"_s);
        writeFacility(w, u"Helibase 2"_s, 376025, 721400);
        writeFacility(w, u"Camp Ça"_s, 376100.5, 721500.25);
        w.CloseShapefile();
    }
    EXPECT_EQ(filesIn(dir.path()), QStringList({"pfcamps.cpg", "pfcamps.dbf", "pfcamps.shp", "pfcamps.shx"}));
    EXPECT_EQ(readAll(dir.filePath(u"pfcamps.cpg"_s)).trimmed(), "UTF-8"_ba);

    const auto set = readShapefile(shp);
    EXPECT_EQ(set.type, wkbPoint);
    EXPECT_EQ(set.schema, QStringList({"Name:text:45", "Type:text:45", "Lat:double:0", "Long:double:0",
                                       "AlbersX:double:0", "AlbersY:double:0", "UTM:text:30", "Acres:double:0",
                                       "StartDate:date:0"}));
    const QByteArray dbf = readAll(dir.filePath(u"pfcamps.dbf"_s));
    const std::pair<int, int> sizes[] = {{45, 0},  {45, 0}, {24, 15}, {24, 15}, {24, 15},
                                         {24, 15}, {30, 0}, {12, 2},  {8, 0}};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(dbfSize(dbf, i), sizes[i]) << set.schema.value(i).toStdString();
    ASSERT_EQ(set.records.size(), 2u);
    const auto& first = set.records[0].values;
    EXPECT_EQ(first.value("Name"), u"Helibase 2"_s);
    EXPECT_EQ(set.records[1].values.value("Name"), u"Camp Ça"_s);
    EXPECT_EQ(set.records[0].vertices, (Vertices{{376025, 721400}}));
    EXPECT_EQ(set.records[1].vertices, (Vertices{{376100.5, 721500.25}}));
    EXPECT_DOUBLE_EQ(first.value("Long").toDouble(), -84.25);
    EXPECT_DOUBLE_EQ(first.value("Acres").toDouble(), 12.35);  // two decimals
    EXPECT_EQ(first.value("StartDate"), u"2026/09/14"_s);
    EXPECT_EQ(set.records[1].values.value("Acres"), QString());  // values do not carry over
}

// A new set that fails half-way or is dropped without closing, or an append
// that fails, leaves the old set byte for byte as it was.
TEST_F(ShapefileSet, AFailedOrDroppedWriteKeepsTheOldSet) {
    ASSERT_TRUE(test::writeFile(dir.filePath(u"pfcamps.qix"_s), "stale index"));
    {
        ShapefileWriter w;
        createFacilityTable(w, shp);
        writeFacility(w, u"New"_s, 1, 2);
        w.AddVertex(1, 2);
        w.AddVertex(3, 4);
        EXPECT_THROW(w.WriteShape(), ShapefileError);  // a point takes one vertex
    }
    EXPECT_EQ(setDigest(shp), before);
    {
        ShapefileWriter w;
        createFacilityTable(w, shp);
        writeFacility(w, u"Dropped"_s, 1, 2);
    }
    EXPECT_EQ(setDigest(shp), before);
    ShapefileWriter w;
    w.OpenShapefile(shp, Mode::Append);
    writeFacility(w, u"Two"_s, 3, 4);
    const std::string why = thrown([&] { w.SetFieldValue(u"NoSuchField"_s, 1.0); });
    for (const char* named : {"NoSuchField", "pfcamps.shp"}) EXPECT_NE(why.find(named), std::string::npos) << why;
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(setDigest(shp), before);
    EXPECT_THROW(w.WriteShape(), ShapefileError);  // nothing open any more

    writeOneRecordSet(shp, u"New"_s, 7, 8);
    EXPECT_EQ(namesIn(shp), QStringList{u"New"_s});
    EXPECT_FALSE(QFile::exists(dir.filePath(u"pfcamps.qix"_s)));  // stale index removed
    EXPECT_FALSE(workLeft());
}

// A disk that fills up, while appending or while writing a new set, leaves the set as it was.
TEST_F(ShapefileSet, RunningOutOfSpaceLeavesTheSetAsItWas) {
    for (const auto mode : {Mode::Append, Mode::Create}) {
        std::string why;
        {
            const waypost::testing::FileSizeLimit limit(
                static_cast<rlim_t>(QFileInfo(dir.filePath(u"pfcamps.dbf"_s)).size()) + 600);
            why = thrown([&] {
                ShapefileWriter w;
                if (mode == Mode::Append) w.OpenShapefile(shp, mode);
                else createFacilityTable(w, shp);
                for (int i = 0; i < 200; ++i) writeFacility(w, u"Record %1"_s.arg(i), i, i);
                w.CloseShapefile();
            });
        }
        EXPECT_NE(why.find("pfcamps.shp"), std::string::npos) << "running out of space must be reported: " << why;
        EXPECT_EQ(setDigest(shp), before);
        EXPECT_EQ(namesIn(shp), QStringList{u"One"_s});
        EXPECT_FALSE(workLeft());
    }
}

// A text longer than its field keeps the field's width in bytes, on a new set
// and on an append (which keeps the earlier records and the fields): the value
// is cut at a whole character and reported.
TEST_F(ShapefileSet, TextFieldsKeepTheirWidthsAndLongValuesAreCut) {
    const QString a60(60, u'A'), e46(46, QChar(0x00E9)), a45(45, u'A'), e22(22, QChar(0x00E9));
    const struct {
        const char* name;
        bool append;
        QString value, stored;
        bool shortened;
    } cases[] = {
        {"too long, appended", true, a60, a45, true},
        {"accented, appended", true, e46, e22, true},  // 92 bytes; 22 two-byte characters fit in 45
        {"too long, new", false, a60, a45, true},
        {"accented, new", false, e46, e22, true},
        {"exactly 45", false, a45, a45, false},
    };
    const QString dbfPath = dir.filePath(u"pfcamps.dbf"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray headerBefore = readAll(dbfPath).mid(32, 32 * 9);
        const QStringList namesBefore = namesIn(shp);
        ShapefileWriter w;
        if (c.append) w.OpenShapefile(shp, Mode::Append);
        else createFacilityTable(w, shp);
        writeFacility(w, c.value, 3, 4);
        const auto shortened = w.shortened();
        w.CloseShapefile();

        EXPECT_EQ(readShapefile(shp).schema.value(0), u"Name:text:45"_s);
        EXPECT_EQ(namesIn(shp), c.append ? namesBefore + QStringList{c.stored} : QStringList{c.stored});
        EXPECT_FALSE(workLeft());
        if (c.append) {
            EXPECT_EQ(readAll(dbfPath).mid(32, 32 * 9), headerBefore);  // field definitions untouched
        }
        using Cut = std::vector<ShapefileWriter::Shortened>;
        EXPECT_EQ(shortened, (c.shortened ? Cut{{u"Name"_s, 45, c.stored}} : Cut{}));
    }
}

TEST(ShapefileWriter, FailuresBeforeAnyRecordLeaveNothingBehind) {
    QTemporaryDir dir;
    const QString x = dir.filePath(u"x.shp"_s);
    ShapefileWriter w;
    EXPECT_THROW(w.OpenShapefile(dir.filePath(u"no/such/x.shp"_s), Mode::Create, W::Point), ShapefileError);
    EXPECT_THROW(w.OpenShapefile(dir.filePath(u"missing.shp"_s), Mode::Append), ShapefileError);
    w.OpenShapefile(x, Mode::Create, W::Point);
    EXPECT_THROW(w.AddField(u"Bad"_s, 99, 10), ShapefileError);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(u' ').toStdString();
    w.OpenShapefile(x, Mode::Create, W::Point);
    w.AddField(u"A"_s, W::Text, 5);
    EXPECT_THROW(w.SetFieldValue(u"A"_s, u"v"_s), ShapefileError);  // before commit
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
    w.OpenShapefile(x, Mode::Create, W::Point);
    w.AddField(u"D"_s, W::Date);
    w.CommitFields();
    w.SetFieldValue(u"D"_s, u"13/45/2026"_s);
    w.AddVertex(0, 0);
    EXPECT_THROW(w.WriteShape(), ShapefileError);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(ShapefileWriter, LongNamesAreCutToTenCharactersAndKeptUnique) {
    QTemporaryDir dir;
    const QString shp = dir.filePath(u"t.shp"_s);
    {
        ShapefileWriter w;
        w.OpenShapefile(shp, Mode::Create, W::Point);
        for (const auto& [name, type, size, decimals] :
             {std::tuple{"Percent Contained", W::Text, 10, 0}, {"Percent_Containment", W::Text, 10, 0},
              {"Count", W::Integer, 0, 0}, {"Big", W::Long, 0, 0}, {"Flag", W::Boolean, 0, 0},
              {"Ratio", W::Single, 0, 0}, {"Amount", W::Decimal, 10, 3}})
            w.AddField(QString::fromLatin1(name), type, size, decimals);
        w.CommitFields();
        EXPECT_EQ(w.fieldNameFor(u"Percent Contained"_s), u"Percent_Co"_s);
        EXPECT_EQ(w.fieldNameFor(u"Percent_Containment"_s), u"Percent__1"_s);
        w.SetFieldValue(u"Percent Contained"_s, u"50"_s);
        w.SetFieldValue(u"Percent_Containment"_s, 75.0);  // a number into text
        w.SetFieldValue(u"Count"_s, u"12abc"_s);          // text into a number
        w.SetFieldValue(u"Big"_s, 2.5);                   // half to even
        w.SetFieldValue(u"Flag"_s, 1.0);
        w.SetFieldValue(u"Amount"_s, 1.2345);
        w.AddVertex(-84.25, 30.5);
        w.WriteShape();
        w.CloseShapefile();
    }
    const auto set = readShapefile(shp);
    ASSERT_EQ(set.records.size(), 1u);
    const auto& values = set.records[0].values;
    EXPECT_EQ(values.value("Percent_Co"), u"50"_s);
    EXPECT_EQ(values.value("Percent__1"), u"75"_s);
    EXPECT_EQ(values.value("Count").toDouble(), 12);
    EXPECT_EQ(values.value("Big").toDouble(), 2);
    EXPECT_DOUBLE_EQ(values.value("Amount").toDouble(), 1.235);
}

TEST(ShapefileWriter, LinesPolygonsAndMultipointsKeepVertexOrder) {
    QTemporaryDir dir;
    const Vertices square{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    const struct {
        ShapefileWriter::ShapeType type;
        OGRwkbGeometryType read;
        Vertices vertices;
    } kinds[] = {{W::PolyLine, wkbLineString, square},
                 {W::Polygon, wkbPolygon, {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}},  // closed
                 {W::MultiPoint, wkbMultiPoint, square}};
    for (const auto& kind : kinds) {
        const QString shp = dir.filePath(u"shape%1.shp"_s.arg(kind.type));
        {
            ShapefileWriter w;
            w.OpenShapefile(shp, Mode::Create, kind.type);
            w.AddField(u"Id"_s, W::Integer);
            w.CommitFields();
            w.SetFieldValue(u"Id"_s, 1.0);
            for (const auto& [x, y] : square) w.AddVertex(x, y);
            w.WriteShape();
            w.CloseShapefile();
        }
        const auto set = readShapefile(shp);
        EXPECT_EQ(set.type, kind.read);
        ASSERT_EQ(set.records.size(), 1u);
        EXPECT_EQ(set.records[0].vertices, kind.vertices) << kind.type;
    }
}
