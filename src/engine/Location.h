#pragma once
// One located point as the conversion page makes it and hands it on.

#include "engine/lltoAlbers.h"

#include <optional>
#include <string>

namespace waypost::engine {

/// The section a search answered, with the point it was asked for.
struct FoundSection {
    std::string text;  ///< "T01S R05E S12 SW 1/4 of the NE 1/4", or "No Record"
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const FoundSection&, const FoundSection&) = default;
};

/// A point with everything the windows show and write of it. The numbers are
/// held at the precision shown and written (degrees to six decimals, Albers in
/// whole metres); text is made from them where it is shown.
struct Location {
    double latitude = 0;   ///< degrees, north positive
    double longitude = 0;  ///< degrees, east positive (the page's are west, negative)
    double albersX = 0;    ///< Albers easting, whole metres
    double albersY = 0;    ///< Albers northing, whole metres
    std::string utm;       ///< "16R 761158 3370495"
    std::string usng;      ///< "16R GU 61158 70495"
    /// The last section found; it belongs to this location only while its
    /// point is this one (see sectionText).
    std::optional<FoundSection> section;

    /// The section's text when it was found for this very point, otherwise empty.
    std::string sectionText() const;
    /// Whether the section was found for this point.
    bool sectionApplies() const;

    std::string latitudeText() const;   ///< "30.500000"
    std::string longitudeText() const;  ///< "-084.250000"
    std::string albersXText() const;    ///< "376025"
    std::string albersYText() const;    ///< "721400"

    friend bool operator==(const Location&, const Location&) = default;
};

/// The location of a point given in degrees at full precision: Albers from the
/// point itself, the grid reference and UTM from the point to twelve decimals,
/// latitude and longitude kept to six. Uses and overwrites \p engine's results.
Location locate(lltoAlbers& engine, double latitude, double longitude);

/// Degrees as the windows show a latitude ("00.000000") and a longitude ("000.000000").
std::string latitudeText(double degrees);
std::string longitudeText(double degrees);

}  // namespace waypost::engine
