// Each import read back through the database layer: names, declared types,
// values, nulls, row counts; unique target names; failures that leave nothing.

#include "batch/TableImport.h"
#include "database/Database.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace waypost::batch {
namespace {

using namespace Qt::StringLiterals;
using database::Database;
using Strings = std::vector<std::string>;
using Rows = std::vector<Strings>;

const QString kAccessData = QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/access/");

struct Table {
    Strings columns;  ///< "name type"
    Rows rows;        ///< values as text, "NULL" for null
};

Table readTable(const QString& database, const std::string& table) {
    Database db(database.toStdString(), Database::Mode::ReadOnly);
    Table t;
    for (const auto& c : db.tableColumns(table)) t.columns.push_back(c.name + " " + c.declaredType);
    auto rows = db.prepare("SELECT * FROM " + database::quoteIdentifier(table));
    while (rows.step()) {
        t.rows.emplace_back();
        for (int i = 0; i < rows.columnCount(); ++i) t.rows.back().push_back(rows.isNull(i) ? "NULL" : rows.columnText(i));
    }
    return t;
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

/// A vector dataset written through GDAL: one layer per entry, each with text
/// fields (its first row) and rows (a null pointer leaves the value unset).
void writeDataset(const QString& path, const char* driverName,
                  const std::vector<std::pair<std::string, std::vector<std::vector<const char*>>>>& layers) {
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    ASSERT_NE(driver, nullptr);
    GDALDatasetUniquePtr ds(driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_NE(ds, nullptr);
    for (const auto& [name, rows] : layers) {
        OGRLayer* layer = ds->CreateLayer(name.c_str(), nullptr, wkbNone, nullptr);
        for (const char* field : rows.front()) {
            OGRFieldDefn defn(field, OFTString);
            layer->CreateField(&defn);
        }
        for (std::size_t r = 1; r < rows.size(); ++r) {
            OGRFeature feature(layer->GetLayerDefn());
            for (std::size_t i = 0; i < rows[r].size(); ++i)
                if (rows[r][i]) feature.SetField(static_cast<int>(i), rows[r][i]);
            if (layer->CreateFeature(&feature) != OGRERR_NONE) qWarning("a test row was not written");
        }
    }
}

class TableImportTest : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(TableImportTest, TextFilesGetDetectedTypesNullsAndUniqueTargets) {
    ASSERT_TRUE(writeText(file("a.csv"), "id,name,lat,lon\r\n1,North Camp,30.5,-84.25\r\n2,,31.25,-85\r\n"));
    EXPECT_EQ(importText(file("a.csv")), file("a.sqlite"));
    EXPECT_EQ(importText(file("a.csv")), file("a1.sqlite"));
    const Table t = readTable(file("a1.sqlite"), "COORD");
    EXPECT_EQ(t.columns, (Strings{"id INTEGER", "name TEXT", "lat REAL", "lon TEXT"}));
    EXPECT_EQ(t.rows, (Rows{{"1", "North Camp", "30.5", "-84.25"}, {"2", "NULL", "31.25", "-85"}}));
    ASSERT_TRUE(writeText(file("b.txt"), "USNG\tNote\n16R GU 61158 70495\tcamp\n"));
    EXPECT_EQ(readTable(importText(file("b.txt")), "COORD").rows.at(0).at(0), "16R GU 61158 70495");
}

// Every cell reads back as the text it had: a column holds numbers only when
// each of its texts comes back unchanged, whatever the source's format.
struct TextKeptCase {
    const char* name;
    std::vector<const char*> cells;  ///< one column, after its header "V"
    const char* declared;
};

class ImportKeepsTheText : public TableImportTest, public ::testing::WithParamInterface<TextKeptCase> {};

TEST_P(ImportKeepsTheText, InTextSheetAndDbase) {
    const TextKeptCase& c = GetParam();
    QByteArray csv = "V,K\r\n";
    std::vector<std::vector<const char*>> rows{{"V", "K"}};
    for (const char* cell : c.cells) {
        csv += QByteArray(cell) + ",k\r\n";
        rows.push_back({cell, "k"});
    }
    ASSERT_TRUE(writeText(file("t.csv"), csv));
    writeDataset(file("t.xlsx"), "XLSX", {{"S", rows}});
    writeDataset(file("t.dbf"), "ESRI Shapefile", {{"t", rows}});
    for (const auto& [database, table] : {std::pair{importText(file("t.csv")), "COORD"},
                                          std::pair{importSheet(file("t.xlsx"), u"S"_s), "tblExcel"},
                                          std::pair{importDbf(file("t.dbf")), "COORD"}}) {
        SCOPED_TRACE(database.toStdString());
        const Table t = readTable(database, table);
        EXPECT_EQ(t.columns.at(0), std::string("V ") + c.declared);
        EXPECT_EQ(t.rows.size(), c.cells.size());
        for (std::size_t i = 0; i < std::min(c.cells.size(), t.rows.size()); ++i) EXPECT_EQ(t.rows[i][0], c.cells[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ImportKeepsTheText,
                         ::testing::Values(TextKeptCase{"zip_codes", {"01234", "00501", "32301"}, "TEXT"},
                                           TextKeptCase{"whole_numbers", {"12", "-7", "0"}, "INTEGER"},
                                           TextKeptCase{"decimals", {"30.4383", "-84.2807"}, "REAL"},
                                           TextKeptCase{"a_word_deep_in_numbers", {"30.5", "31.25", "29.75", "abc"},
                                                        "TEXT"},
                                           TextKeptCase{"a_whole_number_among_decimals", {"30.5", "31"}, "TEXT"},
                                           TextKeptCase{"trailing_zeros", {"30.50", "1.0"}, "TEXT"},
                                           TextKeptCase{"past_64_bits", {"99999999999999999999"}, "TEXT"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableImportTest, DbaseGivesATextCopyAndTableCoord) {
    EXPECT_EQ(dbfTextLine({"12 ", "", "X"}, {false, true, false}), u"12,,X"_s);
    writeDataset(file("x.dbf"), "ESRI Shapefile",
                 {{"x", {{"NUM", "NOTE", "CODE"}, {"12 ", nullptr, "X"}, {"7", "b", "Y"}}}});
    const QString target = importDbf(file("x.dbf"));
    EXPECT_EQ(target, file("xd.sqlite"));
    QFile text(file("x.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.readAll(), "NUM,NOTE,CODE\r\n12,,X\r\n7,b,Y\r\n"_ba);
    EXPECT_EQ(readTable(target, "COORD").rows.size(), 2U);
}

TEST_F(TableImportTest, WorkbookSheetsAreListedAndOneBecomesTblExcel) {
    writeDataset(file("two.xlsx"), "XLSX",
                 {{"Fires", {{"USNG"}, {"16R GU 61158 70495"}}}, {"Camps", {{"Name"}, {"North"}}}});
    EXPECT_EQ(sheetNames(file("two.xlsx")), QStringList({"Fires", "Camps"}));
    const QString target = importSheet(file("two.xlsx"), u"Camps"_s);
    EXPECT_EQ(target, file("twox.sqlite"));
    EXPECT_EQ(readTable(target, "tblExcel").rows, Rows{{"North"}});
    writeDataset(file("one.ods"), "ODS", {{"Only", {{"Lat", "Lon"}, {"30.5", "-84.25"}}}});
    EXPECT_EQ(sheetNames(file("one.ods")), QStringList{"Only"});

    // GDAL cannot write .xls: Debian's python3-xlwt makes one.
    const std::string command =
        "/usr/bin/python3 -c \"import xlwt,sys; b=xlwt.Workbook(); s=b.add_sheet('Grid'); s.write(0,0,'USNG'); "
        "s.write(1,0,'17R MK 50392 86534'); b.add_sheet('Empty'); b.save(sys.argv[1])\" '" +
        file("old.xls").toStdString() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(sheetNames(file("old.xls")).front(), u"Grid"_s);
    EXPECT_EQ(readTable(importSheet(file("old.xls"), u"Grid"_s), "tblExcel").rows.at(0).at(0), "17R MK 50392 86534");
}

TEST_F(TableImportTest, AccessTablesKeepTheirTypesValuesAndNulls) {
    const auto imported = [&](const char* name) {
        const QString copy = file(QLatin1String(name));
        return QFile::copy(kAccessData + QLatin1String(name), copy) ? importAccess(copy) : u"<not copied>"_s;
    };
    for (const char* name : {"v1997_types.mdb", "v2010_types.accdb"}) {
        SCOPED_TRACE(name);
        const QString target = imported(name);
        EXPECT_EQ(databaseTables(target), QStringList({"Table1", "Table2", "Table3", "Table4"}));
        const Table t = readTable(target, "Table1");
        EXPECT_EQ(t.columns, (Strings{"A Text(50)", "B Text(100)", "C Byte", "D INTEGER", "E Long Integer", "F Double",
                                      "G DateTime", "H Currency", "I Boolean"}));
        ASSERT_GE(t.rows.size(), 2U);
        EXPECT_EQ(t.rows[1], (Strings{"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555", "1974-09-21 00:00:00",
                                      "3.5", "1"}));
    }
    EXPECT_EQ(readTable(imported("v2000_numeric.mdb"), "test").columns.at(1), "col2 Numeric(18,0)");
    EXPECT_TRUE(databaseTables(imported("v2000_empty.mdb")).isEmpty());
}

TEST_F(TableImportTest, AFailureNamesTheFileAndLeavesNoDatabase) {
    ASSERT_TRUE(writeText(file("broken.mdb"), QByteArray(4096, '\x07')));
    ASSERT_TRUE(writeText(file("broken.xlsx"), "PK not really a workbook"));
    const std::vector<std::pair<QString, std::function<QString()>>> cases = {
        {file("broken.mdb"), [&] { return importAccess(file("broken.mdb")); }},
        {file("broken.xlsx"), [&] { return importSheet(file("broken.xlsx"), u"Sheet1"_s); }},
        {file("missing.csv"), [&] { return importText(file("missing.csv")); }},
    };
    for (const auto& [path, import] : cases) {
        try {
            import();
            ADD_FAILURE() << "no error from " << path.toStdString();
        } catch (const ImportError& e) {
            EXPECT_EQ(e.file(), path);
            EXPECT_FALSE(e.reason().isEmpty());
        }
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({u"*.sqlite"_s, u".*"_s}, QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace waypost::batch
