#include "features/WildfireFields.h"

#include "widgets/NumberFields.h"


namespace waypost {
namespace {


/// The shapefile's form of a date text: "2026-09-14", or empty.
QString shapeDate(const QString& text) {
    const std::optional<QDate> date = reportDate(text);
    return date ? date->toString(Qt::ISODate) : QString();
}

}  // namespace

const FieldTable& wildfireFields() {
    using W = ShapefileWriter;
    // The record file and the shapefile list their fields in the same order;
    // a date and the acres are written as shown to one and converted for the other.
    static const FieldTable table{
        {"Name", "Name", W::Text, 45},
        {"Incident_Number", "Incident", W::Text, 45},
        {"Report", "Report", W::Text, 10},
        {"Latitude", "Lat", W::Double},
        {"Longitude", "Long", W::Double},
        {"AlbersX", "AlbersX", W::Double},
        {"AlbersY", "AlbersY", W::Double},
        {"UTM Coordinate", "UTM", W::Text, 30},
        {"USNG Coordinate", "USNG", W::Text, 30},
        {"STR", "STR", W::Text, 40},
        {"Entry Date/Time", "", W::Text},
        {"", "EntryDate", W::Date},
        {"Fire Start Date", "", W::Text},
        {"", "StartDate", W::Date},
        {"Acres", "", W::Text},
        {"", "Acres", W::Double, 12, 2},
        {"Fuel", "Fuel", W::Text, 35},
        {"Cause", "Cause", W::Text, 35},
        {"Contained", "Contained", W::Text, 10},
        {"Significant", "Signif", W::Text, 5},
    };
    return table;
}

FieldRow wildfireRow(const WildfireFeature& f) {
    const WrittenLocation w = writtenLocation(f.at);
    return {f.fireName,           f.incidentNumber,     f.report,    w.latitude,
            w.longitude,          w.albersX,            w.albersY,   w.utm,
            w.usng,               w.section,            f.entryDate, shapeDate(f.entryDate),
            f.startDate,          shapeDate(f.startDate), f.acres,   readGroupedNumber(f.acres).value_or(0),
            f.fuel,               f.cause,              f.percentContained, f.significant};
}

std::optional<QString> shapefileProblem(const WildfireFeature& f) {
    if (!readGroupedNumber(f.acres))
        return QStringLiteral("The area \"%1\" is not a number of acres; the shapefile record was not written.")
            .arg(f.acres);
    for (const auto& [text, what] : {std::pair{f.entryDate, "entry date"}, std::pair{f.startDate, "fire start date"}}) {
        if (!text.isEmpty() && !reportDate(text))
            return QStringLiteral("The %1 \"%2\" is not a date; the shapefile record was not written.")
                .arg(QLatin1String(what), text);
    }
    return std::nullopt;
}

std::vector<Requirement> wildfireRequirements(const WildfireFeature& f) {
    return {{!f.fireName.isEmpty(), QStringLiteral("Enter Fire Name"), QStringLiteral("txtF_Name")},
            {!f.incidentNumber.isEmpty(), QStringLiteral("Enter Incident Number"), QStringLiteral("txtInc_num")},
            {f.at.has_value(), QStringLiteral("Please Convert Coodinates"), QStringLiteral("cmdCoordCon")},
            {!f.entryDate.isEmpty(), QStringLiteral("Please Enter Data Entry Date"), QStringLiteral("meFireEnter")},
            {!f.fuel.isEmpty(), QStringLiteral("Please Select Fuel Type"), QStringLiteral("cmbfFuel")},
            {!f.cause.isEmpty(), QStringLiteral("Please Select Fire Cause Type"), QStringLiteral("cmbfCause")},
            {!f.acres.isEmpty(), QStringLiteral("Enter Area in acres"), QStringLiteral("txtArea")},
            {!f.percentContained.isEmpty(), QStringLiteral("Please Use the Slider Control to Enter Percent Contained"),
             QStringLiteral("txtPerCon")}};
}

std::optional<QDate> reportDate(const QString& text) {
    const QDate date = QDate::fromString(text, kWildfireDateFormat);
    if (!date.isValid()) return std::nullopt;
    return date;
}

}  // namespace waypost
