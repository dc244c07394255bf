#pragma once
// What the conversion page tests share: a page with scripted prompts, shown
// and active offscreen, a receiver that records every hand-back, and helpers
// to type into fields the way a user does.

#include "conversion/wp_ddc_0306.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QClipboard>
#include <QRadioButton>

#include <memory>
#include <vector>

namespace waypost::testing {

/// One hand-back as a calling window received it (which section handover it came
/// with shows in the section it holds).
struct Handed {
    std::optional<engine::Location> location;
    QString latitude() const { return location ? QString::fromStdString(location->latitudeText()) : QString(); }
    QString longitude() const { return location ? QString::fromStdString(location->longitudeText()) : QString(); }
    QString section_() const { return location ? QString::fromStdString(location->sectionText()) : QString(); }
};

/// A calling window of the tests: it keeps every location it receives.
class RecordingReceiver : public QWidget, public LocationReceiver {
public:
    void receiveLocation(const std::optional<engine::Location>& location, SectionHandover) override {
        received.push_back({location});
    }
    void receiveFoundSection(const engine::Location& location) override { foundSections.push_back(location); }
    std::vector<Handed> received;
    std::vector<engine::Location> foundSections;
};

struct PageFixture : test::TestServices, test::WindowControls {
    /// A page whose program data (databases) lies in \p dataDir.
    explicit PageFixture(const QString& dataDir = QStringLiteral(WAYPOST_SOURCE_DIR "/data")) : TestServices(dataDir) {
        setWindow(page.get());
    }

    std::unique_ptr<wp_ddc_0306> page = std::make_unique<wp_ddc_0306>(services);

    /// Shows the page and makes it the active window, so that focus moves as it does for a user.
    bool show() const { return activate(); }
    /// Shows the page and clicks the given options in turn (a notation, then directions).
    template <class... Names>
    bool choose(const Names&... options) const { return show() && ((click(options), true) && ...); }
    /// Clicks an option or button without moving the focus (as the page's own code would).
    void click(const char* name) const { child<QAbstractButton>(name)->click(); }
    /// Clicks a button with the mouse: the focus moves to it first.
    void mouseClick(const char* name) const { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }

    /// Puts the focus into a field as a Tab would (the field's text gets selected),
    /// then types \p keys into it.
    void typeInto(const char* name, const QString& keys) const {
        edit(name)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit(name), keys);
    }
    /// Types key by key into whatever has the focus, following it as full fields hand it on.
    void typeOn(const QString& keys) const {
        for (const QChar key : keys) QTest::keyClicks(QApplication::focusWidget(), QString(key));
    }
    /// Types into several fields in turn, each given as "field=keys".
    void typeAll(const QStringList& typing) const {
        for (const QString& entry : typing)
            typeInto(qPrintable(entry.section(QLatin1Char('='), 0, 0)), entry.section(QLatin1Char('='), 1));
    }
    /// Pastes \p text with Ctrl+V over the whole text of a field, entered as a Tab would.
    void paste(const char* name, const QString& text) const {
        QGuiApplication::clipboard()->setText(text);
        edit(name)->setFocus(Qt::TabFocusReason);
        edit(name)->selectAll();
        QTest::keyClick(edit(name), Qt::Key_V, Qt::ControlModifier);
    }
    /// What the named labels and fields show.
    QStringList texts(QStringList names) const {
        for (QString& name : names) name = text(qPrintable(name));
        return names;
    }
    /// The named controls that are enabled.
    QStringList enabled(QStringList names) const {
        names.removeIf([this](const QString& name) { return !child(qPrintable(name))->isEnabled(); });
        return names;
    }
    /// Presses Tab in the focused control.
    void tab() const { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    QString focusName() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
};

}  // namespace waypost::testing
