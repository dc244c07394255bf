#include "engine/ConvertCommand.h"

#include "engine/AnyLocation.h"
#include "engine/NationalGrid.h"
#include "engine/NationalGridInverse.h"
#include "engine/USNGParser.h"
#include "numbers/Numbers.h"
#include "engine/lltoAlbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace waypost::engine {

namespace {

constexpr std::string_view programName = "waypost-convert";
constexpr std::size_t maxLineLength = 4096;      // longer lines are refused, so memory stays bounded
constexpr std::size_t outputFlushBytes = 1 << 16;  // hand output on in blocks of this size
constexpr std::size_t quotedTextLimit = 80;      // characters of a bad input echoed in its message

enum class Command { albers, utm, usng, latlong, any };

bool isBlank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at])) ++at;
}

/// One decimal number starting at \p at; advances past it.
bool readNumber(std::string_view text, std::size_t& at, double& value) {
    std::size_t start = at;
    if (start < text.size() && text[start] == '+') {
        ++start;
        if (start < text.size() && text[start] == '-') return false;  // "+-5" is no number
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || end == first) return false;
    at = static_cast<std::size_t>(end - text.data());
    return true;
}

/// \p text in double quotes for a message, cut to its first characters, with
/// every control character shown as an escape (\t, \r, \n, \0, \x1b ...), so
/// a bad line cannot play tricks on the terminal that shows the message.
std::string quoted(std::string_view text) {
    const bool cut = text.size() > quotedTextLimit;
    if (cut) text = text.substr(0, quotedTextLimit);
    std::string q = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\t': q += "\\t"; break;
            case '\r': q += "\\r"; break;
            case '\n': q += "\\n"; break;
            case '\0': q += "\\0"; break;
            case '\\': q += "\\\\"; break;
            case '"': q += "\\\""; break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    static constexpr char hex[] = "0123456789abcdef";
                    q += "\\x";
                    q += hex[byte >> 4];
                    q += hex[byte & 0xf];
                } else {
                    q += c;
                }
        }
    }
    if (cut) q += "...";
    q += '"';
    return q;
}

std::string usageError(std::string_view reason) {
    std::string message(programName);
    message += ": ";
    message += reason;
    message += " (try --help)\n";
    return message;
}

bool isNumberLike(std::string_view arg) {
    // "-84.25" and "-.5" are values, not options.
    return arg.size() >= 2 && arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

/// Converts one input; on failure leaves the reason in \p error.
class Converter final : public LineConverter {
public:
    explicit Converter(Command command) : m_command(command) {}

    bool convert(std::string_view input, std::string& result, std::string& error) override {
        if (m_command == Command::any) {
            const LocationReading reading = readAnyLocation(input);
            if (!reading.ok) {
                error = reading.error;
                return false;
            }
            // As the conversion page's labels show the position it fills in.
            result = numbers::formatPattern(reading.partsLatitude, "00.000000") + ' ' +
                     numbers::formatPattern(reading.partsLongitude, "000.000000");
            return true;
        }
        if (m_command == Command::latlong) {
            const USNGParseResult parsed = USNGParser(input);
            if (!parsed.ok()) {
                error = parsed.error;
                return false;
            }
            const USNGPieces& p = *parsed.pieces;
            GeographicFromGrid geo = geographicFromUsng(p.zoneDesignation, p.squareLetters, p.eastingDigits,
                                                        p.northingDigits, InverseTexts::LongitudeLatitude);
            if (!geo.bandError.empty()) {
                error = std::move(geo.bandError);
                return false;
            }
            result = std::move(geo.text);
            return true;
        }
        const LatLongReading reading = readLatLong(input);
        if (!reading.ok) {
            error = reading.error;
            return false;
        }
        switch (m_command) {
            case Command::albers:
                result = m_engine.ProjectAlbers(reading.latitude, reading.longitude);
                break;
            case Command::utm:
                result = utmText(utmFromGeographic(reading.latitude, reading.longitude));
                break;
            case Command::usng:
            case Command::latlong:
            case Command::any:
                // The reference alone: the UTM text the engine object would also build is not wanted here.
                result = nationalGridReference(utmFromGeographic(reading.latitude, reading.longitude));
                break;
        }
        return true;
    }

private:
    Command m_command;
    lltoAlbers m_engine;
};

/// Buffered output that is handed on in blocks, or at once when input may wait.
class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out) : m_out(out) { m_buffer.reserve(outputFlushBytes + maxLineLength); }
    ~OutputBuffer() { flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void line(std::string_view text) {
        m_buffer.append(text);
        m_buffer += '\n';
        if (m_buffer.size() >= outputFlushBytes) hand();
    }
    /// Writes what is buffered and flushes the stream. \return false if output failed.
    bool flush() {
        hand();
        m_out.flush();
        return static_cast<bool>(m_out);
    }

private:
    void hand() {
        if (!m_buffer.empty()) m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
        m_buffer.clear();
    }

    std::ostream& m_out;
    std::string m_buffer;
};

