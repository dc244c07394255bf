#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "shell/frmAbout.h"
#include "shell/wp_main.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace waypost;

namespace {

/// A stand-in for a job window in these tests: a name field to focus, and a
/// count of how many were ever made.
class StubWindow : public QWidget {
public:
    explicit StubWindow(const QString& nameField) {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLineEdit(this));
        auto* name = new QLineEdit(this);
        name->setObjectName(nameField);
        layout->addWidget(name);
        ++made;
    }
    static inline int made = 0;
};

/// The program runs on while one of its windows is visible.
int visibleWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow()) ++n;
    return n;
}

}  // namespace

class ShellTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::TestServices {
        WindowRegistry registry;
        QStringList unloaded;

        /// The program's windows, plus stand-ins for every job window.
        explicit Fixture(bool withJobs) {
            QObject::connect(&registry, &WindowRegistry::windowUnloaded,
                             [this](const QString& name) { unloaded << name; });
            registerWindows(registry, services);
            if (withJobs) {
                registry.registerWindow(windowName::wpFac, [] { return new StubWindow("txtFacName"); },
                                        QStringLiteral("txtFacName"));
                registry.registerWindow(windowName::frmDBMan, [] { return new StubWindow("txtFireName"); },
                                        QStringLiteral("txtFireName"));
                for (const QString& name : {windowName::wpHcane, windowName::wp_ddc_0306, windowName::frmGEAddress,
                                            windowName::kml_firedp_0611, windowName::frmdatabase,
                                            windowName::frmbatLLtoUSNG})
                    registry.registerWindow(name, [] { return new StubWindow("txtName"); });
            }
        }
        wp_main* main() { return registry.instanceAs<wp_main>(windowName::wp_main); }
        /// A control of the main window; a name it lacks stops the test run with that name.
        template <class T>
        T* child(const char* name) {
            auto* control = main()->findChild<T*>(QString::fromLatin1(name));
            if (!control) qFatal("the main window has no %s", name);
            return control;
        }
    };

