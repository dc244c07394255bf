#include "features/NameFieldGuard.h"

#include "features/FieldRules.h"
#include "output/TextCleaning.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace waypost {

NameFieldGuard::NameFieldGuard(Prompter& prompter, QWidget* field, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_field(field) {
    field->installEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
}

void NameFieldGuard::clean() {
    if (auto* edit = qobject_cast<QLineEdit*>(m_field)) {
        const QString cleaned = fncXMLchk(edit->text());
        if (cleaned != edit->text()) edit->setText(cleaned);
    } else if (auto* combo = qobject_cast<QComboBox*>(m_field)) {
        const QString cleaned = fncXMLchk(combo->currentText());
        if (cleaned != combo->currentText()) combo->setEditText(cleaned);
    }
}

bool NameFieldGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1 && isRestrictedCharacter(text[0])) {
            m_prompter.message(QStringLiteral("This is a Restricted Character"), QStringLiteral("Input Error"),
                               Prompter::Icon::Warning);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        // The combo box and its line edit both see the focus; tell once.
        if (watched == m_field || !qobject_cast<QComboBox*>(m_field)) emit focused();
        break;
    case QEvent::FocusOut: {
        // Moving between the combo box and its own line edit is not leaving it.
        // Leaving the field, not a message box or another window taking the focus for a while.
        auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() == Qt::PopupFocusReason || focus->reason() == Qt::ActiveWindowFocusReason) break;
        if (watched == m_field || !qobject_cast<QComboBox*>(m_field)) clean();
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace waypost
