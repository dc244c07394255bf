#pragma once
// What every window test does to its window: find a control by its name,
// click it as a person would, read what a label or field shows.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

namespace waypost::test {

/// Shows \p window and makes it the active one, so that focus moves as it does for a person.
inline bool activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

/// The controls of one window, by their object names. A name the window lacks
/// stops the test run with that name.
class WindowControls {
public:
    template <class T = QWidget>
    T* child(const char* name) const {
        auto* w = m_window ? m_window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) const { return child<QLineEdit>(name); }
    /// The text a label or a field shows.
    QString text(const char* name) const {
        if (auto* label = qobject_cast<QLabel*>(child(name))) return label->text();
        return edit(name)->text();
    }
    /// A button is clicked with the mouse (the focus moves to it first); an
    /// option or a tick box, which a click in its middle may miss, is clicked directly.
    void click(const char* name) const {
        auto* button = child<QAbstractButton>(name);
        if (qobject_cast<QPushButton*>(button)) QTest::mouseClick(button, Qt::LeftButton);
        else button->click();
    }
    /// Shows the window and makes it the active one.
    bool activate() const { return test::activate(m_window); }

protected:
    void setWindow(QWidget* window) { m_window = window; }

private:
    QWidget* m_window = nullptr;
};

}  // namespace waypost::test
