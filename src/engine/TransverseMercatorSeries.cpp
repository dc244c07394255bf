#include "engine/TransverseMercatorSeries.h"

#include "engine/EngineConstants.h"

#include <cmath>
#include <stdexcept>

namespace waypost::engine {

TransverseMercatorSeries::TransverseMercatorSeries(double semiMajorAxis, double semiMinorAxis, double scaleFactor,
                                                   double falseEasting, double pi, double degreesPerRadian) {
    if (!(std::isfinite(semiMajorAxis) && semiMinorAxis > 0 && semiMinorAxis <= semiMajorAxis))
        throw std::invalid_argument("transverse Mercator: axes must satisfy 0 < b <= a");
    if (!(std::isfinite(scaleFactor) && scaleFactor > 0))
        throw std::invalid_argument("transverse Mercator: scale factor must be positive");
    if (!(std::isfinite(falseEasting) && std::isfinite(pi) && pi > 0 && std::isfinite(degreesPerRadian) &&
          degreesPerRadian > 0))
        throw std::invalid_argument("transverse Mercator: false easting and angle factors must be finite");

    m_a = semiMajorAxis;
    m_k0 = scaleFactor;
    m_falseEasting = falseEasting;
    m_radiansPerDegree = pi / 180;
    m_degreesPerRadian = degreesPerRadian;

    const double f = (semiMajorAxis - semiMinorAxis) / semiMajorAxis;
    m_e2 = 2 * f - f * f;
    m_ep2 = m_e2 / (1 - m_e2);
    const double e4 = m_e2 * m_e2;
    const double e6 = e4 * m_e2;

    // Meridian distance M = a (m0 phi - m2 sin 2phi + m4 sin 4phi - m6 sin 6phi).
    m_m0 = 1 - m_e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256;
    m_m2 = 3 * m_e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024;
    m_m4 = 15 * e4 / 256 + 45 * e6 / 1024;
    m_m6 = 35 * e6 / 3072;

    // Rectifying latitude mu = M / (a m0); footpoint latitude from mu by the
    // series in e1 = (1 - sqrt(1 - e^2)) / (1 + sqrt(1 - e^2)).
    m_muDivisor = m_a * (1 - m_e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256);
    const double e1 = (1 - std::sqrt(1 - m_e2)) / (1 + std::sqrt(1 - m_e2));
    const double e1p2 = e1 * e1;
    const double e1p3 = e1p2 * e1;
    const double e1p4 = e1p3 * e1;
    m_f2 = 3 * e1 / 2 - 27 * e1p3 / 32;
    m_f4 = 21 * e1p2 / 16 - 55 * e1p4 / 32;
    m_f6 = 151 * e1p3 / 96;
}

GridCoordinates TransverseMercatorSeries::Forward(double latitude, double longitudeOffset) const {
    const double phi = latitude * m_radiansPerDegree;
    const double lam = longitudeOffset * m_radiansPerDegree;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);

    const double n = m_a / std::sqrt(1 - m_e2 * sinPhi * sinPhi);  // prime-vertical radius
    const double t = tanPhi * tanPhi;
    const double c = m_ep2 * (cosPhi * cosPhi);
    const double a1 = cosPhi * lam;
    const double a2 = a1 * a1;
    const double a3 = a2 * a1;
    const double a4 = a3 * a1;
    const double a5 = a4 * a1;
    const double a6 = a5 * a1;
    const double m = m_a * (m_m0 * phi - m_m2 * std::sin(2 * phi) + m_m4 * std::sin(4 * phi) -
                            m_m6 * std::sin(6 * phi));

    GridCoordinates grid;
    grid.easting = m_k0 * n *
                       (a1 + (1 - t + c) * a3 / 6 + (5 - 18 * t + t * t + 72 * c - 58 * m_ep2) * a5 / 120) +
                   m_falseEasting;
    // The meridian distance of the origin (the equator) is 0.
    grid.northing = m_k0 * (m + n * tanPhi *
                                    (a2 / 2 + (5 - t + 9 * c + 4 * c * c) * a4 / 24 +
                                     (61 - 58 * t + t * t + 600 * c - 330 * m_ep2) * a6 / 720));
    return grid;
}

SeriesGeographic TransverseMercatorSeries::Reverse(double easting, double northing) const {
    const double x = easting - m_falseEasting;
    const double y = northing;

    const double m = y / m_k0;
    const double mu = m / m_muDivisor;
    const double phi1 = mu + m_f2 * std::sin(2 * mu) + m_f4 * std::sin(4 * mu) + m_f6 * std::sin(6 * mu);

    const double sin1 = std::sin(phi1);
    const double cos1 = std::cos(phi1);
    const double tan1 = std::tan(phi1);
    const double w = 1 - m_e2 * (sin1 * sin1);
    const double n1 = m_a / std::sqrt(w);
    const double t1 = tan1 * tan1;
    const double c1 = m_ep2 * (cos1 * cos1);
    const double r1 = m_a * (1 - m_e2) / std::pow(w, 1.5);  // meridian radius of curvature
    const double d = x / (n1 * m_k0);
    const double d2 = d * d;
    const double d3 = d2 * d;
    const double d4 = d3 * d;
    const double d5 = d4 * d;
    const double d6 = d5 * d;

    SeriesGeographic geo;
    geo.latitude = (phi1 - (n1 * tan1 / r1) *
                               (d2 / 2 - (5 + 3 * t1 + 10 * c1 - 4 * c1 * c1 - 9 * m_ep2) * d4 / 24 +
                                (61 + 90 * t1 + 298 * c1 + 45 * t1 * t1 - 252 * m_ep2 - 3 * c1 * c1) * d6 / 720)) *
                   m_degreesPerRadian;
    geo.longitudeOffset =
        m_degreesPerRadian *
        (d - (1 + 2 * t1 + c1) * d3 / 6 + (5 - 2 * c1 + 28 * t1 - 3 * c1 * c1 + 8 * m_ep2 + 24 * t1 * t1) * d5 / 120) /
        cos1;
    return geo;
}

const TransverseMercatorSeries& TransverseMercatorSeries::Utm() {
    static const TransverseMercatorSeries series(utm::semiMajorAxisMetres, utm::semiMinorAxisMetres,
                                                 utm::scaleFactor, utm::falseEastingMetres, utm::pi,
                                                 utm::degreesPerRadian);
    return series;
}

}  // namespace waypost::engine