private slots:
    void init() { StubWindow::made = 0; }

    void jobsWithoutTheirWindowAreDisabled() {
        Fixture f(false);
        QVERIFY(f.registry.show(windowName::wp_main));
        // Every job of the program has its window.
        for (const char* name : {"cmdPMfacilities", "cmdPmfire", "cmdPMHurricanes", "cmdPMAddress", "cmdBatch",
                                 "cmdBatLLUSNG", "cmdPMKPoly"})
            QVERIFY2(f.child<QPushButton>(name)->isEnabled(), name);
        for (const char* name : {"mnuFacilitues", "mnuwildfires", "mnuHurricanes", "mnuFacAdd", "mnuBatUL", "mnuBatlU",
                                 "mnuKML"})
            QVERIFY2(f.child<QAction>(name)->isEnabled(), name);
        QVERIFY(f.child<QPushButton>("cmdPMquit")->isEnabled());
        QVERIFY(f.child<QAction>("mnuExit")->isEnabled());
        QVERIFY(f.child<QAction>("mnuAbout")->isEnabled());
        // The pictures come from the resources.
        for (const char* name : {"Image1", "Image2"}) QVERIFY2(!f.child<QLabel>(name)->pixmap().isNull(), name);
    }

    // A job's button, clicked again or after its menu entry, shows the one window there is.
    void aJobHasOneWindow() {
        Fixture f(true);
        f.registry.show(windowName::wp_main);
        auto* fire = f.child<QPushButton>("cmdPmfire");
        QTest::mouseClick(fire, Qt::LeftButton);
        QWidget* first = f.registry.existing(windowName::frmDBMan);
        QVERIFY(first && first->isVisible());
        QTest::mouseClick(fire, Qt::LeftButton);
        QCOMPARE(f.registry.existing(windowName::frmDBMan), first);
        QCOMPARE(StubWindow::made, 1);
        // The wildfire window opens with the focus in its name field.
        QCOMPARE(first->focusWidget(), first->findChild<QWidget*>("txtFireName"));
        QVERIFY(!first->isModal());

        f.child<QAction>("mnuBatUL")->trigger();
        QWidget* fromMenu = f.registry.existing(windowName::frmbatLLtoUSNG);
        QVERIFY(fromMenu);
        QTest::mouseClick(f.child<QPushButton>("cmdBatLLUSNG"), Qt::LeftButton);
        QCOMPARE(f.registry.existing(windowName::frmbatLLtoUSNG), fromMenu);

        f.child<QAction>("mnuFacilitues")->trigger();
        QWidget* fac = f.registry.existing(windowName::wpFac);
        QVERIFY(fac);
        QCOMPARE(fac->focusWidget(), fac->findChild<QWidget*>("txtFacName"));
        QTest::mouseClick(f.child<QPushButton>("cmdPMfacilities"), Qt::LeftButton);
        QCOMPARE(f.registry.existing(windowName::wpFac), fac);
        f.child<QAction>("mnuBatlU")->trigger();
        QTest::mouseClick(f.child<QPushButton>("cmdBatch"), Qt::LeftButton);
        QCOMPARE(StubWindow::made, 4);
    }

    void exitUnloadsTheWindowsInOrderAndEndsTheProgram() {
        Fixture f(true);
        f.registry.show(windowName::wp_main);
        // Opened in another order than the unloading order.
        for (const char* name : {"cmdPmfire", "cmdPMAddress", "cmdPMHurricanes", "cmdPMfacilities"})
            QTest::mouseClick(f.child<QPushButton>(name), Qt::LeftButton);
        f.registry.show(windowName::wp_ddc_0306);
        QPointer<QWidget> main = f.main();
        QTest::mouseClick(f.child<QPushButton>("cmdPMquit"), Qt::LeftButton);
        QCOMPARE(f.unloaded, QStringList({"wpFac", "wpHcane", "wp_ddc_0306", "frmGEAddress", "frmDBMan", "wp_main"}));
        QCOMPARE(visibleWindows(), 0);
        QTRY_VERIFY(main.isNull());  // destroyed once the event loop runs
        for (const QString& name : WindowRegistry::unloadOrder())
            QVERIFY2(!f.registry.existing(name), qPrintable(name));
    }

    void exitWithOnlyTheFacilitiesWindowOpenClosesBoth() {
        Fixture f(true);
        f.registry.show(windowName::wp_main);
        f.child<QAction>("mnuFacilitues")->trigger();
        f.child<QAction>("mnuExit")->trigger();
        QCOMPARE(f.unloaded, QStringList({"wpFac", "wp_main"}));
        QCOMPARE(visibleWindows(), 0);
        QVERIFY(!f.registry.existing(windowName::wpFac));
    }

    void closingTheFrameBehavesLikeExit() {
        Fixture f(true);
        QPointer<QWidget> main = f.registry.show(windowName::wp_main);
        QTest::mouseClick(f.child<QPushButton>("cmdPMfacilities"), Qt::LeftButton);
        QTest::mouseClick(f.child<QPushButton>("cmdPmfire"), Qt::LeftButton);
        QVERIFY(main->close());  // what the window frame's close button does
        QCOMPARE(f.unloaded, QStringList({"wpFac", "frmDBMan", "wp_main"}));
        QCOMPARE(visibleWindows(), 0);
        QTRY_VERIFY(main.isNull());
        QVERIFY(!f.registry.existing(windowName::wp_main));
    }

    void windowsOutsideTheListStayOpenUntilClosed() {
        Fixture f(true);
        f.registry.show(windowName::wp_main);
        QTest::mouseClick(f.child<QPushButton>("cmdBatch"), Qt::LeftButton);
        QTest::mouseClick(f.child<QPushButton>("cmdPMKPoly"), Qt::LeftButton);
        f.child<QAction>("mnuAbout")->trigger();
        QTest::mouseClick(f.child<QPushButton>("cmdPMquit"), Qt::LeftButton);
        QCOMPARE(f.unloaded, QStringList({"wp_main"}));
        QCOMPARE(visibleWindows(), 3);  // the program goes on
        for (const QString& name : {windowName::frmdatabase, windowName::kml_firedp_0611, windowName::frmAbout}) {
            QVERIFY2(f.registry.existing(name) && f.registry.existing(name)->isVisible(), qPrintable(name));
        }
        f.registry.existing(windowName::frmdatabase)->close();
        f.registry.existing(windowName::kml_firedp_0611)->close();
        QCOMPARE(visibleWindows(), 1);
        f.registry.existing(windowName::frmAbout)->close();
        QCOMPARE(visibleWindows(), 0);  // the last window closed ends the run
    }

    void aWindowClosedByItsFrameIsMadeAnewNextTime() {
        Fixture f(true);
        QPointer<QWidget> first = f.registry.show(windowName::wpHcane);
        first->close();
        QTRY_VERIFY(first.isNull());
        QWidget* second = f.registry.show(windowName::wpHcane);
        QVERIFY(second);
        QCOMPARE(StubWindow::made, 2);
        QVERIFY(second->isVisible());
    }

    void unknownWindowsAreNotCreated() {
        WindowRegistry registry;
        QVERIFY(!registry.show(QStringLiteral("nothing")));
        QVERIFY(!registry.isRegistered(QStringLiteral("nothing")));
        QVERIFY(registry.unload(QStringLiteral("nothing")));
    }

    void aboutShowsVersionsAndFolders() {
        Fixture f(false);
        f.registry.show(windowName::wp_main);
        f.child<QAction>("mnuAbout")->trigger();
        auto* about = f.registry.instanceAs<frmAbout>(windowName::frmAbout);
        QVERIFY(about);
        QVERIFY(about->findChild<QLabel*>("lblDisclaimer")->text().contains(QStringLiteral("checked")));
        QVERIFY(about->findChild<QLabel*>("lblVersion")->text().startsWith(QStringLiteral("Version ")));
        QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        const auto messages = f.prompter.messages();
        QCOMPARE(int(messages.size()), 1);
        QCOMPARE(messages[0].title, QStringLiteral("System Info"));
        for (const QString& part : {QStringLiteral("Qt "), QStringLiteral("GDAL "), QStringLiteral("SQLite "),
                                    f.paths.dataDir(), f.paths.logDir()})
            QVERIFY2(messages[0].text.contains(part), qPrintable(part));
        QVERIFY(f.prompter.unexpected().isEmpty());
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