int convertLines(LineConverter& converter, std::istream& in, std::ostream& out, std::ostream& err) {
    OutputBuffer output(out);
    // Room for the longest line, a carriage return before its line end, and the terminating zero.
    std::array<char, maxLineLength + 2> line{};
    std::string result;
    std::string error;
    bool anyFailed = false;

    for (unsigned long long lineNumber = 1;; ++lineNumber) {
        // Before a read that may wait, let the reader see what is done so far.
        if (in.rdbuf() == nullptr || in.rdbuf()->in_avail() <= 0) {
            if (!output.flush()) break;
        }
        in.getline(line.data(), static_cast<std::streamsize>(line.size()));
        const std::streamsize extracted = in.gcount();
        if (in.bad()) {
            err << programName << ": cannot read standard input\n";
            return convertSomeFailed;
        }
        bool tooLong = false;
        std::size_t length = 0;
        if (in.fail()) {
            if (in.eof() && extracted == 0) break;  // end of input
            // The line filled the buffer without ending: refuse it, skip its rest.
            tooLong = true;
            length = static_cast<std::size_t>(extracted);
            in.clear();
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        } else {
            // Without eof the line ended with a newline, which gcount counted.
            length = static_cast<std::size_t>(extracted) - (in.eof() ? 0 : 1);
        }
        std::string_view text(line.data(), length);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.size() > maxLineLength) tooLong = true;

        bool ok = false;
        if (tooLong) {
            error = "the line is longer than 4096 characters";
        } else {
            ok = converter.convert(text, result, error);
        }
        if (ok) {
            output.line(result);
        } else {
            anyFailed = true;
            output.line({});
            std::string message(programName);
            message += ": line ";
            message += std::to_string(lineNumber);
            message += ": cannot read ";
            message += quoted(text);
            message += ": ";
            message += error;
            message += '\n';
            err << message;
        }
        if (in.eof()) break;
    }
    if (!output.flush()) {
        err << programName << ": cannot write the output\n";
        return convertSomeFailed;
    }
    return anyFailed ? convertSomeFailed : convertOk;
}

}  // namespace

LatLongReading readLatLong(std::string_view line) {
    LatLongReading reading;
    std::size_t at = 0;
    skipBlanks(line, at);
    double latitude = 0;
    double longitude = 0;
    bool separated = false;
    bool ok = readNumber(line, at, latitude);
    if (ok) {
        const std::size_t before = at;
        skipBlanks(line, at);
        if (at < line.size() && line[at] == ',') {
            ++at;
            skipBlanks(line, at);
        }
        separated = at > before;
        ok = separated && readNumber(line, at, longitude);
    }
    if (ok) {
        skipBlanks(line, at);
        ok = at == line.size();
    }
    if (!ok) {
        reading.error = "not two numbers (latitude and longitude)";
        return reading;
    }
    if (!(std::abs(latitude) <= 90)) {
        reading.error = "latitude outside -90 to 90";
        return reading;
    }
    if (!(std::abs(longitude) <= 180)) {
        reading.error = "longitude outside -180 to 180";
        return reading;
    }
    reading.ok = true;
    reading.latitude = latitude;
    reading.longitude = longitude;
    return reading;
}

