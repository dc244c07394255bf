#pragma once
// The wildfire report as its outputs write it, the checks before they may,
// and the rules of its date, area and percent fields.

#include "output/FeatureFields.h"
#include "output/WildfireLists.h"
#include "output/KmlPlacemark.h"
#include "widgets/EnableChecks.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace waypost {


/// The record file's seventeen fields and the shapefile's seventeen
/// attributes (the dates as dates, the acres as a number).
const FieldTable& wildfireFields();

/// One row for wildfireFields(). The record file gets the texts as shown
/// (dates mm-dd-yyyy, area 1,234.50, percent 45.00%); the shapefile gets the
/// dates as dates and the area as a number. Check shapefileProblem() first.
FieldRow wildfireRow(const WildfireFeature& feature);

/// Why the feature cannot become a shapefile record (an area that is no
/// number, a date that is no date), or nothing when it can.
std::optional<QString> shapefileProblem(const WildfireFeature& feature);

/// The eight enable checks, in order.
std::vector<Requirement> wildfireRequirements(const WildfireFeature& feature);

/// "mm-dd-yyyy" as a date; nothing when it is no date (or empty).
std::optional<QDate> reportDate(const QString& text);

/// The form of the window's dates.
inline const QString kWildfireDateFormat = QStringLiteral("MM-dd-yyyy");

}  // namespace waypost
