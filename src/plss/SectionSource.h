#pragma once
// Reading PLSS section polygons from any GDAL vector source (shapefile,
// GeoPackage, file geodatabase ...) and the waypost-plss-build program that
// turns them into the program's section databases.

#include "plss/SampleGrid.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace waypost::plss {

/// Where the section key comes from: one field holding the whole key, or
/// fields for the township, range and section numbers and the two directions.
struct SectionFields {
    std::string key;  ///< a field holding "T01N R05W S12" (or "T1N R5W S12"); empty: use the others
    std::string township, townshipDirection;
    std::string range, rangeDirection;
    std::string section;
};

/// What reading a source gave.
struct SourceSections {
    std::vector<SectionRecord> sections;  ///< one per key, in the order first met
    /// With polygons asked for: each section's polygons in WGS 84 as
    /// "SRID=4326;MULTIPOLYGON(...)", in the order of \c sections.
    std::vector<std::string> polygons;
    std::size_t featuresRead = 0;
    std::map<std::string, std::size_t> skipped;  ///< reason -> features skipped for it
};

/// Reads the polygons of \p layer (empty: the first layer) of \p source. Each
/// section's centre is the centroid of its polygon in WGS 84 longitude and
/// latitude (the source's own coordinate system is transformed; a source
/// without one is taken as WGS 84), its area is measured in an equal-area
/// projection and given in acres. Several polygons with one key make one
/// section (areas added, centre weighted by area). Progress goes to \p progress.
/// \throws std::runtime_error when the source, layer or a named field cannot be used.
[[nodiscard]] SourceSections readSectionSource(const std::string& source, const std::string& layer,
                                               const SectionFields& fields, std::ostream& progress,
                                               bool withPolygons = false);

/// Writes the sections of a build to a server named by a connection string
/// (the part after "PG:" of --output); given by the program, which links the
/// agency database. \throws std::runtime_error with the reason.
using ServerSectionWriter = std::function<void(const std::string& connection, const SourceSections& sections)>;

/// The waypost-plss-build program. \p args are the arguments after its name.
/// \return 0 when the databases were written, 1 on failure, 2 for bad usage.
int runPlssBuild(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                 const ServerSectionWriter& server = {});

}  // namespace waypost::plss
