#pragma once
// Which results the conversion page hands to which calling window.

#include "platform/WindowRegistry.h"
#include "widgets/LocationReceiver.h"

#include <QString>

#include <optional>

namespace waypost::conversion {

/// What the caller named \p caller receives of the page's results \p page:
/// the wildfire window ("frmDBMan") everything, the facilities ("wpFac") and
/// hurricane ("wpHcane") windows everything but the township/range/section
/// text, any other name nothing (std::nullopt).
[[nodiscard]] std::optional<LocationTexts> handBackFor(const QString& caller, const LocationTexts& page);

/// Whether the caller named \p caller gets the result of "Find STR" copied:
/// the wildfire and facilities windows do, any other does not.
[[nodiscard]] bool receivesFoundSection(const QString& caller);

}  // namespace waypost::conversion
