#include "output/RecordFile.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace waypost;
using waypost::test::readAll;
using waypost::test::writeFile;

namespace {

const QStringList kHeader{"Name", "Type", "Latitude", "Longitude", "AlbersX", "AlbersY", "UTM", "USNG", "STR"};

std::vector<RecordValue> helibase() {
    return {QStringLiteral("Helibase 2"), QStringLiteral("Helibase"), 30.5, -84.25, 376025.0, 721400.0,
            QStringLiteral("16R 761158 3370495"), QStringLiteral("16R GU 61158 70495"), QStringLiteral("T01N R05W S12")};
}

}  // namespace

TEST(RecordNumbers, BareWithoutALeadingZeroBelowOne) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.5, ".5"}, {-0.25, "-.25"}, {0, "0"}, {-0.0, "0"}, {-84.25, "-84.25"}, {376025, "376025"},
                 {0.000123, ".000123"}, {1234567.5, "1234567.5"}, {10.05, "10.05"}};
    for (const auto& c : cases) EXPECT_EQ(recordNumber(c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(RecordLines, StringsQuotedNumbersBareCrLf) {
    EXPECT_EQ(recordLine(helibase()),
              QByteArray("\"Helibase 2\",\"Helibase\",30.5,-84.25,376025,721400,\"16R 761158 3370495\","
                         "\"16R GU 61158 70495\",\"T01N R05W S12\"\r\n"));
    EXPECT_EQ(headerLine(kHeader),
              QByteArray("\"Name\",\"Type\",\"Latitude\",\"Longitude\",\"AlbersX\",\"AlbersY\",\"UTM\",\"USNG\",\"STR\"\r\n"));
    EXPECT_EQ(recordLine({QString(), 0.0}), QByteArray("\"\",0\r\n"));
    // A quote in a string cannot break the line.
    EXPECT_EQ(recordLine({QStringLiteral("The \"Big\" Camp"), 1.0}), QByteArray("\"The \"\"Big\"\" Camp\",1\r\n"));
}

TEST(RecordFiles, CreateThenAppendReadBackExactlyAndByACsvReader) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pfsites.txt"));
    ASSERT_TRUE(createRecordFile(path, kHeader, helibase()));
    auto second = helibase();
    second[0] = QStringLiteral("Camp \"North\", Ça");
    second[2] = 0.5;
    ASSERT_TRUE(appendRecord(path, kHeader, second));
    const QByteArray expected = headerLine(kHeader) + recordLine(helibase()) + recordLine(second);
    EXPECT_EQ(readAll(path), expected);

    // GDAL's CSV reader sees the same fields and values.
    const QString csvPath = dir.filePath(QStringLiteral("pfsites.csv"));
    ASSERT_TRUE(QFile::copy(path, csvPath));
    const auto csv = test::readShapefile(csvPath);
    EXPECT_EQ(csv.schema.size(), 9);
    EXPECT_TRUE(csv.schema.value(6).startsWith(QStringLiteral("UTM:"))) << csv.schema.join(u' ').toStdString();
    ASSERT_EQ(csv.records.size(), 2u);
    EXPECT_EQ(csv.records[0].values.value("Name"), QStringLiteral("Helibase 2"));
    EXPECT_DOUBLE_EQ(csv.records[0].values.value("Longitude").toDouble(), -84.25);
    EXPECT_EQ(csv.records[1].values.value("Name"), QStringLiteral("Camp \"North\", Ça"));
    EXPECT_DOUBLE_EQ(csv.records[1].values.value("Latitude").toDouble(), 0.5);
}

TEST(RecordFiles, AppendToAMissingFileCreatesItWithoutHeader) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pfnew.txt"));
    ASSERT_TRUE(appendRecord(path, kHeader, helibase()));
    EXPECT_EQ(readAll(path), recordLine(helibase()));
}

// An append goes only into a file that starts with this window's header.
TEST(RecordFiles, AppendRefusesAFileOfAnotherKindAndChangesNothing) {
    QTemporaryDir dir;
    const QByteArray other = headerLine({QStringLiteral("Name"), QStringLiteral("Date")});
    for (const QByteArray& content : {QByteArray("<?xml version=\"1.0\"?>\r\n<kml/>\r\n"),
                                      QByteArray("SQLite format 3\0\0\0\0", 20), other + "\"x\",1\r\n",
                                      headerLine(kHeader).left(20)}) {
        const QString path = dir.filePath(QStringLiteral("chosen.txt"));
        QFile::remove(path);
        ASSERT_TRUE(writeFile(path, content));
        const WriteResult appended = appendRecord(path, kHeader, helibase());
        EXPECT_FALSE(appended);
        EXPECT_TRUE(appended.message().contains(QStringLiteral("nothing was appended")));
        EXPECT_EQ(readAll(path), content);
    }
}

TEST(RecordFiles, AFolderThatDoesNotExistFailsAndNamesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone/pfx.txt"));
    const auto created = createRecordFile(path, kHeader, helibase());
    EXPECT_FALSE(created);
    EXPECT_TRUE(created.message().contains(path));
    EXPECT_FALSE(appendRecord(path, kHeader, helibase()));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(OutputPaths, PrefixGoesInFrontOfTheChosenName) {
    EXPECT_EQ(prefixedPath(QStringLiteral("/data/fires/sites.txt"), QStringLiteral("pf")),
              QStringLiteral("/data/fires/pfsites.txt"));
    EXPECT_EQ(prefixedPath(QStringLiteral("/data/pfsites.txt"), QStringLiteral("pf")),
              QStringLiteral("/data/pfpfsites.txt"));
    EXPECT_EQ(prefixedPath(QStringLiteral("sites.shp"), QStringLiteral("pw")), QStringLiteral("pwsites.shp"));
    EXPECT_EQ(prefixedPath(QStringLiteral("/sites.txt"), QStringLiteral("ph")), QStringLiteral("/phsites.txt"));
    const PathParts parts = splitPath(QStringLiteral("/a/b.c/d.txt"));
    EXPECT_EQ(parts.folder, QStringLiteral("/a/b.c"));
    EXPECT_EQ(parts.fileName, QStringLiteral("d.txt"));
    EXPECT_EQ(splitPath(QStringLiteral("bare.txt")).folder, QString());
    EXPECT_EQ(splitPath(QStringLiteral("bare.txt")).fileName, QStringLiteral("bare.txt"));
}

// The extension a name ends with once it is an output: the format's own where
// another would mislead the program that opens it.
TEST(OutputPaths, TheDefaultExtensionIsAddedWhereTheNameWouldMislead) {
    const std::pair<const char*, const char*> text[] = {
        {"St. Marks", "St. Marks.txt"}, {"sites.csv", "sites.csv"}, {"sites.txt", "sites.txt"},
        {"line.kmz", "line.kmz.txt"},   {"roads.SHP", "roads.SHP.txt"}, {"fires.sqlite", "fires.sqlite.txt"}};
    for (const auto& [chosen, written] : text)
        EXPECT_EQ(withDefaultExtension(QString::fromUtf8(chosen), QStringLiteral("txt")), QString::fromUtf8(written));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("camps.txt"), QStringLiteral("shp")), QStringLiteral("camps.txt.shp"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("camps.kmz"), QStringLiteral("kml")), QStringLiteral("camps.kmz"));
}
