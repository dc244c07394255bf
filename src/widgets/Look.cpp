#include "widgets/Look.h"

#include <QLabel>
#include <QPushButton>

namespace waypost {

void setButtonColour(QPushButton* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

void resetButtonColour(QPushButton* button) { button->setPalette(QPalette()); }

void setLabelBackground(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void makeHeading(QLabel* label) {
    QFont heading = label->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    heading.setBold(true);
    label->setFont(heading);
}

}  // namespace waypost
