#pragma once

#include <QDate>
#include <QDateTime>

namespace waypost {

/// The date and time the windows stamp records with; injectable for tests.
class Clock {
public:
    virtual ~Clock() = default;
    /// Local date and time now.
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
    int currentYear() const { return now().date().year(); }
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

/// A clock that always shows the same moment.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime moment) : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(QDateTime moment) { m_moment = std::move(moment); }

private:
    QDateTime m_moment;
};

}  // namespace waypost
