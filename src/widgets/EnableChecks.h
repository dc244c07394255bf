#pragma once
// The checks that stand before a window's outputs: the first missing field
// stops them with its message and takes the focus.

#include "platform/Prompter.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;

namespace waypost {

/// One check: whether the field holds what it must, the message when it does
/// not, and the control (by object name) that then gets the focus.
struct Requirement {
    bool met = false;
    QString message;
    QString focus;
};

/// The first requirement that is not met, in order; std::nullopt when all are.
std::optional<Requirement> firstUnmet(const std::vector<Requirement>& requirements);

/// Runs the checks in \p window: the first unmet one shows its message (the
/// application title, no icon) and moves the focus. True when all are met.
bool passEnableChecks(Prompter& prompter, QWidget* window, const std::vector<Requirement>& requirements);

}  // namespace waypost
