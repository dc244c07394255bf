#pragma once
// What the conversion page tests share: a page with scripted prompts, shown
// and active offscreen, a receiver that records every hand-back, and helpers
// to type into fields the way a user does.

#include "conversion/wp_ddc_0306.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QRadioButton>

#include <memory>
#include <vector>

namespace waypost::testing {

/// One hand-back as a calling window received it.
struct Handed {
    std::optional<engine::Location> location;
    SectionHandover section = SectionHandover::Carried;
    static QString text(const std::string& s) { return QString::fromStdString(s); }
    QString latitude() const { return location ? text(location->latitudeText()) : QString(); }
    QString longitude() const { return location ? text(location->longitudeText()) : QString(); }
    QString usng() const { return location ? text(location->usng) : QString(); }
    QString section_() const { return location ? text(location->sectionText()) : QString(); }
};

/// A calling window of the tests: it keeps every location it receives.
class RecordingReceiver : public QWidget, public LocationReceiver {
public:
    void receiveLocation(const std::optional<engine::Location>& location, SectionHandover section) override {
        received.push_back({location, section});
    }
    void receiveFoundSection(const engine::Location& location) override { foundSections.push_back(location); }
    std::vector<Handed> received;
    std::vector<engine::Location> foundSections;
};

struct PageFixture : test::TestServices, test::WindowControls {
    PageFixture() { setWindow(page.get()); }
    /// A page whose program data (databases) lies in \p dataDir.
    explicit PageFixture(const QString& dataDir) : TestServices(dataDir) { setWindow(page.get()); }

    std::unique_ptr<wp_ddc_0306> page = std::make_unique<wp_ddc_0306>(services);

    /// Shows the page and makes it the active window, so that focus moves as it does for a user.
    bool show() const { return activate(); }
    /// Shows the page and clicks the given options in turn (a notation, then directions).
    template <class... Names>
    bool choose(const Names&... options) const {
        if (!show()) return false;
        (click(options), ...);
        return true;
    }

    QLineEdit* field(const char* name) const { return edit(name); }

    /// Clicks an option or button without moving the focus (as the page's own code would).
    void click(const char* name) const { child<QAbstractButton>(name)->click(); }

    /// Clicks a button with the mouse: the focus moves to it first.
    void mouseClick(const char* name) const {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }

    /// Puts the focus into a field as a Tab would (the field's text gets selected),
    /// then types \p keys into it.
    void typeInto(const char* name, const QString& keys) const {
        QLineEdit* edit = field(name);
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, keys);
    }
    /// Types into whatever has the focus.
    void typeOn(const QString& keys) const { QTest::keyClicks(QApplication::focusWidget(), keys); }
    /// Types into several fields in turn, each given as "field=keys".
    void typeAll(const QStringList& typing) const {
        for (const QString& entry : typing)
            typeInto(qPrintable(entry.section(QLatin1Char('='), 0, 0)), entry.section(QLatin1Char('='), 1));
    }
    /// What the named labels and fields show.
    QStringList texts(const QStringList& names) const {
        QStringList shown;
        for (const QString& name : names) shown << text(qPrintable(name));
        return shown;
    }
    /// The named controls that are enabled.
    QStringList enabled(const QStringList& names) const {
        QStringList on;
        for (const QString& name : names)
            if (child(qPrintable(name))->isEnabled()) on << name;
        return on;
    }
    /// Presses Tab in the focused control.
    void tab() const { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    QString focusName() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
};

}  // namespace waypost::testing
