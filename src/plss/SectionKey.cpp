#include "plss/SectionKey.h"

#include <cctype>

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
    std::size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    };
    const auto letter = [&](std::string_view choices) -> char {
        skipBlanks();
        if (at == text.size()) return 0;
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at])));
        if (choices.find(c) == std::string_view::npos) return 0;
        ++at;
        return c;
    };
    const auto number = [&](std::size_t maxDigits) -> int {
        skipBlanks();
        int value = 0;
        std::size_t digits = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && digits < maxDigits) {
            value = value * 10 + (text[at++] - '0');
            ++digits;
        }
        const bool more = at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
        return digits == 0 || more ? -1 : value;
    };
    if (!letter("T")) return std::nullopt;
    const int township = number(2);
    const char townshipDirection = letter("NS");
    if (township < 0 || !townshipDirection || !letter("R")) return std::nullopt;
    const int range = number(2);
    const char rangeDirection = letter("EW");
    if (range < 0 || !rangeDirection || !letter("S")) return std::nullopt;
    const int section = number(4);
    if (section < 0) return std::nullopt;
    // The rest must stand apart from the section number.
    const std::size_t afterSection = at;
    skipBlanks();
    if (at < text.size() && at == afterSection) return std::nullopt;
    std::string_view rest = text.substr(at);
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.remove_suffix(1);
    return KeyReading{sectionKey(township, townshipDirection, range, rangeDirection, section), std::string(rest)};
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
