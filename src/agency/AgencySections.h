#pragma once
// The agency's section polygons on the server: loaded by waypost-plss-build,
// asked by "Find STR" and waypost-convert str for the section holding a point.

#include "agency/AgencyDatabase.h"
#include "plss/SampleGrid.h"
#include "plss/SectionLookup.h"

#include <optional>
#include <string>
#include <vector>

namespace waypost::agency {

/// The server table of section polygons.
inline constexpr const char* kSectionTable = "plss_sections";

/// Replaces the server's sections with \p sections and their polygons
/// (\p polygons, one "SRID=4326;MULTIPOLYGON(...)" text a section, in the same
/// order): one transaction, a GiST index on the polygons. \throws AgencyError.
void loadSections(Connection& connection, const std::vector<plss::SectionRecord>& sections,
                  const std::vector<std::string>& polygons);

/// The section whose polygon holds (\p latitude, \p longitude), described as
/// the nearest-centre search describes its answer; nothing when no polygon
/// holds the point or the server has no sections. \throws AgencyError.
std::optional<plss::FoundSection> sectionContaining(Connection& connection, double latitude, double longitude);

/// The centre of section \p key in the agency database; nothing when it is not
/// there (or the server has no sections). \throws AgencyError.
std::optional<std::pair<double, double>> sectionCentre(Connection& connection, const std::string& key);

/// The city and state of \p zip in the agency database's table zipcodeq (the
/// columns ZIP_CODE, CITY and, when there, STATE, in any case; leading zeros
/// do not matter); nothing when the zip code or the table is not there.
/// \throws AgencyError.
std::optional<std::pair<std::string, std::string>> zipCity(Connection& connection, const std::string& zip);

}  // namespace waypost::agency
