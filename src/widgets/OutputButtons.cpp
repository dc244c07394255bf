#include "widgets/OutputButtons.h"

#include "widgets/Look.h"

#include <QPushButton>

namespace waypost {

OutputButtons::OutputButtons(std::vector<QPushButton*> buttons, QPushButton* newShapefile,
                             QPushButton* appendShapefile, QObject* parent)
    : QObject(parent), m_buttons(std::move(buttons)) {
    if (newShapefile && appendShapefile) {
        connect(newShapefile, &QPushButton::clicked, this, [appendShapefile] { turnOff(appendShapefile); });
        connect(appendShapefile, &QPushButton::clicked, this, [newShapefile] { turnOff(newShapefile); });
    }
    disable();
}

void OutputButtons::turnOff(QPushButton* button) {
    button->setEnabled(false);
    setButtonColour(button, kDisabledOutputColour);
}

void OutputButtons::enable() {
    for (QPushButton* b : m_buttons) {
        b->setEnabled(true);
        setButtonColour(b, kEnabledOutputColour);
    }
}

void OutputButtons::disable() {
    for (QPushButton* b : m_buttons) turnOff(b);
}

bool OutputButtons::allEnabled() const {
    for (const QPushButton* b : m_buttons)
        if (!b->isEnabled()) return false;
    return true;
}

void colourAsUsable(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* b : buttons) setButtonColour(b, kEnabledOutputColour);
}

}  // namespace waypost
