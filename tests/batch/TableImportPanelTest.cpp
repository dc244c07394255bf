// The batch windows' import and listing commands through their widgets.

#include "batch/BatchRun.h"
#include "batch/BatchWindows.h"
#include "database/Database.h"
#include "map/MapPanel.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;

namespace {

template <class Window = batch::frmdatabase>
struct Fixture : TestServices, WindowControls {
    Window window{services};
    Fixture() { setWindow(&window); }
    QListWidget* list(const char* name) const { return child<QListWidget>(name); }
    void tick(const char* listName, int row) const { list(listName)->item(row)->setCheckState(Qt::Checked); }
    /// Chooses \p name (made with \p sql when given) with Select Database.
    void open(const QString& name, const char* sql = nullptr) {
        if (sql) database::Database(path(name).toStdString(), database::Database::Mode::Create).execute(sql);
        prompter.choosePath(path(name));
        click("cmdConvert");
    }
};

}  // namespace

class TableImportPanelTest : public QObject {
    Q_OBJECT

private slots:
    // A text import says where the table went; a killed import's leftover goes, a running one's stays. A workbook's
    // sheets are listed; the import waits until one is chosen.
    void importsSayWhatTheyDidOrWhyNotAndSheetsAreChosen() {
        Fixture<> f;
        const QString ended = f.path(u".a.sqlite.999999999.0123456789abcdef0123456789abcdef.importing"_s);
        const QString running =
            f.path(u".a.sqlite.%1.0123456789abcdef0123456789abcdef.importing"_s.arg(QCoreApplication::applicationPid()));
        QVERIFY(writeFile(ended, "half") && writeFile(running, "busy"));
        QVERIFY(writeFile(f.path(u"a.csv"_s), "USNG\n16R GU 61158 70495\n"));
        f.prompter.choosePath(f.path(u"a.csv"_s));
        f.click("cmdConTxt");
        QCOMPARE(f.prompter.messageTexts(), QStringList{u"csv file converted to table 'Coord' in "_s + f.path(u"a.sqlite"_s)});
        QVERIFY(!QFile::exists(ended));
        QVERIFY(QFile::exists(running));

        // An upper-case dBase extension is refused with the reason; so is a GeoPackage chosen for listing.
        f.prompter.choosePath(f.path(u"Roads.DBF"_s));
        f.click("cmdConDBF");
        QVERIFY(f.prompter.lastMessage().startsWith(u"Roads.DBF is not read"_s));
        f.open(u"roads.gpkg"_s);
        QVERIFY(f.prompter.lastMessage().contains(u"GeoPackage"_s));

        // Debian's python3-xlwt writes the workbook: two sheets of a name each.
        const QString script = u"import xlwt, sys\nb = xlwt.Workbook()\nfor n in ('Fires', 'Camps'):\n"
                               "    s = b.add_sheet(n); s.write(0, 0, 'Name'); s.write(1, 0, n)\nb.save(sys.argv[1])"_s;
        QCOMPARE(QProcess::execute(u"/usr/bin/python3"_s, {u"-c"_s, script, f.path(u"two.xls"_s)}), 0);
        f.prompter.choosePath(f.path(u"two.xls"_s));
        f.click("cmdConXls");
        QCOMPARE(f.list("listxlsSheet")->count(), 2);
        f.click("cmdConXls2");  // nothing selected
        QCOMPARE(f.prompter.lastMessage(), u"Please Select a worksheet in the 'Sheets' Listbox"_s);
        QTest::mouseClick(f.list("listxlsSheet")->viewport(), Qt::LeftButton, {},
                          f.list("listxlsSheet")->visualItemRect(f.list("listxlsSheet")->item(1)).center());
        f.click("cmdConXls2");
        QCOMPARE(f.prompter.lastMessage(),
                 u"Excel Spreadsheet converted to table 'tblExcel' in "_s + f.path(u"twox.sqlite"_s));
    }

