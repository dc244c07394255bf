#include "widgets/FocusNotifier.h"

#include <QEvent>

namespace waypost {

bool FocusNotifier::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) m_onFocus();
    return QObject::eventFilter(watched, event);
}

}  // namespace waypost
