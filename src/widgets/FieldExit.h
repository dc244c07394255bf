#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace waypost {

/// The one rule for when a field is entered and left, for every window.
///
/// A field is left when the keyboard focus moves to another control of the
/// same window, whatever moved it (Tab, a click, a mnemonic). A message box, a
/// combo box's own list or another window taking the focus for a while is not
/// leaving. But the focus may also move inside a window while that window is
/// not active (a click on a button of a window behind a message box): then the
/// field is left when that window's focus or a click lands on another control
/// of it, before the click is handled. A combo box and its own line edit count
/// as one field.
class FieldExit final : public QObject {
    Q_OBJECT
public:
    /// Watches \p field; owned by \p parent.
    FieldExit(QWidget* field, QObject* parent);

signals:
    /// The focus came to the field from another control of its window.
    void entered();
    /// The field was left for another control of its window.
    void left();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holds(const QObject* object) const;
    bool isOtherControlOfWindow(const QObject* object) const;
    void leave();
    void setPending(bool pending);

    QPointer<QWidget> m_field;
    bool m_inside = false;   ///< the field holds its window's focus
    bool m_pending = false;  ///< the focus went to another window for a while
};

}  // namespace waypost
