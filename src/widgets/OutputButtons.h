#pragma once

#include <QObject>

#include <vector>

class QPushButton;

namespace waypost {

/// A window's output buttons, enabled and disabled together with their
/// colours (pale yellow / light grey). Of the two shapefile buttons, using one
/// turns the other off: a new set and an append to another are not mixed.
class OutputButtons final : public QObject {
public:
    /// \p newShapefile and \p appendShapefile are among \p buttons (or null).
    /// Build the group before connecting the buttons' own handlers, so the
    /// other shapefile button is off before a handler runs.
    OutputButtons(std::vector<QPushButton*> buttons, QPushButton* newShapefile, QPushButton* appendShapefile,
                  QObject* parent);

    void enable();
    void disable();
    bool allEnabled() const;

private:
    static void turnOff(QPushButton* button);

    std::vector<QPushButton*> m_buttons;
};

/// Gives \p buttons the pale yellow of buttons that may be used.
void colourAsUsable(std::initializer_list<QPushButton*> buttons);

}  // namespace waypost
