#pragma once
// A statewide sample grid of PLSS sections: idealised townships and sections
// laid out from the state's initial point, kept where their centres lie
// inside the state's outline. It is a sample for trying the look-ups, not
// survey data.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace waypost::plss {

/// One section as the databases store it.
struct SectionRecord {
    std::string key;       ///< "T01N R05W S12"
    double longitude = 0;  ///< centre, degrees, west negative
    double latitude = 0;
    double acres = 0;
};

/// A state outline: closed rings of longitude/latitude vertices; a point is
/// inside when it is inside an odd number of rings.
class Outline {
public:
    using Ring = std::vector<std::pair<double, double>>;  ///< (longitude, latitude)

    /// Reads the outline file format: '#' comments, "ring N" or "hole N"
    /// headers, then one "longitude latitude" line per vertex.
    /// \throws std::runtime_error naming the file and line when it cannot be read.
    static Outline read(const std::filesystem::path& path);

    explicit Outline(std::vector<Ring> rings) : m_rings(std::move(rings)) {}
    [[nodiscard]] bool contains(double longitude, double latitude) const;
    [[nodiscard]] const std::vector<Ring>& rings() const { return m_rings; }

private:
    std::vector<Ring> m_rings;
};

/// The grid's definition.
namespace sampleGrid {
inline constexpr double initialLatitude = 30.434167;    ///< 30 26 03 N
inline constexpr double initialLongitude = -84.277222;  ///< 84 16 38 W
inline constexpr double degreesLatitudePerMile = 0.014484;
inline constexpr double milesPerDegreeOfLongitude = 69.172;  ///< at the equator
inline constexpr int northTownships = 7;
inline constexpr int southTownships = 67;
inline constexpr int eastRanges = 43;
inline constexpr int westRanges = 34;
inline constexpr double regularAcres = 640;
inline constexpr int smallestIrregularAcres = 560;
inline constexpr int largestIrregularAcres = 720;
inline constexpr int centreDecimals = 6;  ///< centres are stored to the microdegree
}  // namespace sampleGrid

/// Row (0 = north row) and column (0 = west column) of \p section (1-36) in
/// its township: the north row numbered 1-6 from east to west, the next 7-12
/// from west to east, and so on alternating.
[[nodiscard]] std::pair<int, int> sectionPlace(int section);

/// The sample section \p section of township \p township \p townshipDirection
/// ('N' or 'S') and range \p range \p rangeDirection ('E' or 'W'), wherever it
/// lies: its key, centre (rounded to 6 decimals) and acreage. The north row
/// and the west column of a township deviate from 640 acres by an amount fixed
/// by the key (560 to 720); the others are 640.
[[nodiscard]] SectionRecord sampleSection(int township, char townshipDirection, int range, char rangeDirection,
                                          int section);

/// Every sample section whose centre lies inside \p outline, township by
/// township (north before south, east before west), sections in number order.
[[nodiscard]] std::vector<SectionRecord> sampleSections(const Outline& outline);

/// Writes the three section databases into \p folder: each is built under a
/// temporary name in the folder and renamed over the old one only when all
/// three are complete, so a failed build leaves the old ones in place.
/// \throws database::DatabaseError or std::filesystem::filesystem_error.
void writeSectionDatabases(const std::vector<SectionRecord>& sections, const std::filesystem::path& folder);

}  // namespace waypost::plss
