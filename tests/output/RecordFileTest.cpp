#include "output/RecordFile.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace waypost;
using namespace Qt::StringLiterals;
using waypost::test::readAll;

namespace {

const QStringList kHeader{"Name", "Type", "Latitude", "Longitude", "AlbersX", "AlbersY", "UTM", "USNG", "STR"};

std::vector<RecordValue> helibase() {
    return {u"Helibase 2"_s, u"Helibase"_s, 30.5, -84.25, 376025.0, 721400.0, u"16R 761158 3370495"_s,
            u"16R GU 61158 70495"_s, u"T01N R05W S12"_s};
}

}  // namespace

// Numbers in the general decimal form, without a leading zero below one; strings quoted.
TEST(RecordLines, NumbersBareWithoutALeadingZeroStringsQuoted) {
    const std::pair<double, const char*> cases[] = {{0.5, ".5"}, {-0.25, "-.25"}, {0, "0"}, {-0.0, "0"},
                                                    {-84.25, "-84.25"}, {376025, "376025"}, {0.000123, ".000123"},
                                                    {1234567.5, "1234567.5"}, {10.05, "10.05"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(recordNumber(value), QString::fromLatin1(text)) << value;
    // In a line: strings quoted (a quote inside doubled), numbers bare, CR LF at the end.
    EXPECT_EQ(headerLine({u"Name"_s, u"UTM"_s}), "\"Name\",\"UTM\"\r\n"_ba);
    EXPECT_EQ(recordLine({QString(), 0.0}), "\"\",0\r\n"_ba);
    EXPECT_EQ(recordLine({u"The \"Big\" Camp"_s, 1.0}), "\"The \"\"Big\"\" Camp\",1\r\n"_ba);
}

// A new file, then an append: the exact lines, and the same fields and values through GDAL's CSV reader.
TEST(RecordFiles, CreateThenAppendReadBackExactlyAndByACsvReader) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pfsites.txt"_s), csvPath = dir.filePath(u"pfsites.csv"_s);
    ASSERT_TRUE(createRecordFile(path, kHeader, helibase()));
    auto second = helibase();
    second[0] = u"Camp \"North\", Ça"_s;
    second[2] = 0.5;
    ASSERT_TRUE(appendRecord(path, kHeader, second));
    EXPECT_EQ(readAll(path), headerLine(kHeader) + recordLine(helibase()) + recordLine(second));

    ASSERT_TRUE(QFile::copy(path, csvPath));
    const auto csv = test::readShapefile(csvPath);
    EXPECT_EQ(csv.schema.size(), 9);
    EXPECT_TRUE(csv.schema.value(6).startsWith(u"UTM:"_s)) << csv.schema.join(u' ').toStdString();
    ASSERT_EQ(csv.records.size(), 2u);
    EXPECT_EQ(csv.records[0].values.value("Name"), u"Helibase 2"_s);
    EXPECT_DOUBLE_EQ(csv.records[0].values.value("Longitude").toDouble(), -84.25);
    EXPECT_EQ(csv.records[1].values.value("Name"), u"Camp \"North\", Ça"_s);
    EXPECT_DOUBLE_EQ(csv.records[1].values.value("Latitude").toDouble(), 0.5);
}

// An append goes only into a file that starts with this window's header, or
// makes a missing file without one; a missing folder fails and names the file.
TEST(RecordFiles, AppendGoesOnlyIntoItsOwnRecordsOrANewFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"chosen.txt"_s), gone = dir.filePath(u"gone/pfx.txt"_s);
    ASSERT_TRUE(appendRecord(path, kHeader, helibase()));
    EXPECT_EQ(readAll(path), recordLine(helibase()));
    for (const QByteArray& content :
         {"<?xml version=\"1.0\"?>\r\n<kml/>\r\n"_ba, QByteArray("SQLite format 3\0\0\0\0", 20),
          headerLine({u"Name"_s, u"Date"_s}) + "\"x\",1\r\n", headerLine(kHeader).left(20)}) {
        ASSERT_TRUE(QFile::remove(path) && test::writeFile(path, content));
        const WriteResult appended = appendRecord(path, kHeader, helibase());
        EXPECT_FALSE(appended);
        EXPECT_TRUE(appended.message().contains(u"nothing was appended"_s));
        EXPECT_EQ(readAll(path), content);
    }
    const auto created = createRecordFile(gone, kHeader, helibase());
    EXPECT_FALSE(created);
    EXPECT_TRUE(created.message().contains(gone));
    EXPECT_FALSE(appendRecord(gone, kHeader, helibase()));
    EXPECT_FALSE(QFile::exists(gone));
}

// An output's name: the prefix in front of the chosen file name, and the
// format's own extension added where the name has none or another would mislead.
TEST(OutputPaths, PrefixAndDefaultExtension) {
    const std::tuple<const char*, const char*, const char*> prefixed[] = {
        {"/data/fires/sites.txt", "pf", "/data/fires/pfsites.txt"}, {"/data/pfsites.txt", "pf", "/data/pfpfsites.txt"},
        {"sites.shp", "pw", "pwsites.shp"}, {"/sites.txt", "ph", "/phsites.txt"},
        {"/a/b.c/d.txt", "pf", "/a/b.c/pfd.txt"}};  // a dot in a folder's name
    for (const auto& [chosen, prefix, written] : prefixed)
        EXPECT_EQ(prefixedPath(QString::fromLatin1(chosen), QString::fromLatin1(prefix)), QString::fromLatin1(written));
    const std::tuple<const char*, const char*, const char*> extended[] = {
        {"St. Marks", "txt", "St. Marks.txt"}, {"sites.csv", "txt", "sites.csv"}, {"sites.txt", "txt", "sites.txt"},
        {"line.kmz", "txt", "line.kmz.txt"}, {"roads.SHP", "txt", "roads.SHP.txt"},
        {"fires.sqlite", "txt", "fires.sqlite.txt"}, {"camps.txt", "shp", "camps.txt.shp"},
        {"camps.kmz", "kml", "camps.kmz"}};
    for (const auto& [chosen, extension, written] : extended)
        EXPECT_EQ(withDefaultExtension(QString::fromLatin1(chosen), QString::fromLatin1(extension)),
                  QString::fromLatin1(written));
}
