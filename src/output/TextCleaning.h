#pragma once

#include <QString>

namespace waypost {

/// Cleans a typed name so that it is safe inside KML and in file names:
/// ' : ? > < # & / become blanks, the text is trimmed, then \ and " become
/// blanks (after the trim, so a leading or trailing one leaves a blank).
/// " a/b " -> "a b"; "\x\" -> " x ".
QString fncXMLchk(const QString& text);

/// Escapes text for an XML element or attribute value (& < > " ').
QString xmlEscaped(const QString& text);

/// Makes text safe inside a CDATA section: a "]]>" in it is split so that it
/// cannot end the section.
QString cdataSafe(const QString& text);

}  // namespace waypost
