#include "output/FacilityTypes.h"

namespace waypost {

const std::vector<FacilityType>& facilityTypeTable() {
    using F = FacilityFamily;
    static const std::vector<FacilityType> table{
        {F::Facilities, "Accident", "accident.png"},
        {F::Facilities, "Boundary Corner", {}},
        {F::Facilities, "Building", {}},
        {F::Facilities, "DOT Fuel Site", "dot_logo.png"},
        {F::Facilities, "Forestry Center", "SHIELD.png"},
        {F::Facilities, "Forestry Site", "SHIELD.png"},
        {F::Facilities, "Forestry Station", "SHIELD.png"},
        {F::Facilities, "Formerly Used Defense Site", {}},
        {F::Facilities, "Parcel", {}},
        {F::Facilities, "Smoke Sensitive Feature", "ssf.png"},
        {F::Facilities, "State Forest Headquarters", "SHIELD.png"},
        {F::Facilities, "Timber Sale", {}},
        {F::Facilities, "Tower", "towera.png"},
        {F::Facilities, "Other", {}},
        {F::ICS, "Aerial Hazard", "av_obstaclea.png"},
        {F::ICS, "Camp", "campa.png"},
        {F::ICS, "Drop Point", "droppoint.png"},
        {F::ICS, "Fire Origin", "fire_origina.png"},
        {F::ICS, "First Aid Station", "faids.png"},
        {F::ICS, "Helibase", "helibasea.png"},
        {F::ICS, "Hot Spot", "hot_spotA.png"},
        {F::ICS, "Incident Base", "incident_basea.png"},
        {F::ICS, "Incident Command Post", "icsa.png"},
        {F::ICS, "Mobile WEAX Unit", "weaxa.png"},
        {F::ICS, "Spot Fire", "spotfirea.png"},
        {F::ICS, "Tanker Base", "tanker_base.png"},
        {F::ICS, "Water Source", "water_sourcea.png"},
        {F::ICS, "Residence", {}},
        {F::ICS, "Other", {}},
        {F::ForestHealth, "Black Turpentine Beetle", "beetle.png"},
        {F::ForestHealth, "IPS Engraver Beetle", "beetle.png"},
        {F::ForestHealth, "Southern Pine Beetle", "beetle.png"},
        {F::ForestHealth, "Other Insect Infestation", "beetle.png"},
        {F::ForestHealth, "Fusiform Rust", "rust.png"},
        {F::ForestHealth, "Needle Rust", "rust.png"},
        {F::ForestHealth, "Other Tree Disease", "otd.png"},
        {F::ForestHealth, "Other", {}},
        {F::Unlisted, "Staging Area", "staginga.png"},
    };
    return table;
}

QStringList facilityTypes(FacilityFamily family) {
    QStringList types;
    for (const FacilityType& t : facilityTypeTable())
        if (t.family == family) types << t.type;
    return types;
}

QString facilityIcon(const QString& facilityType) {
    for (const FacilityType& t : facilityTypeTable())
        if (t.type == facilityType && !t.icon.isEmpty()) return t.icon;
    return QStringLiteral("other.png");
}

}  // namespace waypost
