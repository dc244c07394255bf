#include "widgets/EnableChecks.h"

#include <QWidget>

namespace waypost {

std::optional<Requirement> firstUnmet(const std::vector<Requirement>& requirements) {
    for (const Requirement& r : requirements)
        if (!r.met) return r;
    return std::nullopt;
}

bool passEnableChecks(Prompter& prompter, QWidget* window, const std::vector<Requirement>& requirements) {
    const auto unmet = firstUnmet(requirements);
    if (!unmet) return true;
    prompter.message(unmet->message);
    if (auto* target = window->findChild<QWidget*>(unmet->focus)) target->setFocus();
    return false;
}

}  // namespace waypost
