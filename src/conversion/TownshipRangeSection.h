#pragma once
// Township, range and section entry on the conversion page: the key filter,
// the checks of the three fields with their messages, the key texts, the TRS
// key under which the PLSS databases store a section, and the parts of a
// section that can be chosen.

#include "plss/SectionKey.h"

#include <QString>

#include <array>
#include <cstdint>

namespace waypost::conversion {

// Messages of the township, range and section checks, exactly as the user sees them.
inline const QString kNumbersOnlyMessage = QStringLiteral("Plese Enter Numbers Only");
inline const QString kNorthTownshipMessage = QStringLiteral("North Township Must be Less Than 8");
inline const QString kSouthTownshipMessage = QStringLiteral("South Township Must be Less Than 68");
inline const QString kEastRangeMessage = QStringLiteral("East Range Must be Less Than 44");
inline const QString kWestRangeMessage = QStringLiteral("West Range Must be Less Than 35");
inline const QString kSectionTooLargeMessage = QStringLiteral(" Must Be Less Than 8030");

inline const QString kNorth = QStringLiteral("N");
inline const QString kSouth = QStringLiteral("S");
inline const QString kEast = QStringLiteral("E");
inline const QString kWest = QStringLiteral("W");

/// Whether a township, range or section field takes the typed character
/// \p code: only the digits and backspace (8). Anything else is refused with a
/// beep and kNumbersOnlyMessage.
[[nodiscard]] bool acceptsTrsCharacter(char16_t code);

/// \p text without the characters a township, range or section field refuses.
[[nodiscard]] QString keepTrsCharacters(const QString& text);

/// The whole-number value of a field's text (leniently read; an empty text is 0).
[[nodiscard]] std::int16_t trsNumber(const QString& text);

/// A number as key text: below 10 with one leading zero (5 -> "05", 0 -> "00"),
/// otherwise plain digits without padding (12 -> "12", 1234 -> "1234").
[[nodiscard]] QString keyText(int number);

/// Result of a township or range check. When refused, \p message is shown and
/// the key stays as it was; when accepted, \p number and \p key are the new values.
struct TrsCheck {
    bool accepted = true;
    QString message;
    std::int16_t number = 0;
    QString key;
};

/// Township check. North townships run from 0 to 7, south townships from 0 to 67.
/// \param direction kNorth or kSouth.
[[nodiscard]] TrsCheck checkTownship(const QString& text, const QString& direction);

/// Range check. East ranges run from 0 to 43, west ranges from 0 to 34.
/// \param direction kEast or kWest.
[[nodiscard]] TrsCheck checkRange(const QString& text, const QString& direction);

/// Section check on every change of the section field. Sections run from 0 to
/// 8029; an accepted section's key is its plain digits (no padding yet).
[[nodiscard]] TrsCheck checkSection(const QString& text);

/// The section key when the section field is left: key text of its number (5 -> "05").
[[nodiscard]] TrsCheck sectionKeyOnLeaving(const QString& text);

/// "T" + township key + direction + " R" + range key + direction + " S" + section key,
/// such as "T01N R05W S12".
[[nodiscard]] QString trsKey(const QString& townshipKey, const QString& townshipDirection,
                             const QString& rangeKey, const QString& rangeDirection, const QString& sectionKey);

using plss::QuarterOption;
using plss::quarterOptions;

/// The option named \p optionName, or nullptr.
[[nodiscard]] const QuarterOption* findQuarterOption(const QString& optionName);

/// What the township, range and section group keeps.
struct TrsEntry {
    std::int16_t townshipNumber = 0;
    QString townshipDirection = kNorth;
    QString townshipKey;
    std::int16_t rangeNumber = 0;
    QString rangeDirection = kEast;
    QString rangeKey;
    std::int16_t sectionNumber = 0;
    QString sectionKey;
    QString trsKey;  ///< key of the last preview
    QString quarterDescription;
    int quarterLongitudeOffsetMetres = 0;
    double quarterLatitudeOffsetDegrees = 0;
};

}  // namespace waypost::conversion
