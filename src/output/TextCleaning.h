#pragma once

#include <QString>
#include <QStringList>

namespace waypost {

/// Cleans a typed name so that it is safe inside KML and in file names:
/// ' : ? > < # & / become blanks, the text is trimmed, then \ and " become
/// blanks (after the trim, so a leading or trailing one leaves a blank).
/// " a/b " -> "a b"; "\x\" -> " x ".
QString fncXMLchk(const QString& text);

/// Whether XML 1.0 can hold \p c: tab, line feed, carriage return and every
/// character from U+0020 on, except lone surrogates, U+FFFE and U+FFFF.
bool isXmlCharacter(char32_t c);

/// \p text without the characters XML 1.0 cannot hold (control characters
/// other than tab and line ends, lone surrogates, U+FFFE, U+FFFF).
QString xmlCharactersOnly(const QString& text);

/// Escapes text for an XML element or attribute value (& < > " '); characters
/// XML cannot hold are dropped.
QString xmlEscaped(const QString& text);

/// Makes text safe inside a CDATA section: a "]]>" in it is split so that it
/// cannot end the section, and characters XML cannot hold are dropped.
QString cdataSafe(const QString& text);

/// The items of a list file (storm names, states): each ends at a comma or a
/// line end; a quoted item may hold commas; blanks around an item are
/// dropped, empty items skipped.
QStringList listItems(const QString& text);

}  // namespace waypost
