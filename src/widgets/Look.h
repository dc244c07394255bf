#pragma once
// The system's colours and the few looks every window shares. Each colour is
// defined here once.

#include <QColor>

class QLabel;
class QPushButton;
class QWidget;

namespace waypost {

inline const QColor kEnabledOutputColour{255, 255, 192};    ///< pale yellow: a button that may be used
inline const QColor kDisabledOutputColour{224, 224, 224};   ///< light grey: outputs not yet enabled
inline const QColor kActiveLocationColour{0, 0, 128};       ///< dark blue: labels and captions in use
inline const QColor kInactiveLocationColour{128, 128, 128}; ///< grey: labels and captions not in use
inline const QColor kNextStepColour{255, 255, 128};         ///< yellow: the batch windows' next step
inline const QColor kAttentionColour{255, 192, 255};        ///< pink: a field that wants attention

/// Gives \p button a background colour that the platform style shows.
void setButtonColour(QPushButton* button, const QColor& colour);
/// Gives \p button the palette's own button colour back.
void resetButtonColour(QPushButton* button);
/// Gives \p label a background colour, with a text colour that stays readable on it.
void setLabelBackground(QLabel* label, const QColor& colour);
/// Gives \p widget's text the colour \p colour.
void setTextColour(QWidget* widget, const QColor& colour);
/// Makes \p label a window heading: half as large again as the window's text, bold.
void makeHeading(QLabel* label);

}  // namespace waypost
