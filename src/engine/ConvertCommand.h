#pragma once
// The waypost-convert command: the coordinate engine on the command line and
// over streams of lines.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace waypost::engine {

/// Exit statuses of waypost-convert.
enum ConvertStatus : int {
    convertOk = 0,           ///< everything converted
    convertSomeFailed = 1,   ///< at least one input could not be read, or output failed
    convertBadUsage = 2,     ///< unknown command or option, wrong number of values
};

/// A latitude/longitude line read strictly.
struct LatLongReading {
    bool ok = false;
    double latitude = 0;     ///< degrees, -90 to 90
    double longitude = 0;    ///< degrees, -180 to 180
    std::string_view error;  ///< why the line cannot be read (empty when ok)
};

/// Reads "LAT LON", "LAT,LON" or "LAT<tab>LON": two decimal numbers (optional
/// sign, optional exponent) separated by blanks or tabs, or by one comma with
/// optional blanks around it; blanks before and after are allowed. Rejects
/// anything else, a latitude outside -90..90 and a longitude outside -180..180
/// (NaN and infinities included).
[[nodiscard]] LatLongReading readLatLong(std::string_view line);

/// Runs waypost-convert. \p args are the arguments after the program name.
///
/// With the values among the arguments, one result goes to \p out. Without
/// them, every line of \p in is converted to one line of \p out; output is
/// buffered and handed on whenever the next read could wait for input, so a
/// pipe or a terminal sees each result without delay and memory stays
/// constant however long the input. Unreadable inputs give an empty output
/// line (in line mode) and a message on \p err naming the line number and text.
/// \return a ConvertStatus.
int runConvertCommand(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                      std::ostream& err);

/// The text printed by --help.
[[nodiscard]] std::string convertHelpText();

}  // namespace waypost::engine
