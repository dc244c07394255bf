#pragma once
// What a key press would type into a text field, as the page's key filters see it.

#include <optional>

class QKeyEvent;

namespace waypost {

/// The character code that \p event types into a text field, or std::nullopt
/// when it types none there: Tab and Backtab (they move the focus), the
/// navigation keys (arrows, Home, End, Page Up/Down), Delete, lone modifiers,
/// and the editing shortcuts (copy, cut, paste, select all, undo, redo), whose
/// resulting text goes through the same checks as typed text.
[[nodiscard]] std::optional<char16_t> typedCharacter(const QKeyEvent& event);

}  // namespace waypost
