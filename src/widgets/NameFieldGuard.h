#pragma once

#include "platform/Prompter.h"

#include <QObject>

class QLineEdit;
class QWidget;

namespace waypost {

/// The keys a name field refuses: " & ' / : < > and backslash.
bool isRestrictedCharacter(QChar c);

/// Watches a name field (a line edit or an editable combo box): refuses the
/// restricted characters with "This is a Restricted Character", cleans the
/// text with fncXMLchk when the field is left (FieldExit's rule), and tells
/// the window when the field is entered (so the outputs can be disabled).
class NameFieldGuard final : public QObject {
    Q_OBJECT
public:
    NameFieldGuard(Prompter& prompter, QWidget* field, QObject* parent);

signals:
    void focused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clean();
    void refusePasted(QLineEdit* edit, const QString& text);

    Prompter& m_prompter;
    QWidget* m_field;
};

}  // namespace waypost
