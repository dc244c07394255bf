#include "features/HurricaneFields.h"

#include "numbers/Numbers.h"
#include "output/TextCleaning.h"

#include <QDir>
#include <QFile>

namespace waypost {
namespace {

constexpr double kMphPerKnot = 1.1516;


// No wind on Earth comes near; a longer row of digits is a typing slip.
constexpr std::int64_t kHighestWindSpeed = 1000;

/// A wind speed as written to the outputs: a whole number from 0 to 1000.
std::optional<double> wholeNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    const std::optional<std::int64_t> whole = numbers::wholeWithin(value, 0, kHighestWindSpeed);
    if (!whole) return std::nullopt;
    return static_cast<double>(*whole);
}

}  // namespace

const FieldTable& hurricaneFields() {
    using W = ShapefileWriter;
    static const FieldTable table{
        {"Name", "Name", W::Text, 30},          {"Date", "Date", W::Text, 12},
        {"Position", "Position", W::Text, 12},  {"UTC Time", "UTC_Time", W::Text, 30},
        {"Local Time", "Local_Time", W::Text, 30}, {"Latitude", "Lat", W::Double},
        {"Longitude", "Long", W::Double},       {"AlbersX", "AlbersX", W::Double},
        {"AlbersY", "AlbersY", W::Double},      {"UTM Coord", "UTM", W::Text, 30},
        {"USNG Coord", "USNG", W::Text, 30},    {"MPH", "Winds_MPH", W::Double},
        {"Knots", "Winds_KTS", W::Double},      {"Category", "Category", W::Text, 25},
    };
    return table;
}

FieldRow hurricaneRow(const HurricaneFeature& f) {
    const WrittenLocation w = writtenLocation(f.at);
    return {f.stormName, f.reportDate, f.positionType, f.utcTime, f.localTime,
            w.latitude, w.longitude, w.albersX, w.albersY,
            w.utm, w.usng, wholeNumber(f.mph).value_or(0), wholeNumber(f.knots).value_or(0), f.category};
}

std::optional<QString> hurricaneShapefileProblem(const HurricaneFeature& f) {
    for (const auto& [text, what] : {std::pair{f.mph, "miles per hour"}, std::pair{f.knots, "knots"}})
        if (!wholeNumber(text))
            return QStringLiteral("The wind speed in %1 \"%2\" is not a number; the shapefile record was not written.")
                .arg(QLatin1String(what), text);
    return std::nullopt;
}

std::vector<Requirement> hurricaneRequirements(const HurricaneFeature& f) {
    return {{!f.stormName.isEmpty(), QStringLiteral("Enter Storm Name"), QStringLiteral("cmbName")},
            {!f.category.isEmpty() && wholeNumber(f.mph) && wholeNumber(f.knots), QStringLiteral("Enter Windspeed"),
             QStringLiteral("txtHwind")},
            {f.at.has_value(), QStringLiteral("Please Convert Coordinates"), QStringLiteral("cmdHcoordCon")},
            {!f.positionType.isEmpty(), QStringLiteral("Please Select Position Type"), QStringLiteral("optActual")}};
}

QString hurricaneCategory(int mph) {
    if (mph < 23) return QStringLiteral(" ");
    if (mph <= 38) return QStringLiteral("Tropical Depression");
    if (mph <= 73) return QStringLiteral("Tropical Storm");
    if (mph <= 95) return QStringLiteral("Category 1");
    if (mph <= 110) return QStringLiteral("Category 2");
    if (mph <= 130) return QStringLiteral("Category 3");
    if (mph <= 155) return QStringLiteral("Category 4");
    return QStringLiteral("Category 5");
}

int knotsFromMph(double mph) { return static_cast<int>(numbers::toWhole(mph / kMphPerKnot)); }

int mphFromKnots(double knots) {
    return static_cast<int>(numbers::toWhole(static_cast<double>(numbers::toWhole(knots)) * kMphPerKnot));
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int month, bool leapYear) {
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    case 2: return leapYear ? 29 : 28;
    default: return 31;
    }
}

int correctedDay(int day, int month, bool leapYear) { return std::min(day, daysInMonth(month, leapYear)); }

QString utcText(int month, int day, int year, const QString& hourLabel) {
    return QStringLiteral("%1/%2/%3 %4:00 UTC").arg(month).arg(day).arg(year).arg(hourLabel);
}

QString localTimeText(const QDateTime& utc, const TimeZoneInfo& zone) {
    QString name = zone.zoneName(utc);
    if (const qsizetype nul = name.indexOf(QChar(u'\0')); nul >= 0) name.truncate(nul);
    struct Rule {
        const char* name;
        int hours;
        const char* suffix;
    };
    static const Rule rules[] = {{"Eastern Standard Time", -5, " EST"},
                                 {"Eastern Daylight Time", -4, " EDT"},
                                 {"Central Standard Time", -6, " CST"},
                                 {"Central Daylight Time", -5, " CDT"}};
    int hours = 0;
    QString suffix;
    // The zone is known by its name and its offset at that instant together.
    const int offset = zone.offsetFromUtc(utc);
    for (const Rule& rule : rules) {
        if (name == QLatin1String(rule.name) && offset == rule.hours * 3600) {
            hours = rule.hours;
            suffix = QLatin1String(rule.suffix);
        }
    }
    const QDateTime local = utc.addSecs(hours * 3600LL);
    const QString date = local.date().toString(QStringLiteral("M/d/yyyy"));
    if (local.time() == QTime(0, 0)) return date + QStringLiteral(" 00:00:00 AM") + suffix;
    return date + u' ' + local.time().toString(QStringLiteral("h:mm:ss AP")) + suffix;
}

StormList readStormList(int year, const QStringList& folders) {
    const QString name = QStringLiteral("%1_hurricanes.txt").arg(year);
    QStringList looked;
    for (const QString& folder : folders) {
        if (folder.isEmpty()) continue;
        looked << QDir::toNativeSeparators(folder);
        QFile file(QDir(folder).filePath(name));
        if (!file.exists()) continue;
        if (!file.open(QIODevice::ReadOnly))
            return {{}, QStringLiteral("The storm list %1 cannot be read: %2").arg(file.fileName(), file.errorString())};
        const QStringList names = listItems(QString::fromUtf8(file.readAll()));
        if (names.isEmpty())
            return {{}, QStringLiteral("The storm list %1 holds no storm names; type the storm's name.").arg(file.fileName())};
        return {names, {}};
    }
    return {{}, QStringLiteral("The storm list %1 was not found (looked in %2); type the storm's name.")
                    .arg(name, looked.join(QStringLiteral(" and ")))};
}

}  // namespace waypost
