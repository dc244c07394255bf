#pragma once
// What the conversion page tests share: a page with scripted prompts, shown
// and active offscreen, a receiver that records every hand-back, and helpers
// to type into fields the way a user does.

#include "conversion/wp_ddc_0306.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <vector>

namespace waypost::testing {

/// A calling window of the tests: it keeps every location it receives.
class RecordingReceiver : public QWidget, public LocationReceiver {
public:
    void receiveLocation(const LocationTexts& location) override { received.push_back(location); }
    void receiveFoundSection(const QString& utm, const QString& section) override {
        foundSections.emplace_back(utm, section);
    }
    std::vector<LocationTexts> received;
    std::vector<std::pair<QString, QString>> foundSections;
};

struct PageFixture : test::TestServices, test::WindowControls {
    PageFixture() { setWindow(page.get()); }
    /// A page whose program data (databases) lies in \p dataDir.
    explicit PageFixture(const QString& dataDir) : TestServices(dataDir) { setWindow(page.get()); }

    std::unique_ptr<wp_ddc_0306> page = std::make_unique<wp_ddc_0306>(services);

    /// Shows the page and makes it the active window, so that focus moves as it does for a user.
    bool show() const { return activate(); }

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
    /// Presses Tab in the focused control.
    void tab() const { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    QString focusName() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
};

}  // namespace waypost::testing
