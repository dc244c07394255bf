#include "features/FieldRules.h"

#include "output/RecordFile.h"

#include <QFileInfo>
#include <QLabel>
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
