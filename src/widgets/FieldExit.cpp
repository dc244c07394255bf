#include "widgets/FieldExit.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QWidget>

namespace waypost {

FieldExit::FieldExit(QWidget* field, QObject* parent) : QObject(parent), m_field(field) {
    field->installEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
}

bool FieldExit::holds(const QObject* object) const {
    for (const QObject* o = object; o; o = o->parent())
        if (o == m_field) return true;
    return false;
}

bool FieldExit::isOtherControlOfWindow(const QObject* object) const {
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && m_field && widget->window() == m_field->window() && !holds(widget);
}

void FieldExit::setPending(bool pending) {
    if (pending == m_pending) return;
    m_pending = pending;
    // Only while the field waits to know whether it was left does it look at
    // what happens elsewhere in the program.
    if (pending) qApp->installEventFilter(this);
    else qApp->removeEventFilter(this);
}

void FieldExit::leave() {
    setPending(false);
    if (!m_inside) return;
    m_inside = false;
    emit left();
}

bool FieldExit::eventFilter(QObject* watched, QEvent* event) {
    if (holds(watched)) {
        if (event->type() == QEvent::FocusIn) {
            setPending(false);
            const bool returning = static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason;
            if (!m_inside) {
                m_inside = true;
                if (!returning) emit entered();
            }
        } else if (event->type() == QEvent::FocusOut && m_inside) {
            // By now the application's focus is where it went.
            QWidget* now = QApplication::focusWidget();
            if (holds(now)) return false;
            if (isOtherControlOfWindow(now)) leave();
            else setPending(true);
        }
        return false;
    }
    if (!m_pending) return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (isOtherControlOfWindow(watched)) leave();
        break;
    case QEvent::MouseButtonPress: {
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (isOtherControlOfWindow(widget) && widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus))
            leave();
        break;
    }
    default: break;
    }
    return false;
}

}  // namespace waypost
