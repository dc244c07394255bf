#pragma once

#include <QApplication>

#include <functional>

namespace waypost {

/// The program's application object. A handler that fails in a way nobody
/// foresaw must not take every open window with it: an exception that leaves
/// an event handler is stopped here, named to the person in a message, and the
/// program goes on. Each handler still checks its own input first; this is the
/// last line, not the rule.
class GuardedApplication final : public QApplication {
public:
    using Report = std::function<void(const QString& what)>;

    GuardedApplication(int& argc, char** argv);

    /// Who tells the person; set once the prompter exists.
    void setReport(Report report) { m_report = std::move(report); }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Report m_report;
    bool m_reporting = false;
};

/// The message shown for an exception stopped at the top of a handler.
QString unexpectedFailureMessage(const QString& what);

}  // namespace waypost
