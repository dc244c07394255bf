#pragma once
// The section look-ups on the command line: waypost-convert str and trs.

#include "engine/ConvertCommand.h"

#include <filesystem>
#include <vector>

namespace waypost::plss {

/// The subcommands "str LAT LON" (the section a point lies in, as "Find STR"
/// describes it) and "trs KEY [PART]" (latitude and longitude of a section or
/// a part of it, as "&Convert" shows them). Both read the section databases
/// in \p defaultDatabases unless "--databases DIR" names another folder, and
/// write no search log.
[[nodiscard]] std::vector<engine::ExtraCommand> sectionCommands(std::filesystem::path defaultDatabases);

/// The folder of the program's databases for an executable in \p executableDir:
/// databases/ beside it when the folder holds templates/, otherwise
/// ../share/waypost/databases (the installed layout).
[[nodiscard]] std::filesystem::path programDatabases(const std::filesystem::path& executableDir);

}  // namespace waypost::plss
