#include "platform/TimeZoneInfo.h"

#include <QTimeZone>

namespace waypost {

QString SystemTimeZone::zoneName(const QDateTime& at) const {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const auto type = zone.isDaylightTime(at) ? QTimeZone::DaylightTime : QTimeZone::StandardTime;
    const QString name = zone.displayName(type, QTimeZone::LongName);
    return name.isEmpty() ? QString::fromUtf8(zone.id()) : name;
}

bool SystemTimeZone::daylightInForce(const QDateTime& at) const {
    return QTimeZone::systemTimeZone().isDaylightTime(at);
}

int SystemTimeZone::offsetFromUtc(const QDateTime& at) const {
    return QTimeZone::systemTimeZone().offsetFromUtc(at);
}

}  // namespace waypost
