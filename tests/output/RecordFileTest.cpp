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
