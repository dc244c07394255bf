#include "widgets/TypedKey.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace waypost {

std::optional<char16_t> typedCharacter(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return std::nullopt;
    default:
        break;
    }
    for (const auto shortcut : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll,
                                QKeySequence::Undo, QKeySequence::Redo})
        if (event.matches(shortcut)) return std::nullopt;
    const QString text = event.text();
    if (text.isEmpty()) return std::nullopt;
    return text.front().unicode();
}

}  // namespace waypost
