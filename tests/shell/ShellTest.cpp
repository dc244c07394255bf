#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "shell/frmAbout.h"
#include "shell/wp_main.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace waypost;

namespace {

/// A stand-in for a job window in these tests: a name field to focus (second
/// in the focus chain), and a count of how many were ever made.
class StubWindow : public QWidget {
public:
    explicit StubWindow(const QString& nameField) {
        new QLineEdit(this);
        (new QLineEdit(this))->setObjectName(nameField);
        ++made;
    }
    static inline int made = 0;
};

/// The program runs on while one of its windows is visible.
int visibleWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() && w->isWindow();
    return n;
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private:
    /// The program's windows, plus stand-ins for every job window; the controls are the main window's.
    struct Fixture : test::TestServices, test::WindowControls {
        WindowRegistry registry;
        QStringList unloaded;

        explicit Fixture(bool withJobs) {
            QObject::connect(&registry, &WindowRegistry::windowUnloaded, [this](const QString& name) { unloaded << name; });
            registerWindows(registry, services);
            if (!withJobs) return;
            registry.registerWindow(windowName::wpFac, [] { return new StubWindow("txtFacName"); }, "txtFacName");
            registry.registerWindow(windowName::frmDBMan, [] { return new StubWindow("txtFireName"); }, "txtFireName");
            for (const QString& name : {windowName::wpHcane, windowName::wp_ddc_0306, windowName::frmGEAddress,
                                        windowName::kml_firedp_0611, windowName::frmdatabase, windowName::frmbatLLtoUSNG})
                registry.registerWindow(name, [] { return new StubWindow("txtName"); });
        }
        QWidget* showMain() {
            QWidget* main = registry.show(windowName::wp_main);
            setWindow(main);
            return main;
        }
        /// A button clicked or a menu entry chosen, by its name.
        void use(const QString& name) {
            if (name.startsWith(u"mnu")) child<QAction>(qPrintable(name))->trigger();
            else click(qPrintable(name));
        }
    };

private slots:
    void init() { StubWindow::made = 0; }

