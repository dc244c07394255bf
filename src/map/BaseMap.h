#pragma once
// What every map shows under the work: the state's outline, the borders of
// its counties and their names (committed data derived from the US Census
// boundaries, read from the program's map folder).

#include <QString>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace waypost {

using MapRing = std::vector<std::pair<double, double>>;  ///< (longitude, latitude) vertices

/// A name written at a point of the map.
struct PlaceName {
    std::string name;
    double longitude = 0, latitude = 0;
};

struct BaseMap {
    std::vector<MapRing> outline;      ///< the state's rings
    std::vector<MapRing> countyLines;  ///< the borders between counties, each once
    std::vector<PlaceName> countyNames;
};

/// The county file: '#' comments, "county LON LAT NAME" label points, and
/// "line N" headers each followed by "longitude latitude" vertex lines.
/// \throws std::runtime_error naming the file and line it cannot read.
void readCounties(const std::filesystem::path& path, BaseMap& into);

/// The outline and counties of \p mapFolder; a file that is missing or cannot
/// be read leaves its part empty (the map then draws the grid without it).
BaseMap readBaseMap(const QString& mapFolder);

}  // namespace waypost
