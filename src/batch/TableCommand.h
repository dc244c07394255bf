#pragma once
// waypost-convert table: the batch windows' runs on the command line.

#include "engine/ConvertCommand.h"

namespace waypost::batch {

/// "table usng2ll DATABASE TABLE FIELD [--shapefile]" and "table ll2usng
/// DATABASE TABLE LATFIELD LONFIELD [--north|--south] [--west|--east]
/// [--shapefile]": the same run as the windows, on a SQLite database or
/// GeoPackage (an Access database is first copied into SQLite as the windows
/// copy it).
[[nodiscard]] engine::ExtraCommand tableCommand();

}  // namespace waypost::batch
