#include "widgets/NameFieldGuard.h"

#include "output/TextCleaning.h"
#include "widgets/FieldExit.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

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

NameFieldGuard::NameFieldGuard(Prompter& prompter, QWidget* field, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_field(field) {
    field->installEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
    QLineEdit* edit = qobject_cast<QLineEdit*>(field);
    if (auto* combo = qobject_cast<QComboBox*>(field)) edit = combo->lineEdit();
    if (edit) connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) { refusePasted(edit, text); });
    auto* exit = new FieldExit(field, this);
    connect(exit, &FieldExit::entered, this, &NameFieldGuard::focused);
    connect(exit, &FieldExit::left, this, &NameFieldGuard::clean);
}

void NameFieldGuard::refusePasted(QLineEdit* edit, const QString& text) {
    // Typed keys are refused before they land; a paste lands whole, so the
    // characters no key could type (control characters, which no KML can
    // hold) are taken out again. The restricted ones are cleaned on leaving.
    QString kept = xmlCharactersOnly(text);
    kept.removeIf([](QChar c) { return c == u'\t' || c == u'\n' || c == u'\r'; });
    if (kept == text) return;
    const int cursor = edit->cursorPosition() - static_cast<int>(text.size() - kept.size());
    edit->setText(kept);
    edit->setCursorPosition(std::max(0, cursor));
    m_prompter.message(QStringLiteral("This is a Restricted Character"), QStringLiteral("Input Error"),
                       Prompter::Icon::Warning);
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
    if (event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && isRestrictedCharacter(text[0])) {
            m_prompter.message(QStringLiteral("This is a Restricted Character"), QStringLiteral("Input Error"),
                               Prompter::Icon::Warning);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace waypost
