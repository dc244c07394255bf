#pragma once
// The facility as its outputs write it: record file lines and the point
// shapefile's attribute table.

#include "output/RecordFile.h"
#include "output/ShapefileWriter.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace waypost {

/// What the facilities window shows of one feature: texts as the fields and
/// labels hold them.
struct FacilityValues {
    QString name, type;
    QString latitude, longitude, albersX, albersY, utm, usng, str;
};

/// The header line's field names of a facility record file.
const QStringList& facilityRecordHeader();

/// One record: name, type, the four numbers read leniently from their label
/// texts (an empty label gives 0), then UTM, grid reference and STR.
std::vector<RecordValue> facilityRecord(const FacilityValues& values);

/// Defines the point shapefile's nine fields on a writer opened to create.
void addFacilityFields(ShapefileWriter& writer);

/// Writes the feature as one point record at its Albers easting and northing.
void writeFacilityShape(ShapefileWriter& writer, const FacilityValues& values);

}  // namespace waypost
