#include "features/FieldRules.h"

#include "output/RecordFile.h"
#include "output/TextCleaning.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace waypost {

bool isRestrictedCharacter(QChar c) {
    switch (c.unicode()) {
    case u'"':
    case u'&':
    case u'\'':
    case u'/':
    case u':':
    case u'<':
    case u'>':
    case u'\\': return true;
    default: return false;
    }
}

void setButtonColour(QPushButton* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

void setLabelBackground(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

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

bool FocusNotifier::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) m_onFocus();
    return QObject::eventFilter(watched, event);
}

std::optional<QString> chooseNewOutput(Prompter& prompter, const Prompter::FileDialog& dialog, const QString& prefix) {
    auto chosen = prompter.saveFile(dialog);
    if (!chosen) return std::nullopt;
    *chosen = withDefaultExtension(*chosen, dialog.defaultExtension);
    QString path = prefixedPath(*chosen, prefix);
    if (QFileInfo(path).size() > 0) {
        const auto answer = prompter.question(QStringLiteral("File Already Exists  - Overwrite?"),
                                              QStringLiteral("File Exists"), Prompter::Icon::Critical,
                                              Prompter::Answer::No);
        if (answer != Prompter::Answer::Yes) {
            chosen = prompter.saveFile(dialog);
            if (!chosen) return std::nullopt;
            *chosen = withDefaultExtension(*chosen, dialog.defaultExtension);
            path = prefixedPath(*chosen, prefix);
        }
    }
    return path;
}

}  // namespace waypost
