#pragma once
// The transverse Mercator series (the classic power series in the longitude
// difference) used for UTM and the US National Grid.

namespace waypost::engine {

/// Easting and northing of a point in its zone.
struct GridCoordinates {
    double easting = 0;   ///< metres, false easting included
    double northing = 0;  ///< metres from the equator (negative south of it; no false northing)
};

/// Latitude and longitude difference from the series' inverse.
struct SeriesGeographic {
    double latitude = 0;          ///< degrees
    double longitudeOffset = 0;   ///< degrees east of the central meridian
};

/// Transverse Mercator by power series on an ellipsoid given by its two axes.
///
/// The forward series carries the longitude difference to the sixth power, the
/// inverse the footpoint latitude series to e1^4; together they agree with the
/// exact projection to well under a centimetre within 4 degrees of the central
/// meridian. Farther out they drift (the UTM zones never ask for more than 3
/// degrees, 6 in the Norway exception).
class TransverseMercatorSeries {
public:
    /// \param semiMajorAxis a (metres) and \param semiMinorAxis b (metres),
    ///   finite with 0 < b <= a.
    /// \param scaleFactor k0 on the central meridian, > 0.
    /// \param falseEasting added to eastings (metres), finite.
    /// \param pi the value of pi for degrees to radians in Forward.
    /// \param degreesPerRadian the factor Reverse uses for radians to degrees.
    /// \throws std::invalid_argument if a parameter is outside its range (NaN included).
    TransverseMercatorSeries(double semiMajorAxis, double semiMinorAxis, double scaleFactor, double falseEasting,
                             double pi, double degreesPerRadian);

    /// \param latitude degrees, -90 to 90 (not checked).
    /// \param longitudeOffset degrees east of the central meridian (not checked;
    ///   accurate within about 4 degrees).
    [[nodiscard]] GridCoordinates Forward(double latitude, double longitudeOffset) const;

    /// \param easting metres, false easting included.
    /// \param northing metres from the equator, negative in the south.
    [[nodiscard]] SeriesGeographic Reverse(double easting, double northing) const;

    /// WGS 84 with k0 = 0.9996 and false easting 500000 m, as UTM uses it.
    static const TransverseMercatorSeries& Utm();

private:
    double m_a;
    double m_e2;
    double m_ep2;
    double m_k0;
    double m_falseEasting;
    double m_radiansPerDegree;
    double m_degreesPerRadian;
    // Meridian-distance series coefficients (forward).
    double m_m0, m_m2, m_m4, m_m6;
    // Footpoint-latitude series coefficients (inverse).
    double m_muDivisor, m_f2, m_f4, m_f6;
};

}  // namespace waypost::engine
