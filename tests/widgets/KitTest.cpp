// The window kit: when a field counts as left, the name field's guard, the
// output buttons, the location handshake and long work in the background.

#include "platform/WindowRegistry.h"
#include "support/TestSupport.h"
#include "widgets/BackgroundJob.h"
#include "widgets/FieldExit.h"
#include "widgets/LocationLink.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/OutputButtons.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

using namespace waypost;
using namespace waypost::test;

namespace {

bool activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

/// Stands in for the conversion page: records the caller and hands back what it is given.
struct FakePage final : QWidget, LocationSource {
    void startLocatingFor(QObject* caller, LocationReceiver* receiver, const QString&) override {
        m_caller = caller;
        receiverSeen = receiver;
    }
    QObject* caller() const override { return m_caller.data(); }
    void handBackAgain() override { receiverSeen->receiveLocation(results, SectionHandover::KeptByWindow); }

    QPointer<QObject> m_caller;
    LocationReceiver* receiverSeen = nullptr;
    std::optional<engine::Location> results;
};

}  // namespace

class KitTest : public QObject {
    Q_OBJECT
private slots:
    // A field is left only when another control of its own window takes the
    // focus, not when another window does for a while. A name field refuses every
    // restricted key with the message; its text is cleaned when the field is
    // left, also by a click on the window behind a message box ("Tally Helibase &"):
    // the click's handler sees the cleaned name.
    void fieldsAreLeftOnlyForAnotherControlOfTheirWindowAndNameFieldsAreGuarded() {
        struct {  // a window with a name field, an editable combo box and a button
            QWidget window;
            QLineEdit* name = new QLineEdit(&window);
            QComboBox* combo = new QComboBox(&window);
            QPushButton* button = new QPushButton(&window);
        } f;
        f.combo->setEditable(true);
        ScriptedPrompter prompter;
        new NameFieldGuard(prompter, f.name, &f.window);
        new NameFieldGuard(prompter, f.combo, &f.window);
        QStringList seen;
        auto* exit = new FieldExit(f.combo, &f.window);
        connect(exit, &FieldExit::entered, [&] { seen << "entered"; });
        connect(exit, &FieldExit::left, [&] { seen << "left"; });
        QString nameWhenClicked;
        connect(f.button, &QPushButton::clicked, [&] { nameWhenClicked = f.name->text(); });
        QVERIFY(activate(&f.window));

        f.combo->setFocus(Qt::TabFocusReason);
        f.combo->lineEdit()->setFocus(Qt::OtherFocusReason);  // the combo box's own line edit: the same field
        QWidget box;  // another window takes the focus for a while (a message box) and gives it back
        QVERIFY(activate(&box));
        QVERIFY(activate(&f.window));
        f.button->setFocus(Qt::TabFocusReason);  // only now is the field left, once
        QCOMPARE(seen, (QStringList{"entered", "left"}));

        f.name->setFocus();
        QTest::keyClicks(f.name, QStringLiteral("Bear&Cub\"\'/:<>\\"));
        QCOMPARE(f.name->text(), QStringLiteral("BearCub"));
        QCOMPARE(prompter.messageTexts(), QStringList(8, QStringLiteral("This is a Restricted Character")));
        f.combo->setFocus();
        QTest::keyClicks(f.combo, QStringLiteral("My<Type"));
        QCOMPARE(f.combo->currentText(), QStringLiteral("MyType"));

        f.name->clear();
        f.name->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(f.name, QStringLiteral("Tally Helibase &"));
        QVERIFY(activate(&box));
        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(nameWhenClicked, QStringLiteral("Tally Helibase"));
    }

