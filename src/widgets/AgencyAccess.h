#pragma once
// Work on the agency database from a window: the saved settings with this
// run's password, the password asked for when the server wants one, the work
// off the interface thread.

#include "agency/AgencyDatabase.h"
#include "agency/AgencySettings.h"
#include "platform/Prompter.h"
#include "widgets/BackgroundJob.h"

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace waypost {

/// Runs \p work with the agency database's connection string, off the
/// interface thread, as often as the server asks for a password (each time the
/// password is asked in a hidden input and held for the run). std::nullopt
/// when no database is set (said so), the password was not given, or the
/// window went. Any other AgencyError of \p work is thrown again here.
template <class Result>
std::optional<Result> withAgencyDatabase(Prompter& prompter, QWidget* window,
                                         std::function<Result(const std::string& connection)> work);

/// The connection string of the saved settings with this run's password;
/// std::nullopt (after saying so) when no agency database is set.
std::optional<std::string> agencyConnection(Prompter& prompter);
/// Asks for \p user's password (held for the run); false when not given.
bool askAgencyPassword(Prompter& prompter, const QString& user);

template <class Result>
std::optional<Result> withAgencyDatabase(Prompter& prompter, QWidget* window,
                                         std::function<Result(const std::string& connection)> work) {
    for (;;) {
        const std::optional<std::string> connection = agencyConnection(prompter);
        if (!connection) return std::nullopt;
        try {
            return BackgroundJob::run<Result>(window, {}, [&work, c = *connection](JobProgress&) { return work(c); });
        } catch (const agency::AgencyError& failure) {
            if (!failure.passwordWanted()) throw;
            if (!askAgencyPassword(prompter, agency::savedSettings().user)) return std::nullopt;
        }
    }
}

}  // namespace waypost
