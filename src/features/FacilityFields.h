#pragma once
// The facility as its outputs write it, and what must be there before they may.

#include "output/FeatureFields.h"
#include "output/KmlPlacemark.h"
#include "widgets/EnableChecks.h"

namespace waypost {

/// The record file's nine fields and the point shapefile's nine attributes.
const FieldTable& facilityFields();

/// One row for facilityFields(): name, type, the location's four numbers (0
/// without a location), then UTM, grid reference and STR.
FieldRow facilityRow(const FacilityFeature& feature);

/// The enable checks, in order: a name, a type, a location.
std::vector<Requirement> facilityRequirements(const FacilityFeature& feature);

}  // namespace waypost