    // Using one shapefile button turns the other off before the button's own
    // handler runs, and leaves the rest on.
    void outputButtonsGoTogetherAndOneShapefileButtonTurnsTheOtherOff() {
        QWidget window;
        auto *a = new QPushButton(&window), *shp = new QPushButton(&window), *appendShp = new QPushButton(&window);
        OutputButtons buttons({a, shp, appendShp}, shp, appendShp, &window);
        buttons.enable();
        bool otherWasOff = false;
        connect(shp, &QPushButton::clicked, [&] { otherWasOff = !appendShp->isEnabled(); });
        shp->click();
        QVERIFY(otherWasOff);
        QVERIFY(shp->isEnabled() && a->isEnabled());
        buttons.enable();
        appendShp->click();
        QVERIFY(!shp->isEnabled());
    }

    // Opening the page makes the window its caller; hand-backs and coming back copy
    // by one section rule; a cleared location and another caller's results stay out.
    void theLocationLinkHandsOverByOneRule() {
        WindowRegistry registry;
        FakePage* page = nullptr;
        registry.registerWindow(windowName::wp_ddc_0306, [&page] { return page = new FakePage; });
        QWidget window;
        QLabel lat, lon, str;
        LocationLink link(registry, &window, QStringLiteral("wpFac"), {&lat, &lon, nullptr, nullptr, nullptr, nullptr, &str});

        link.open();
        QVERIFY(page);

        // A window that keeps its own section keeps the one found for its point, and only while the point stays.
        engine::Location found = sampleLocation();
        found.section = engine::FoundSection{"T01N R05W S12", found.latitude, found.longitude};
        page->receiverSeen->receiveFoundSection(found);
        page->receiverSeen->receiveLocation(sampleLocation(), SectionHandover::KeptByWindow);
        QCOMPARE(str.text(), QStringLiteral("T01N R05W S12"));

        // Coming back copies by the same rule; the section belongs to another point now.
        engine::Location later = sampleLocation();
        later.latitude = 29;
        page->results = later;
        QVERIFY(activate(&window));
        QCOMPARE(lat.text(), QStringLiteral("29.000000"));
        QCOMPARE(str.text(), QString());

        // A hand-back that carries the section replaces the window's own.
        page->receiverSeen->receiveFoundSection(found);
        page->receiverSeen->receiveLocation(sampleLocation(), SectionHandover::Carried);
        QCOMPARE(str.text(), QString());
        // The page without a location empties the labels.
        page->receiverSeen->receiveLocation(std::nullopt, SectionHandover::Carried);
        QCOMPARE(lat.text(), QString());
        QVERIFY(!link.location());
        page->results = sampleLocation();

        // A cleared location stays cleared; another caller's results never land here.
        QWidget other;
        QVERIFY(activate(&other));
        link.clear();
        QVERIFY(activate(&window));
        QCOMPARE(lat.text(), QString());
        link.open();
        page->m_caller = &other;
        QVERIFY(activate(&other));
        QVERIFY(activate(&window));
        QCOMPARE(lat.text(), QString());
    }

    // Long work runs off the interface thread, its figure shows, its result
    // comes back, and its window cannot be closed meanwhile. (Its failure coming
    // back is the KML window's failed conversion.)
    void aBackgroundJobHandsItsResultBackAndHoldsTheWindow() {
        QWidget window;
        QVERIFY(activate(&window));
        std::atomic<bool> release{false};
        bool refused = false;
        QTimer::singleShot(20, &window, [&] {
            refused = !window.close();
            release = true;
        });
        std::vector<std::int64_t> shown;
        const std::optional<bool> offThread = BackgroundJob::run<bool>(
            &window, [&](std::int64_t done) { shown.push_back(done); },
            [&](JobProgress& done) {
                done = 7;
                while (!release) QThread::msleep(5);
                return QThread::currentThread() != qApp->thread();
            });
        QCOMPARE(offThread, std::optional<bool>(true));
        QVERIFY(refused);  // close() said the window stayed open
        QCOMPARE(shown.back(), 7);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(window.close());  // closes again once the job is over
    }
};

QTEST_MAIN(KitTest)
#include "KitTest.moc"
