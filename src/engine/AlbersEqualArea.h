#pragma once
// The state Albers equal-area conic grid in which every shapefile is written.

#include <string>

namespace waypost::engine {

/// One projected position, rounded to whole metres as the grid stores it.
struct AlbersPoint {
    double x = 0;      ///< easting (metres, a whole number, false easting included)
    double y = 0;      ///< northing (metres, a whole number; negative south of the origin)
    std::string text;  ///< easting, a comma and northing in plain digits: "376025,721400"
};

/// One projected position before rounding, for measuring.
struct AlbersMetres {
    double x = 0;  ///< easting (metres, false easting included)
    double y = 0;  ///< northing (metres)
};

/// Albers equal-area conic projection with two standard parallels, the first of
/// which is also the latitude of origin.
///
/// Degrees become radians with the factor pi / 180 for the pi given to the
/// constructor; the state grid uses pi = 3.14159 for every angle (both
/// standard parallels, the latitude and the longitude difference), which moves
/// results by up to about a metre against a full-precision pi. Stored Albers
/// coordinates were made that way, so the short pi is part of the grid.
class AlbersEqualArea {
public:
    /// \param semiMajorAxis equatorial radius a (metres), finite and > 0.
    /// \param flattening f of the ellipsoid, 0 < f < 1.
    /// \param pi the value of pi used for degrees to radians, > 0.
    /// \param firstParallel latitude of the first standard parallel and of the
    ///   origin (degrees), strictly between -90 and 90.
    /// \param secondParallel latitude of the second standard parallel (degrees),
    ///   strictly between -90 and 90 and different from the first.
    /// \param centralMeridian longitude of the central meridian (degrees), finite.
    /// \param falseEasting, falseNorthing added to the results (metres), finite.
    /// \throws std::invalid_argument if any parameter is outside its range (NaN included).
    AlbersEqualArea(double semiMajorAxis, double flattening, double pi, double firstParallel,
                    double secondParallel, double centralMeridian, double falseEasting,
                    double falseNorthing);

    /// Projects a position and rounds each coordinate to whole metres by
    /// formatting it with no decimals (a half rounds away from zero).
    /// \param latitude degrees, north positive, -90 to 90 (not checked: every
    ///   latitude in that range projects, the short pi keeps the logarithm finite).
    /// \param longitude degrees, east positive (not checked).
    /// A NaN argument gives NaN in the text and 0 in the numbers.
    [[nodiscard]] AlbersPoint Forward(double latitude, double longitude) const;
    /// Forward without the rounding to whole metres: what areas and lengths
    /// are measured on (rounding each vertex adds length to dense tracks).
    [[nodiscard]] AlbersMetres Unrounded(double latitude, double longitude) const;

    /// The cone constant n (negative for the state grid, about -0.4646311584).
    [[nodiscard]] double coneConstant() const { return m_n; }

    /// The state grid: GRS 80, standard parallels 24 and 31.5 degrees (origin at
    /// 24), central meridian -84, false easting 400000 m, pi = 3.14159.
    static const AlbersEqualArea& StateGrid();

private:
    [[nodiscard]] double q(double sine) const;

    double m_a;
    double m_e2;
    double m_e;
    double m_radiansPerDegree;
    double m_centralMeridian;
    double m_falseEasting;
    double m_falseNorthing;
    double m_n;
    double m_c;
    double m_rho0;
};

}  // namespace waypost::engine
