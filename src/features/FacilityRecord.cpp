#include "features/FacilityRecord.h"

#include "platform/Numbers.h"

namespace waypost {
namespace {

double numberOf(const QString& label) { return numbers::parseLenient(label.toStdString()); }

}  // namespace

const QStringList& facilityRecordHeader() {
    static const QStringList header{"Name", "Type", "Latitude", "Longitude", "AlbersX",
                                    "AlbersY", "UTM", "USNG", "STR"};
    return header;
}

std::vector<RecordValue> facilityRecord(const FacilityValues& v) {
    return {v.name,
            v.type,
            numberOf(v.latitude),
            numberOf(v.longitude),
            numberOf(v.albersX),
            numberOf(v.albersY),
            v.utm,
            v.usng,
            v.str};
}

void addFacilityFields(ShapefileWriter& writer) {
    writer.AddField(QStringLiteral("Name"), ShapefileWriter::Text, 45);
    writer.AddField(QStringLiteral("Type"), ShapefileWriter::Text, 45);
    writer.AddField(QStringLiteral("Lat"), ShapefileWriter::Double);
    writer.AddField(QStringLiteral("Long"), ShapefileWriter::Double);
    writer.AddField(QStringLiteral("AlbersX"), ShapefileWriter::Double);
    writer.AddField(QStringLiteral("AlbersY"), ShapefileWriter::Double);
    writer.AddField(QStringLiteral("UTM"), ShapefileWriter::Text, 30);
    writer.AddField(QStringLiteral("USNG"), ShapefileWriter::Text, 30);
    writer.AddField(QStringLiteral("STR"), ShapefileWriter::Text, 40);
    writer.CommitFields();
}

void writeFacilityShape(ShapefileWriter& writer, const FacilityValues& v) {
    writer.SetFieldValue(QStringLiteral("Name"), v.name);
    writer.SetFieldValue(QStringLiteral("Type"), v.type);
    writer.SetFieldValue(QStringLiteral("Lat"), numberOf(v.latitude));
    writer.SetFieldValue(QStringLiteral("Long"), numberOf(v.longitude));
    writer.SetFieldValue(QStringLiteral("AlbersX"), numberOf(v.albersX));
    writer.SetFieldValue(QStringLiteral("AlbersY"), numberOf(v.albersY));
    writer.SetFieldValue(QStringLiteral("UTM"), v.utm);
    writer.SetFieldValue(QStringLiteral("USNG"), v.usng);
    writer.SetFieldValue(QStringLiteral("STR"), v.str);
    writer.AddVertex(numberOf(v.albersX), numberOf(v.albersY));
    writer.WriteShape();
}

}  // namespace waypost
