#pragma once
// waypost-convert kml: a drawing's vertex count, acres and miles.

#include "engine/ConvertCommand.h"

namespace waypost::kmlimport {

/// "kml FILE": one line "COUNT ACRES MILES" (two decimals; "-" for both with
/// two vertices or fewer), as the KML import window computes them.
[[nodiscard]] engine::ExtraCommand kmlCommand();

}  // namespace waypost::kmlimport
