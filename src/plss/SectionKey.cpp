#include "plss/SectionKey.h"

#include <cctype>
#include <regex>

namespace waypost::plss {

namespace {

constexpr std::array<QuarterOption, 25> kQuarterOptions{{
    {"optNW", "NW", "NW1/4", -400, 0.0036, false, 0, 0},
    {"optsecNH", "N", "N1/2", 0, 0.0036, false, 0, 1},
    {"optNE", "NE", "NE1/4", 400, 0.0036, false, 0, 2},
    {"optWH", "W", "W1/2", -400, 0, false, 1, 0},
    {"optSecC", "C", "CENTER", 0, 0, false, 1, 1},
    {"optEH", "E", "E1/2", 400, 0, false, 1, 2},
    {"optSW", "SW", "SW1/4", -400, -0.0036, false, 2, 0},
    {"optSH", "S", "S1/2", 0, -0.0036, false, 2, 1},
    {"optSE", "SE", "SE1/4", 400, -0.0036, false, 2, 2},
    {"optNWNW", "NW", "NW1/4 NW1/4", -600, 0.0055, true, 0, 0},
    {"optNWNE", "NE", "NE1/4NW1/4", -200, 0.0055, true, 0, 1},
    {"optNWSW", "SW", "SW1/4 NW1/4", -600, 0.0018, true, 1, 0},
    {"optNWSE", "SE", "SE1/4 NW1/4", -200, 0.0018, true, 1, 1},
    {"optNENW", "NW", "NW1/4NE1/4", 200, 0.0055, true, 0, 2},
    {"optNENE", "NE", "NE1/4NE1/4", 600, 0.0055, true, 0, 3},
    {"optNESW", "SW", "SW1/4NE1/4", 200, 0.0018, true, 1, 2},
    {"optNESE", "SE", "SE1/4NE1/4", 600, 0.0018, true, 1, 3},
    {"optSWNW", "NW", "NW1/4 SW1/4", -600, -0.0018, true, 2, 0},
    {"optSWNE", "NE", "NE1/4 SW1/4", -200, -0.0018, true, 2, 1},
    {"optSWSW", "SW", "SW1/4 SW1/4", -600, -0.0055, true, 3, 0},
    {"optSWSE", "SE", "SE1/4 SW1/4", -200, -0.0055, true, 3, 1},
    {"optSENW", "NW", "NW1/4 SE1/4", 200, -0.0018, true, 2, 2},
    {"optSENE", "NE", "NE1/4 SE1/4", 600, -0.0018, true, 2, 3},
    {"optSESW", "SW", "SW1/4 SE1/4", 200, -0.0055, true, 3, 2},
    {"optSESE", "SE", "SE1/4 SE1/4", 600, -0.0055, true, 3, 3},
}};


std::string withoutBlanksUpper(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t') out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string keyText(int number) {
    if (number >= 0 && number < smallestUnpaddedKey) return "0" + std::to_string(number);
    return std::to_string(number);
}

std::string sectionKey(int township, char townshipDirection, int range, char rangeDirection, int section) {
    std::string key = "T" + keyText(township);
    key += townshipDirection;
    key += " R" + keyText(range);
    key += rangeDirection;
    key += " S" + keyText(section);
    return key;
}

std::optional<KeyReading> readSectionKey(std::string_view text) {
    static const std::regex form(
        R"(^\s*[Tt]\s*(\d{1,2})\s*([NnSs])\s*[Rr]\s*(\d{1,2})\s*([EeWw])\s*[Ss]\s*(\d{1,4})(?:\s+(.*?))?\s*$)");
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_match(text.begin(), text.end(), match, form)) return std::nullopt;
    const auto upper = [](const std::string& letter) { return static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0]))); };
    KeyReading reading;
    reading.key = sectionKey(std::stoi(match[1].str()), upper(match[2].str()), std::stoi(match[3].str()),
                             upper(match[4].str()), std::stoi(match[5].str()));
    reading.rest = match[6].str();
    return reading;
}

const std::array<QuarterOption, 25>& quarterOptions() { return kQuarterOptions; }

const QuarterOption* findQuarterByDescription(std::string_view text) {
    const std::string wanted = withoutBlanksUpper(text);
    if (wanted.empty()) return nullptr;
    for (const QuarterOption& option : kQuarterOptions)
        if (withoutBlanksUpper(option.description) == wanted) return &option;
    return nullptr;
}

}  // namespace waypost::plss
