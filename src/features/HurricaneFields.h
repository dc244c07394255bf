#pragma once
// The storm position as its outputs write it, the checks before they may,
// and the rules of the hurricane window: storm lists, categories, knots and
// miles per hour, the UTC day and the local time.

#include "output/FeatureFields.h"
#include "output/KmlPlacemark.h"
#include "platform/TimeZoneInfo.h"
#include "widgets/EnableChecks.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace waypost {

/// The first name of every storm list, for a depression not yet named.
inline const QString kUnnamedDepression = QStringLiteral("Unamed Depression");

/// The record file's fourteen fields and the shapefile's fourteen attributes.
const FieldTable& hurricaneFields();
/// One row for hurricaneFields(); miles per hour and knots as whole numbers.
FieldRow hurricaneRow(const HurricaneFeature& feature);
/// Why the position cannot become a shapefile record (a speed that is no
/// number), or nothing when it can.
std::optional<QString> hurricaneShapefileProblem(const HurricaneFeature& feature);
/// The four enable checks, in order.
std::vector<Requirement> hurricaneRequirements(const HurricaneFeature& feature);

/// The category of a wind speed: " " below 23 mph, "Tropical Depression",
/// "Tropical Storm", "Category 1" ... "Category 5".
QString hurricaneCategory(int mph);
/// Knots of a speed in miles per hour (mph / 1.1516, a half to the even neighbour).
int knotsFromMph(double mph);
/// Miles per hour of a speed in knots (knots rounded, times 1.1516, rounded; halves to even).
int mphFromKnots(double knots);

/// Whether \p year has a 29 February.
bool isLeapYear(int year);
/// The last day of \p month (1-12).
int daysInMonth(int month, bool leapYear);
/// \p day moved into \p month: 31 in a 30-day month becomes 30; in February
/// 29 or more becomes 28, or 29 in a leap year.
int correctedDay(int day, int month, bool leapYear);

/// "8/29/2026 15:00:00 UTC" from the month, day, year and the hour label "15:00".
QString utcText(int month, int day, int year, const QString& hourLabel);
/// The local time of the instant \p utc: in the zone in force at that instant
/// (Eastern and Central, standard or daylight: their offset and " EST", " EDT",
/// " CST", " CDT"; any other zone: UTC without a suffix), as
/// "8/29/2026 11:00:00 AM EDT"; local midnight reads "8/29/2026 00:00:00 AM EDT".
QString localTimeText(const QDateTime& utc, const TimeZoneInfo& zone);

/// The storm list of \p year: "<year>_hurricanes.txt" in the first of
/// \p folders that has it (empty folders are skipped).
struct StormList {
    QStringList names;
    QString problem;  ///< why there are no names (file missing or empty), naming the file and the folders
};
StormList readStormList(int year, const QStringList& folders);

}  // namespace waypost
