#pragma once
// The waypost-convert command: the coordinate engine on the command line and
// over streams of lines.

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

/// Turns one input (a line, or the values given as arguments joined by
/// blanks) into one output line.
class LineConverter {
public:
    virtual ~LineConverter() = default;
    /// \return false with the reason in \p error when \p input cannot be converted.
    virtual bool convert(std::string_view input, std::string& result, std::string& error) = 0;
};

/// A subcommand that a module above the engine adds to waypost-convert (the
/// section look-ups over the program's databases).
struct ExtraCommand {
    std::string_view name;
    /// Its lines in the Commands section of --help.
    std::string_view help;
    /// The options it takes, each followed by a value ("--databases DIR" or "--databases=DIR").
    std::vector<std::string_view> valueOptions;
    /// How many values it takes as arguments at most.
    std::size_t maxValues = 2;
    /// Makes the converter from the options given; on failure returns nullptr
    /// with the reason in the error text (exit status 1).
    std::function<std::unique_ptr<LineConverter>(const std::map<std::string, std::string>& options,
                                                 std::string& error)>
        make;
    /// A command that is not line by line takes over here instead: it gets
    /// the arguments after its name and returns the exit status.
    std::function<int(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)> whole;
};

/// Runs waypost-convert. \p args are the arguments after the program name;
/// \p extra are the subcommands beyond the engine's own.
///
/// With the values among the arguments, one result goes to \p out. Without
/// them, every line of \p in is converted to one line of \p out; output is
/// buffered and handed on whenever the next read could wait for input, so a
/// pipe or a terminal sees each result without delay and memory stays
/// constant however long the input. Unreadable inputs give an empty output
/// line (in line mode) and a message on \p err naming the line number and text.
/// \return a ConvertStatus.
int runConvertCommand(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                      std::ostream& err, std::span<const ExtraCommand> extra = {});

/// The text printed by --help, with the lines of \p extra among the commands.
[[nodiscard]] std::string convertHelpText(std::span<const ExtraCommand> extra = {});

}  // namespace waypost::engine
