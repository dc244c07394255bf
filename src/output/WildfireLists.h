#pragma once
// The lists a person picks a wildfire's fuel and cause from, shared by the
// wildfire window and the KML window.

#include <QStringList>

namespace waypost {

/// The fuel types of a wildfire, in the order the lists show them.
const QStringList& wildfireFuels();
/// The causes of a wildfire, in the order the lists show them.
const QStringList& wildfireCauses();

}  // namespace waypost
