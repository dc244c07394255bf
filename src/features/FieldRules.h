#pragma once
// What the feature windows share: the restricted-character rule of their
// name fields, the state colours of their buttons and labels, and the choice
// of a new output file.

#include "platform/Prompter.h"

#include <QColor>
#include <QString>

#include <optional>

class QLabel;
class QPushButton;

namespace waypost {

/// State colours.
inline const QColor kEnabledOutputColour{255, 255, 192};   ///< pale yellow: an output that may be used
inline const QColor kDisabledOutputColour{224, 224, 224};  ///< light grey: outputs not yet enabled
inline const QColor kActiveLocationColour{0, 0, 128};      ///< dark blue: labels the conversion page fills
inline const QColor kInactiveLocationColour{128, 128, 128}; ///< grey: labels after the window was left

/// The keys a name field refuses: " & ' / : < > and backslash.
bool isRestrictedCharacter(QChar c);

/// Gives \p button a background colour that the platform style shows.
void setButtonColour(QPushButton* button, const QColor& colour);
/// Gives \p label a background colour, with a text colour that stays readable on it.
void setLabelBackground(QLabel* label, const QColor& colour);

/// Asks for a new output file: the save dialog, the prefix put in front of
/// the chosen name, and the overwrite question for a prefixed file that holds
/// something ("No" shows the dialog once more and takes that choice, prefixed,
/// without asking again). std::nullopt when a dialog was cancelled.
std::optional<QString> chooseNewOutput(Prompter& prompter, const Prompter::FileDialog& dialog, const QString& prefix);

}  // namespace waypost