    // At the size a window opens with, every line of its procedures can be read. A table converted before is refused
    // at the field listing.
    void theProceduresCanBeReadWholeAndATableConvertedBeforeIsNotOfferedAgain() {
        Fixture<> usng;
        Fixture<batch::frmbatLLtoUSNG> latLong;
        for (QWidget* window : std::initializer_list<QWidget*>{&usng.window, &latLong.window}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            auto* procedures = window->findChild<QLabel*>(u"lblProcedures"_s);
            QVERIFY2(procedures && procedures->height() >= procedures->heightForWidth(procedures->width()),
                     qPrintable(window->objectName()));
        }

        latLong.open(u"done.sqlite"_s, "CREATE TABLE t (lat REAL, lon REAL, USNGCoord TEXT)");
        latLong.tick("lstTables", 0);
        latLong.click("cmdFields");
        QCOMPARE(latLong.prompter.lastMessage(), batch::kPreviousLatLongToUsng);
        QVERIFY(!latLong.child<QPushButton>("cmdConUSNG")->isEnabled());
    }

    // An Access database is copied beside itself (its tables: BatchRunTest); fields are listed for the one ticked
    // table, a second tick taking the first away.
    void tablesAreListedAndFieldsForTheOneTickedTable() {
        Fixture<> f;
        QVERIFY(QFile::copy(QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/access/v1997_types.mdb"), f.path(u"old.mdb"_s)));
        f.open(u"old.mdb"_s);
        QVERIFY(f.prompter.lastMessage().contains(f.path(u"old.sqlite"_s)));

        f.open(u"fires.sqlite"_s, "CREATE TABLE fires (USNG TEXT, Note TEXT); CREATE TABLE \"camp sites\" (Name TEXT)");
        QCOMPARE(f.list("lstTables")->count(), 2);
        f.list("lstTables")->setCurrentRow(0);
        f.click("cmdFields");  // none ticked
        QCOMPARE(f.prompter.lastMessage(), u"Please Select the Table Conataining USNG Coordinates"_s);
        QCOMPARE(f.list("lstFields")->count(), 0);
        f.tick("lstTables", 0);
        f.tick("lstTables", 1);
        f.click("cmdFields");
        QCOMPARE(f.list("lstFields")->count(), 1);
        QCOMPARE(f.list("lstFields")->item(0)->text(), u"Name"_s);
    }

    // A run converts every record, writes the points in the chosen format, shows them on the map,
    // then the window starts again.
    void aRunConvertsEveryRecordThenTheWindowStartsAgain() {
        Fixture<> f;
        f.open(u"grid.sqlite"_s, "CREATE TABLE fires (USNG TEXT); INSERT INTO fires VALUES ('16R GU 61158 70495'), "
                                 "('16R GU 6115 7049'), ('17R MK 50392 86534')");
        f.tick("lstTables", 0);
        f.click("cmdFields");
        f.tick("lstFields", 0);
        f.click("optCreate");
        f.child<QComboBox>("cmbFormat")->setCurrentIndex(1);
        QSignalSpy finished(&f.window, &batch::frmdatabase::runFinished);
        f.click("cmdConUSNG");
        QVERIFY(finished.wait(10000));
        // (How the message begins: AgencyWindowTest::aBatchWindowConvertsATableOfTheAgencyDatabase.)
        QVERIFY(f.prompter.lastMessage().endsWith(u"Points written to "_s + f.path(u"grid.gpkg"_s)));
        GDALDatasetUniquePtr points(GDALDataset::Open(f.path(u"grid.gpkg"_s).toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(points && points->GetLayer(0)->GetFeatureCount() == 3);
        const MapPoints shown = f.child<MapPanel>("mapPanel")->content().points;  // the map shows them
        QVERIFY(shown && shown->size() == 3);
        QVERIFY(std::abs(shown->front().second - 30.4383) < 1e-3 && std::abs(shown->front().first + 84.2807) < 1e-3);
        QCOMPARE(f.list("lstTables")->count(), 0);  // the reset after the run
    }
};

QTEST_MAIN(TableImportPanelTest)
#include "TableImportPanelTest.moc"
