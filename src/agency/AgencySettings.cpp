#include "agency/AgencySettings.h"

#include <QSettings>

namespace waypost::agency {
namespace {

QString& password() {
    static QString held;
    return held;
}

const char* const kKeys[] = {"agency/service", "agency/host", "agency/port", "agency/database", "agency/user"};

}  // namespace

ConnectionSettings savedSettings() {
    const QSettings settings(QStringLiteral("Waypost"), QStringLiteral("waypost"));
    ConnectionSettings s;
    QString* values[] = {&s.service, &s.host, &s.port, &s.database, &s.user};
    for (std::size_t i = 0; i < std::size(kKeys); ++i) *values[i] = settings.value(QLatin1String(kKeys[i])).toString();
    s.lookUps = settings.value(QStringLiteral("agency/lookUps"), false).toBool();
    return s;
}

void saveSettings(const ConnectionSettings& s) {
    QSettings settings(QStringLiteral("Waypost"), QStringLiteral("waypost"));
    const QString* values[] = {&s.service, &s.host, &s.port, &s.database, &s.user};
    for (std::size_t i = 0; i < std::size(kKeys); ++i) settings.setValue(QLatin1String(kKeys[i]), *values[i]);
    settings.setValue(QStringLiteral("agency/lookUps"), s.lookUps);
    settings.sync();
}

QString runPassword() { return password(); }
void setRunPassword(const QString& p) { password() = p; }

std::string withRunPassword(const std::string& source) {
    if (source.rfind("PG:", 0) != 0 || password().isEmpty() || source.find("password=") != std::string::npos) return source;
    std::string quoted;
    for (const char c : password().toStdString()) {
        if (c == '\\' || c == '\'') quoted += '\\';
        quoted += c;
    }
    return source + " password='" + quoted + "'";
}

}  // namespace waypost::agency
