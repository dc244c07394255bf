#include "shell/GuardedApplication.h"

#include <exception>

namespace waypost {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString unexpectedFailureMessage(const QString& what) {
    return QStringLiteral("Waypost could not finish this step: %1\r\n\r\nThe windows stay open and keep what was "
                          "typed; check the last file written before you rely on it.")
        .arg(what);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_report && !m_reporting) {
            m_reporting = true;  // the message box runs events of its own
            m_report(unexpectedFailureMessage(QString::fromUtf8(e.what())));
            m_reporting = false;
        }
    } catch (...) {
        if (m_report && !m_reporting) {
            m_reporting = true;
            m_report(unexpectedFailureMessage(QStringLiteral("an unknown error")));
            m_reporting = false;
        }
    }
    return false;
}

}  // namespace waypost
