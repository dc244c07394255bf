#include "features/FacilityFields.h"


namespace waypost {
const FieldTable& facilityFields() {
    using W = ShapefileWriter;
    static const FieldTable table{
        {"Name", "Name", W::Text, 45},           {"Type", "Type", W::Text, 45},
        {"Latitude", "Lat", W::Double},          {"Longitude", "Long", W::Double},
        {"AlbersX", "AlbersX", W::Double},       {"AlbersY", "AlbersY", W::Double},
        {"UTM", "UTM", W::Text, 30},             {"USNG", "USNG", W::Text, 30},
        {"STR", "STR", W::Text, 40},
    };
    return table;
}

FieldRow facilityRow(const FacilityFeature& f) {
    const WrittenLocation w = writtenLocation(f.at);
    return {f.name, f.type, w.latitude, w.longitude, w.albersX, w.albersY, w.utm, w.usng, w.section};
}

std::vector<Requirement> facilityRequirements(const FacilityFeature& f) {
    return {{!f.name.isEmpty(), QStringLiteral("Enter Facility Name"), QStringLiteral("txtfacName")},
            {!f.type.isEmpty(), QStringLiteral("Select Facility Type"), QStringLiteral("cmbfacType")},
            {f.at.has_value(), QStringLiteral("Please Convert Coordinates"), QStringLiteral("cmdfCoordCon")}};
}

}  // namespace waypost
