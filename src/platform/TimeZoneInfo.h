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
    /// The zone's English long name at \p at, whatever the desktop's language:
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

/// A zone with fixed answers, for tests: daylight time is in force always,
/// never, or within one period.
class FixedTimeZone final : public TimeZoneInfo {
public:
    FixedTimeZone(QString standardName, QString daylightName, bool daylight, int standardOffsetSeconds)
        : m_standard(std::move(standardName)), m_daylight(std::move(daylightName)),
          m_inForce(daylight), m_offset(standardOffsetSeconds) {}
    QString zoneName(const QDateTime& at) const override { return daylightInForce(at) ? m_daylight : m_standard; }
    bool daylightInForce(const QDateTime& at) const override {
        if (m_periodStart.isValid()) return at >= m_periodStart && at < m_periodEnd;
        return m_inForce;
    }
    int offsetFromUtc(const QDateTime& at) const override { return m_offset + (daylightInForce(at) ? 3600 : 0); }
    void setDaylight(bool daylight) {
        m_inForce = daylight;
        m_periodStart = m_periodEnd = QDateTime();
    }
    /// Daylight time from \p start until \p end (instants), standard time otherwise.
    void setDaylightPeriod(QDateTime start, QDateTime end) {
        m_periodStart = std::move(start);
        m_periodEnd = std::move(end);
    }

private:
    QString m_standard;
    QString m_daylight;
    bool m_inForce;
    int m_offset;
    QDateTime m_periodStart, m_periodEnd;
};

}  // namespace waypost
