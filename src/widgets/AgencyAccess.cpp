#include "widgets/AgencyAccess.h"

#include "agency/AgencySettings.h"

namespace waypost {

std::optional<std::string> agencyConnection(Prompter& prompter) {
    const agency::ConnectionSettings settings = agency::savedSettings();
    if (settings.isEmpty()) {
        prompter.message(QStringLiteral("No agency database is set: choose File, Agency Database on the main window."),
                         kAppTitle, Prompter::Icon::Warning);
        return std::nullopt;
    }
    return settings.connectionString(agency::runPassword());
}

bool askAgencyPassword(Prompter& prompter, const QString& user) {
    const std::optional<QString> password =
        prompter.inputSecret(QStringLiteral("Password for the agency database (user %1):").arg(user));
    if (!password) return false;
    agency::setRunPassword(*password);
    return true;
}

}  // namespace waypost