std::string convertHelpText(std::span<const ExtraCommand> extra) {
    std::string extraLines;
    for (const ExtraCommand& command : extra) extraLines += command.help;
    std::string help = R"(Usage: waypost-convert COMMAND [VALUES...]
       waypost-convert --help

Converts positions with Waypost's coordinate engine (the same calculations the
windows use).

Commands:
  albers LAT LON      state Albers equal-area grid: easting,northing in whole
                      metres (GRS 80, standard parallels 24 and 31.5, central
                      meridian -84, pi taken as 3.14159 as the grid does)
                        waypost-convert albers 30.5 -84.25   ->  376025,721400
  utm LAT LON         UTM zone and band, easting and northing in whole metres
                        waypost-convert utm 30.4383 -84.2807  ->  16R 761158 3370495
  usng LAT LON        US National Grid reference to 1 metre
                        waypost-convert usng 30.4383 -84.2807 ->  16R GU 61158 70495
  latlong REFERENCE   longitude and latitude (4 decimals) of a US National Grid
                      reference, written with or without blanks
                        waypost-convert latlong 16R GU 61158 70495  ->  -084.2807 30.4383
  any TEXT            latitude and longitude (6 decimals, as the conversion page
                      shows them after filling its degrees-minutes-seconds
                      fields to hundredths of a second) of a location in any
                      common form: decimal degrees, degrees and minutes or
                      degrees-minutes-seconds with N/S/E/W, signs, symbols or
                      colons; a US National Grid reference (10 km to 1 m);
                      UTM with band or north/south
                        waypost-convert any "N30 26.30 W84 16.84"  ->  30.438333 -084.280667
@EXTRA@
Values:
  LAT and LON are decimal degrees, north and east positive; a negative number
  such as -84.25 is a value, not an option. Latitude must lie within -90..90
  and longitude within -180..180. They may be given as two arguments or as one
  ("30.5,-84.25"). "--" ends the options: everything after it is a value.
  A REFERENCE has a zone (1-60), a band letter (C-X), two 100 km square
  letters (the column letter one of its zone's: A-H in zones 1, 4, 7 ...,
  J-R in 2, 5, 8 ..., S-Z in 3, 6, 9 ...) and an even number of digits, at
  most sixteen (16RGU6170 is the south-west corner of a 1 km square). Blanks
  and tabs may stand anywhere between the pieces. A reference whose 100 km
  square lies wholly outside its latitude band does not exist and is refused.

Grid rules:
  A point exactly on -78, -84 or -90 degrees belongs to the zone west of it.
  South-west Norway uses zone 32; Svalbard keeps the regular zones. At 84 N or
  more, or below 80 S, there is no band letter (the numbers are still given).
  The UTM text rounds a half metre away from zero; the grid digits round it to
  the even neighbour.

Standard input:
  Without VALUES the command reads one input per line from standard input
  (latitude and longitude separated by blanks, a comma or a tab; or one
  reference per line) and writes one result per line, in the same order. A
  line that cannot be read gives an empty output line and a message on
  standard error naming its line number and text; the other lines still
  convert.

Exit status:
  0  everything converted
  1  at least one input could not be read (or the output could not be written)
  2  bad usage: no or unknown command, unknown option, too many values
)";
    help.replace(help.find("@EXTRA@"), 7, extraLines);
    return help;
}

