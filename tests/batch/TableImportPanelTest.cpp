// The batch windows' import and listing commands through their widgets.

#include "batch/BatchWindows.h"
#include "batch/TableImportPanel.h"
#include "database/Database.h"
#include "map/MapPanel.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QPushButton>
#include <QTest>

using namespace waypost;
using namespace waypost::test;

class TableImportPanelTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        batch::frmdatabase window{services};
        Fixture() { setWindow(&window); }
        QListWidget* list(const char* name) const { return child<QListWidget>(name); }
        void tick(const char* listName, int row) const { list(listName)->item(row)->setCheckState(Qt::Checked); }
    };

private slots:
    void textImportSaysWhereTheTableWent() {
        Fixture f;
        QVERIFY(writeFile(f.path(QStringLiteral("a.csv")), "USNG\n16R GU 61158 70495\n"));
        f.prompter.choosePath(f.path(QStringLiteral("a.csv")));
        f.click("cmdConTxt");
        QCOMPARE(f.prompter.messageTexts(),
                 QStringList{QStringLiteral("csv file converted to table 'Coord' in ") + f.path(QStringLiteral("a.sqlite"))});
    }

    void anUpperCaseDbaseExtensionIsRefusedWithTheReason() {
        Fixture f;
        f.prompter.choosePath(f.path(QStringLiteral("Roads.DBF")));
        f.click("cmdConDBF");
        QVERIFY(f.prompter.messageTexts().value(0).startsWith(QStringLiteral("Roads.DBF is not read")));
    }

    void aKilledImportsLeftoverGoesAndAGeoPackageIsNotOffered() {
        Fixture f;
        // A process that has ended left its half-built database; a running one's stays.
        const QString ended = f.path(QStringLiteral(".a.sqlite.999999999.0123456789abcdef0123456789abcdef.importing"));
        const QString running = f.path(QStringLiteral(".a.sqlite.%1.0123456789abcdef0123456789abcdef.importing")
                                            .arg(QCoreApplication::applicationPid()));
        QVERIFY(writeFile(ended, "half") && writeFile(running, "busy"));
        QVERIFY(writeFile(f.path(QStringLiteral("a.csv")), "USNG\n16R GU 61158 70495\n"));
        f.prompter.choosePath(f.path(QStringLiteral("a.csv")));
        f.click("cmdConTxt");
        QVERIFY(!QFile::exists(ended));
        QVERIFY(QFile::exists(running));

        f.prompter.choosePath(f.path(QStringLiteral("roads.gpkg")));
        f.click("cmdConvert");
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("GeoPackage")));
        const auto& calls = f.prompter.calls();
        const auto dialog = std::find_if(calls.rbegin(), calls.rend(), [](const auto& c) {
            return c.kind == ScriptedPrompter::Kind::OpenFile;
        });
        QVERIFY(dialog != calls.rend());
        QVERIFY(dialog->dialog.filter.contains(QStringLiteral("sqlite")));
        QVERIFY(!dialog->dialog.filter.contains(QStringLiteral("gpkg")));
    }

    // At the size a window opens with, every line of its procedures can be read.
    void theProceduresCanBeReadWhole() {
        TestServices services;
        batch::frmdatabase usng{services.services};
        batch::frmbatLLtoUSNG latLong{services.services};
        for (QWidget* window : std::initializer_list<QWidget*>{&usng, &latLong}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            auto* procedures = window->findChild<QLabel*>(QStringLiteral("lblProcedures"));
            QVERIFY(procedures);
            QVERIFY2(procedures->height() >= procedures->heightForWidth(procedures->width()),
                     qPrintable(window->objectName()));
        }
    }

    void sheetsAreListedAndChosen() {
        Fixture f;
        GDALAllRegister();
        GDALDataset* ds = GetGDALDriverManager()->GetDriverByName("XLSX")->Create(
            f.path(QStringLiteral("two.xlsx")).toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr);
        for (const char* sheet : {"Fires", "Camps"}) {
            OGRLayer* layer = ds->CreateLayer(sheet, nullptr, wkbNone, nullptr);
            OGRFieldDefn field("Name", OFTString);
            layer->CreateField(&field);
            OGRFeature feature(layer->GetLayerDefn());
            feature.SetField(0, sheet);
            if (layer->CreateFeature(&feature) != OGRERR_NONE) qWarning("a test row was not written");
        }
        GDALClose(ds);
        f.prompter.choosePath(f.path(QStringLiteral("two.xlsx")));
        f.click("cmdConXls");
        QCOMPARE(f.list("listxlsSheet")->count(), 2);
        f.click("cmdConXls2");  // nothing selected
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Please Select a worksheet in the 'Sheets' Listbox"));
        QVERIFY(!f.child<QPushButton>("cmdConXls2")->isEnabled());
        QTest::mouseClick(f.list("listxlsSheet")->viewport(), Qt::LeftButton, {},
                          f.list("listxlsSheet")->visualItemRect(f.list("listxlsSheet")->item(1)).center());
        f.click("cmdConXls2");
        QCOMPARE(f.prompter.messageTexts().back(),
                 QStringLiteral("Excel Spreadsheet converted to table 'tblExcel' in ") + f.path(QStringLiteral("twox.sqlite")));
    }

    void fieldsAreListedForTheOneTickedTable() {
        Fixture f;
        {
            database::Database db(f.path(QStringLiteral("fires.sqlite")).toStdString(), database::Database::Mode::Create);
            db.execute("CREATE TABLE fires (USNG TEXT, Note TEXT); CREATE TABLE \"camp sites\" (Name TEXT)");
        }
        f.prompter.choosePath(f.path(QStringLiteral("fires.sqlite")));
        f.click("cmdConvert");
        QCOMPARE(f.list("lstTables")->count(), 2);
        QVERIFY(f.child<QPushButton>("cmdFields")->isEnabled());
        f.list("lstTables")->setCurrentRow(0);
        f.click("cmdFields");  // none ticked
        QCOMPARE(f.prompter.messageTexts().back(), QStringLiteral("Please Select the Table Conataining USNG Coordinates"));
        QCOMPARE(f.list("lstFields")->count(), 0);
        f.tick("lstTables", 0);
        f.tick("lstTables", 1);  // a second tick takes the first away
        QCOMPARE(batch::TableImportPanel::tickedCount(f.list("lstTables")), 1);
        f.click("cmdFields");
        QCOMPARE(f.list("lstFields")->count(), 1);
        QCOMPARE(f.list("lstFields")->item(0)->text(), QStringLiteral("Name"));
        QVERIFY(f.child<QPushButton>("cmdConUSNG")->isEnabled());  // the conversion is the next step
    }

    void anAccessDatabaseIsCopiedAndListed() {
        Fixture f;
        QVERIFY(QFile::copy(QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/access/v1997_types.mdb"),
                            f.path(QStringLiteral("old.mdb"))));
        f.prompter.choosePath(f.path(QStringLiteral("old.mdb")));
        f.click("cmdConvert");
        QCOMPARE(f.list("lstTables")->count(), 4);
        QVERIFY(f.prompter.messageTexts().back().contains(f.path(QStringLiteral("old.sqlite"))));
        QCOMPARE(f.window.panel().databasePath(), f.path(QStringLiteral("old.sqlite")));
    }

    void aRunConvertsEveryRecordThenTheWindowStartsAgain() {
        Fixture f;
        {
            database::Database db(f.path(QStringLiteral("grid.sqlite")).toStdString(), database::Database::Mode::Create);
            db.execute("CREATE TABLE fires (USNG TEXT); INSERT INTO fires VALUES ('16R GU 61158 70495'), "
                       "('16R GU 6115 7049'), ('17R MK 50392 86534')");
        }
        f.prompter.choosePath(f.path(QStringLiteral("grid.sqlite")));
        f.click("cmdConvert");
        f.tick("lstTables", 0);
        f.click("cmdFields");
        f.tick("lstFields", 0);
        // The points as a GeoPackage beside the database.
        QVERIFY(!f.child<QComboBox>("cmbFormat")->isEnabled());
        f.click("optCreate");
        QVERIFY(f.child<QComboBox>("cmbFormat")->isEnabled());
        f.child<QComboBox>("cmbFormat")->setCurrentIndex(1);
        QSignalSpy finished(&f.window, &batch::frmdatabase::runFinished);
        f.click("cmdConUSNG");
        QVERIFY(finished.wait(10000));
        const auto message = f.prompter.messages().back();
        QCOMPARE(message.title, QStringLiteral("Conversion Results"));
        QVERIFY(message.text.startsWith(QStringLiteral("Conversion Complete - 3 Records Converted")));
        QVERIFY(message.text.endsWith(QStringLiteral("Points written to ") + f.path(QStringLiteral("grid.gpkg"))));
        GDALDatasetUniquePtr points(GDALDataset::Open(f.path(QStringLiteral("grid.gpkg")).toUtf8().constData(), GDAL_OF_VECTOR));
        QVERIFY(points);
        QCOMPARE(points->GetLayer(0)->GetFeatureCount(), 3);
        // The map shows them.
        const MapPoints shown = f.child<MapPanel>("mapPanel")->content().points;
        QVERIFY(shown);
        QCOMPARE(shown->size(), size_t(3));
        QVERIFY(std::abs(shown->front().second - 30.4383) < 1e-3 && std::abs(shown->front().first + 84.2807) < 1e-3);
        QCOMPARE(f.child<QLabel>("lblProRe")->text(), QStringLiteral("0"));  // the reset after the run
        QCOMPARE(f.list("lstTables")->count(), 0);
        QVERIFY(!f.child<QPushButton>("cmdConUSNG")->isEnabled());
    }

    void aTableConvertedBeforeIsNotOfferedAgain() {
        TestServices t;
        batch::frmbatLLtoUSNG window(t.services);
        {
            database::Database db(t.path(QStringLiteral("done.sqlite")).toStdString(), database::Database::Mode::Create);
            db.execute("CREATE TABLE t (lat REAL, lon REAL, USNGCoord TEXT)");
        }
        t.prompter.choosePath(t.path(QStringLiteral("done.sqlite")));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdConvert")), Qt::LeftButton);
        window.findChild<QListWidget*>(QStringLiteral("lstTables"))->item(0)->setCheckState(Qt::Checked);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdFields")), Qt::LeftButton);
        QCOMPARE(t.prompter.messageTexts().back(),
                 QStringLiteral("It Appears there was a Previous Conversion - Exiting Conversion Routine"));
        QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("cmdConUSNG"))->isEnabled());
    }
};

QTEST_MAIN(TableImportPanelTest)
#include "TableImportPanelTest.moc"
