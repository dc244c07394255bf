#include "platform/TimeZoneInfo.h"

#include <QLocale>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace waypost;

// The tests run with TZ=America/New_York (set by CTest). The zone is named as
// it is at that moment, and in English whatever the desktop's language: a
// Spanish desktop in New York still has Eastern time.
TEST(SystemTimeZone, NamesTheZoneAsItIsAtThatMomentInEnglish) {
    if (QTimeZone::systemTimeZoneId() != QByteArray("America/New_York"))
        GTEST_SKIP() << "the test environment did not set the time zone";
    const QDateTime summer(QDate(2026, 7, 1), QTime(12, 0), QTimeZone::systemTimeZone());
    const QDateTime winter(QDate(2026, 1, 15), QTime(12, 0), QTimeZone::systemTimeZone());
    SystemTimeZone zone;
    EXPECT_EQ(std::pair(zone.daylightInForce(summer), zone.offsetFromUtc(summer)), std::pair(true, -4 * 3600));
    EXPECT_EQ(std::pair(zone.daylightInForce(winter), zone.offsetFromUtc(winter)), std::pair(false, -5 * 3600));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::UnitedStates));
    const QStringList names{SystemTimeZone().zoneName(winter), SystemTimeZone().zoneName(summer)};
    QLocale::setDefault(before);
    EXPECT_EQ(names, QStringList({"Eastern Standard Time", "Eastern Daylight Time"}));
}