int runConvertCommand(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                      std::ostream& err, std::span<const ExtraCommand> extra) {
    for (std::string_view arg : args) {
        if (arg == "--") break;  // after it, "--help" is a value like any other
        if (arg == "--help" || arg == "-h") {
            out << convertHelpText(extra);
            out.flush();
            if (out) return convertOk;
            err << programName << ": cannot write the help\n";
            return convertSomeFailed;
        }
    }
    std::string commandNames = "albers, utm, usng, latlong, any";
    for (const ExtraCommand& command : extra) {
        commandNames += ", ";
        commandNames += command.name;
    }
    if (args.empty()) {
        err << usageError("missing command (" + commandNames + ")");
        return convertBadUsage;
    }
    const std::string_view name = args[0];
    std::optional<Command> command;
    const ExtraCommand* extraCommand = nullptr;
    if (name == "albers")
        command = Command::albers;
    else if (name == "utm")
        command = Command::utm;
    else if (name == "usng")
        command = Command::usng;
    else if (name == "latlong")
        command = Command::latlong;
    else if (name == "any")
        command = Command::any;
    for (const ExtraCommand& candidate : extra)
        if (!command && name == candidate.name) extraCommand = &candidate;
    if (extraCommand && extraCommand->whole) return extraCommand->whole(args.subspan(1), out, err);
    if (!command && !extraCommand) {
        err << usageError(name.size() > 1 && name[0] == '-' && !isNumberLike(name)
                              ? "unknown option " + quoted(name)
                              : "unknown command " + quoted(name));
        return convertBadUsage;
    }

    // "--" ends the options, as usual: everything after it is a value.
    std::vector<std::string_view> valueList;
    std::map<std::string, std::string> options;
    bool optionsEnded = false;
    const std::span<const std::string_view> rest = args.subspan(1);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string_view value = rest[i];
        if (!optionsEnded && value == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && value.size() > 1 && value[0] == '-' && !isNumberLike(value)) {
            const std::string_view option = value.substr(0, value.find('='));
            const bool known = extraCommand && std::find(extraCommand->valueOptions.begin(),
                                                         extraCommand->valueOptions.end(),
                                                         option) != extraCommand->valueOptions.end();
            if (!known) {
                err << usageError("unknown option " + quoted(value));
                return convertBadUsage;
            }
            if (option.size() < value.size()) {
                options[std::string(option)] = std::string(value.substr(option.size() + 1));
            } else if (i + 1 < rest.size()) {
                options[std::string(option)] = std::string(rest[++i]);
            } else {
                err << usageError(std::string(option) + " needs a value");
                return convertBadUsage;
            }
            continue;
        }
        valueList.push_back(value);
    }
    const std::span<const std::string_view> values(valueList);
    if (extraCommand && values.size() > extraCommand->maxValues) {
        err << usageError("too many values for " + std::string(name));
        return convertBadUsage;
    }
    if (command && *command != Command::latlong && *command != Command::any && values.size() > 2) {
        err << usageError(std::string(name) + " takes LAT LON (two values), or none to read standard input");
        return convertBadUsage;
    }

    std::unique_ptr<LineConverter> converter;
    if (command) {
        converter = std::make_unique<Converter>(*command);
    } else {
        std::string error;
        converter = extraCommand->make(options, error);
        if (!converter) {
            err << programName << ": " << error << '\n';
            return convertSomeFailed;
        }
    }
    if (values.empty()) return convertLines(*converter, in, out, err);

    std::string input;
    for (std::string_view value : values) {
        if (!input.empty()) input += ' ';
        input += value;
    }
    std::string result;
    std::string error;
    if (!converter->convert(input, result, error)) {
        err << programName << ": cannot read " << quoted(input) << ": " << error << '\n';
        return convertSomeFailed;
    }
    out << result << '\n';
    out.flush();
    if (!out) {
        err << programName << ": cannot write the output\n";
        return convertSomeFailed;
    }
    return convertOk;
}

}  // namespace waypost::engine