    // Every job of the program has its window, the pictures come from the
    // resources, and About's system information tells the libraries and the folders.
    void everyJobIsEnabledAndAboutTellsLibrariesAndFolders() {
        Fixture f(false);
        QVERIFY(f.showMain());
        for (const char* name : {"cmdPMfacilities", "cmdPmfire", "cmdPMHurricanes", "cmdPMAddress", "cmdBatch",
                                 "cmdBatLLUSNG", "cmdPMKPoly", "mnuFacilitues", "mnuwildfires", "mnuHurricanes",
                                 "mnuFacAdd", "mnuBatUL", "mnuBatlU", "mnuKML", "mnuAbout"})
            QVERIFY2(f.child<QObject>(name)->property("enabled").toBool(), name);
        for (const char* name : {"Image1", "Image2"}) QVERIFY2(!f.child<QLabel>(name)->pixmap().isNull(), name);
        f.use("mnuAbout");
        auto* about = f.registry.instanceAs<frmAbout>(windowName::frmAbout);
        QVERIFY(about);
        QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        const QStringList messages = f.prompter.messageTexts();
        QCOMPARE(int(messages.size()), 1);
        for (const QString& part : {QStringLiteral("Qt "), QStringLiteral("GDAL "), QStringLiteral("SQLite "),
                                    f.paths.dataDir(), f.paths.logDir()})
            QVERIFY2(messages[0].contains(part), qPrintable(part));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // A job's button, clicked again or after its menu entry, shows the one window there is.
    void aJobHasOneWindowMadeAnewOnlyOnceClosed() {
        Fixture f(true);
        f.showMain();
        const std::tuple<const char*, const char*, QString, const char*> jobs[] = {
            {"cmdPmfire", "cmdPmfire", windowName::frmDBMan, "txtFireName"},
            {"mnuBatUL", "cmdBatLLUSNG", windowName::frmbatLLtoUSNG, nullptr},
            {"mnuFacilitues", "cmdPMfacilities", windowName::wpFac, "txtFacName"},
            {"mnuBatlU", "cmdBatch", windowName::frmdatabase, nullptr}};
        for (const auto& [first, again, name, nameField] : jobs) {
            f.use(first);
            QWidget* window = f.registry.existing(name);
            QVERIFY2(window && window->isVisible(), first);
            // The window opens with the focus in its name field.
            if (nameField) QCOMPARE(window->focusWidget(), window->findChild<QWidget*>(nameField));
            f.use(again);
            QCOMPARE(f.registry.existing(name), window);
        }
        QCOMPARE(StubWindow::made, 4);

        // A window closed by its frame is made anew next time; an unknown one is never made.
        QPointer<QWidget> first = f.registry.show(windowName::wpHcane);
        first->close();
        QTRY_VERIFY(first.isNull());
        QWidget* second = f.registry.show(windowName::wpHcane);
        QVERIFY(second && second->isVisible());
        QCOMPARE(StubWindow::made, 6);
        QVERIFY(!f.registry.show(QStringLiteral("nothing")));
        QVERIFY(!f.registry.isRegistered(QStringLiteral("nothing")));
        QVERIFY(f.registry.unload(QStringLiteral("nothing")));
    }

    // Exit, from the button, the menu or the window frame, unloads the windows
    // in their order (whatever order they were opened in) and ends the program.
    void exitUnloadsTheWindowsInOrderAndEndsTheProgram_data() {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("exit");
        QTest::addColumn<QStringList>("unloaded");
        QTest::newRow("Exit button")
            << QStringList{"cmdPmfire", "cmdPMAddress", "cmdPMHurricanes", "cmdPMfacilities", "wp_ddc_0306"}
            << "cmdPMquit" << QStringList{"wpFac", "wpHcane", "wp_ddc_0306", "frmGEAddress", "frmDBMan", "wp_main"};
        QTest::newRow("Exit menu entry") << QStringList{"mnuFacilitues"} << "mnuExit" << QStringList{"wpFac", "wp_main"};
        QTest::newRow("window frame") << QStringList{"cmdPMfacilities", "cmdPmfire"} << "" << QStringList{"wpFac", "frmDBMan", "wp_main"};
    }
    void exitUnloadsTheWindowsInOrderAndEndsTheProgram() {
        QFETCH(QStringList, opened);
        QFETCH(QString, exit);
        QFETCH(QStringList, unloaded);
        Fixture f(true);
        QPointer<QWidget> main = f.showMain();
        for (const QString& name : opened) {
            if (f.registry.isRegistered(name)) f.registry.show(name);  // a window without a job of its own
            else f.use(name);
        }
        if (exit.isEmpty()) QVERIFY(main->close());  // what the window frame's close button does
        else f.use(exit);
        QCOMPARE(f.unloaded, unloaded);
        QCOMPARE(visibleWindows(), 0);
        QTRY_VERIFY(main.isNull());  // destroyed once the event loop runs
        for (const QString& name : WindowRegistry::unloadOrder()) QVERIFY2(!f.registry.existing(name), qPrintable(name));
    }

    // Windows outside the unload list stay open after Exit until closed; the last closed ends the run.
    void windowsOutsideTheListStayOpenUntilClosed() {
        Fixture f(true);
        f.showMain();
        for (const char* name : {"cmdBatch", "cmdPMKPoly", "mnuAbout", "cmdPMquit"}) f.use(name);
        QCOMPARE(f.unloaded, QStringList({"wp_main"}));
        QCOMPARE(visibleWindows(), 3);  // the program goes on
        for (const QString& name : {windowName::frmdatabase, windowName::kml_firedp_0611, windowName::frmAbout})
            QVERIFY2(f.registry.existing(name) && f.registry.existing(name)->isVisible(), qPrintable(name));
        f.registry.existing(windowName::frmdatabase)->close();
        f.registry.existing(windowName::kml_firedp_0611)->close();
        QCOMPARE(visibleWindows(), 1);
        f.registry.existing(windowName::frmAbout)->close();
        QCOMPARE(visibleWindows(), 0);  // the last window closed ends the run
    }

};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
