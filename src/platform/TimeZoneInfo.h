#pragma once

#include <QDateTime>
#include <QString>

namespace waypost {

/// The computer's time zone as the hurricane window shows it: the long name of
/// the zone as it is now (standard or daylight name) and whether daylight time
/// is in force.
class TimeZoneInfo {
public:
    virtual ~TimeZoneInfo() = default;
    /// "Eastern Daylight Time" while daylight time is in force, else "Eastern Standard Time".
    virtual QString zoneName(const QDateTime& at) const = 0;
    virtual bool daylightInForce(const QDateTime& at) const = 0;
    /// Offset of local time from UTC at \p at, in seconds (east positive).
    virtual int offsetFromUtc(const QDateTime& at) const = 0;
};

/// The system's zone through QTimeZone.
class SystemTimeZone final : public TimeZoneInfo {
public:
    QString zoneName(const QDateTime& at) const override;
    bool daylightInForce(const QDateTime& at) const override;
    int offsetFromUtc(const QDateTime& at) const override;
};

/// A zone with fixed answers, for tests.
class FixedTimeZone final : public TimeZoneInfo {
public:
    FixedTimeZone(QString standardName, QString daylightName, bool daylight, int standardOffsetSeconds)
        : m_standard(std::move(standardName)), m_daylight(std::move(daylightName)),
          m_inForce(daylight), m_offset(standardOffsetSeconds) {}
    QString zoneName(const QDateTime&) const override { return m_inForce ? m_daylight : m_standard; }
    bool daylightInForce(const QDateTime&) const override { return m_inForce; }
    int offsetFromUtc(const QDateTime&) const override { return m_offset + (m_inForce ? 3600 : 0); }
    void setDaylight(bool daylight) { m_inForce = daylight; }

private:
    QString m_standard;
    QString m_daylight;
    bool m_inForce;
    int m_offset;
};

}  // namespace waypost
