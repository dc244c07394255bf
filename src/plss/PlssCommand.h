#pragma once
// The section look-ups on the command line: waypost-convert str and trs.

#include "engine/ConvertCommand.h"
#include "plss/SectionLookup.h"

#include <functional>
#include <optional>
#include <string>

#include <filesystem>
#include <vector>

namespace waypost::plss {

/// The section whose polygon holds a point (nothing when none does).
using ContainingSection = std::function<std::optional<FoundSection>(double latitude, double longitude)>;
/// A look-up of containing sections on the server named by a connection
/// string; given by the program, which links the agency database.
/// \throws std::runtime_error when the server cannot be used.
using ServerSections = std::function<ContainingSection(const std::string& connection)>;

/// The subcommands "str LAT LON" (the section a point lies in, as "Find STR"
/// describes it) and "trs KEY [PART]" (latitude and longitude of a section or
/// a part of it, as "&Convert" shows them). Both read the section databases
/// in \p defaultDatabases unless "--databases DIR" names another folder, and
/// write no search log.
/// With "--database CONNECTION" (and \p server given), str first answers the
/// section whose polygon holds the point in the agency database.
[[nodiscard]] std::vector<engine::ExtraCommand> sectionCommands(std::filesystem::path defaultDatabases,
                                                                ServerSections server = {});

/// The folder of the program's databases for an executable in \p executableDir:
/// databases/ beside it when the folder holds templates/, otherwise
/// ../share/waypost/databases (the installed layout).
[[nodiscard]] std::filesystem::path programDatabases(const std::filesystem::path& executableDir);

}  // namespace waypost::plss
