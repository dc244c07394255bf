#pragma once
// The facility types of the three families, in list order, with the icon each
// one's placemark shows.

#include <QString>
#include <QStringList>

#include <vector>

namespace waypost {

enum class FacilityFamily {
    Facilities,
    ICS,
    ForestHealth,
    Unlisted,  ///< has an icon but is in no list; it may still be typed
};

struct FacilityType {
    FacilityFamily family;
    QString type;
    QString icon;  ///< a file in the data folder's icons/; empty: "other.png"
};

/// Every type once: the three lists in their order, then the unlisted ones.
const std::vector<FacilityType>& facilityTypeTable();

/// The type list of \p family, in order.
QStringList facilityTypes(FacilityFamily family);

/// The icon of a facility type ("other.png" for a type without one, or a typed one).
QString facilityIcon(const QString& facilityType);

}  // namespace waypost
