#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "shell/frmAbout.h"
#include "shell/wp_main.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace waypost;

namespace {

/// A stand-in for a job window in these tests: a name field to focus (second
/// in the focus chain), and a count of how many were ever made.
class StubWindow : public QWidget {
public:
    StubWindow() {
        new QLineEdit(this);
        (new QLineEdit(this))->setObjectName(QStringLiteral("txtName"));
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
    /// The program's windows, plus stand-ins for every job window; the main window shown, its controls at hand.
    struct Fixture : test::TestServices, test::WindowControls {
        WindowRegistry registry;
        QStringList unloaded;
        QPointer<QWidget> main;

        explicit Fixture(bool withJobs) {
            QObject::connect(&registry, &WindowRegistry::windowUnloaded, [this](const QString& name) { unloaded << name; });
            registerWindows(registry, services);
            for (const QString& name : {windowName::wpFac, windowName::frmDBMan, windowName::wpHcane,
                                        windowName::wp_ddc_0306, windowName::frmGEAddress, windowName::kml_firedp_0611,
                                        windowName::frmdatabase, windowName::frmbatLLtoUSNG})
                if (withJobs) registry.registerWindow(name, [] { return new StubWindow; }, QStringLiteral("txtName"));
            main = registry.show(windowName::wp_main);
            setWindow(main);
        }
        /// A button clicked or a menu entry chosen, by its name.
        void use(const QString& name) {
            if (name.startsWith(u"mnu")) child<QAction>(qPrintable(name))->trigger();
            else click(qPrintable(name));
        }
    };

private slots:
    void init() { StubWindow::made = 0; }

    // Every job of the program has its window, and About's system information
    // tells the libraries and the folders.
    void everyJobIsEnabledAndAboutTellsLibrariesAndFolders() {
        Fixture f(false);
        // The other buttons and entries open their windows in the tests below.
        for (const char* name : {"cmdBatLLUSNG", "mnuwildfires", "mnuHurricanes", "mnuFacAdd", "mnuKML"})
            QVERIFY2(f.child<QObject>(name)->property("enabled").toBool(), name);
        f.use("mnuAbout");
        auto* about = f.registry.instanceAs<frmAbout>(windowName::frmAbout);
        QVERIFY(about);
        QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        const QString told = f.prompter.messageTexts().value(0);
        for (const QString& part : {QStringLiteral("Qt "), QStringLiteral("GDAL "), QStringLiteral("SQLite "),
                                    f.paths.dataDir(), f.paths.logDir()})
            QVERIFY2(told.contains(part), qPrintable(part));
    }

    // A job's button, clicked again or after its menu entry, shows the one window there is.
    void aJobHasOneWindowMadeAnewOnlyOnceClosed() {
        Fixture f(true);
        const std::tuple<const char*, const char*, QString> jobs[] = {
            {"cmdPmfire", "cmdPmfire", windowName::frmDBMan}, {"mnuBatUL", "cmdBatLLUSNG", windowName::frmbatLLtoUSNG},
            {"mnuFacilitues", "cmdPMfacilities", windowName::wpFac}, {"mnuBatlU", "cmdBatch", windowName::frmdatabase}};
        for (const auto& [first, again, name] : jobs) {
            f.use(first);
            QWidget* window = f.registry.existing(name);
            QVERIFY2(window && window->isVisible(), first);
            // The window opens with the focus in its name field.
            QCOMPARE(window->focusWidget(), window->findChild<QWidget*>(QStringLiteral("txtName")));
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
        QVERIFY(f.registry.unload(QStringLiteral("nothing")));
    }

    // Exit, from the button, the menu or the window frame, unloads the windows
    // in their order (whatever order they were opened in) and ends the program;
    // windows outside the unload list stay open, and the program with them.
    void exitUnloadsTheWindowsInOrderAndEndsTheProgram_data() {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("exit");
        QTest::addColumn<QStringList>("unloaded");
        QTest::addColumn<int>("staying");
        QTest::newRow("Exit menu entry")
            << QStringList{"cmdPmfire", "cmdPMAddress", "cmdPMHurricanes", "cmdPMfacilities", "wp_ddc_0306"}
            << "mnuExit" << QStringList{"wpFac", "wpHcane", "wp_ddc_0306", "frmGEAddress", "frmDBMan", "wp_main"} << 0;
        QTest::newRow("window frame")
            << QStringList{"cmdPMfacilities", "cmdPmfire"} << "" << QStringList{"wpFac", "frmDBMan", "wp_main"} << 0;
        QTest::newRow("Exit button, windows outside the list")
            << QStringList{"cmdBatch", "cmdPMKPoly", "mnuAbout"} << "cmdPMquit" << QStringList{"wp_main"} << 3;
    }
    void exitUnloadsTheWindowsInOrderAndEndsTheProgram() {
        QFETCH(QStringList, opened);
        QFETCH(QString, exit);
        QFETCH(QStringList, unloaded);
        QFETCH(int, staying);
        Fixture f(true);
        for (const QString& name : opened) {
            if (f.registry.isRegistered(name)) f.registry.show(name);  // a window without a job of its own
            else f.use(name);
        }
        if (exit.isEmpty()) QVERIFY(f.main->close());  // what the window frame's close button does
        else f.use(exit);
        QCOMPARE(f.unloaded, unloaded);
        QCOMPARE(visibleWindows(), staying);
        QTRY_VERIFY(f.main.isNull());  // destroyed once the event loop runs
        for (const QString& name : WindowRegistry::unloadOrder()) QVERIFY2(!f.registry.existing(name), qPrintable(name));
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
