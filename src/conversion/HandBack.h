#pragma once
// Which results the conversion page hands to which calling window.

#include "platform/WindowRegistry.h"
#include "widgets/LocationReceiver.h"

#include <QString>

#include <optional>

namespace waypost::conversion {

/// How the caller named \p caller receives the page's location: the wildfire
/// window ("frmDBMan") with the section, the facilities ("wpFac") and
/// hurricane ("wpHcane") windows without it (they keep their own); any other
/// name receives nothing (std::nullopt).
[[nodiscard]] std::optional<SectionHandover> handBackFor(const QString& caller);

/// Whether the caller named \p caller gets the result of "Find STR" copied:
/// the wildfire and facilities windows do, any other does not.
[[nodiscard]] bool receivesFoundSection(const QString& caller);

}  // namespace waypost::conversion
