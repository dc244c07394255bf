#include "platform/TimeZoneInfo.h"

#include <QLocale>
#include <QTimeZone>

namespace waypost {

QString SystemTimeZone::zoneName(const QDateTime& at) const {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const auto type = zone.isDaylightTime(at) ? QTimeZone::DaylightTime : QTimeZone::StandardTime;
    // The zone's name in English whatever the desktop's language: the name
    // identifies the zone, it is not shown.
    const QString name = zone.displayName(type, QTimeZone::LongName, QLocale(QLocale::English, QLocale::UnitedStates));
    return name.isEmpty() ? QString::fromUtf8(zone.id()) : name;
}

bool SystemTimeZone::daylightInForce(const QDateTime& at) const {
    return QTimeZone::systemTimeZone().isDaylightTime(at);
}

int SystemTimeZone::offsetFromUtc(const QDateTime& at) const {
    return QTimeZone::systemTimeZone().offsetFromUtc(at);
}

}  // namespace waypost
