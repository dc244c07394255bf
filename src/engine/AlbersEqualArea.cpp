#include "engine/AlbersEqualArea.h"

#include "engine/EngineConstants.h"
#include "numbers/Numbers.h"

#include <cmath>
#include <stdexcept>

namespace waypost::engine {

namespace nb = waypost::numbers;

AlbersEqualArea::AlbersEqualArea(double semiMajorAxis, double flattening, double pi,
                                 double firstParallel, double secondParallel, double centralMeridian,
                                 double falseEasting, double falseNorthing) {
    if (!(std::isfinite(semiMajorAxis) && semiMajorAxis > 0))
        throw std::invalid_argument("Albers: semi-major axis must be a positive number of metres");
    if (!(flattening > 0 && flattening < 1))
        throw std::invalid_argument("Albers: flattening must lie strictly between 0 and 1");
    if (!(std::isfinite(pi) && pi > 0)) throw std::invalid_argument("Albers: pi must be positive");
    if (!(std::abs(firstParallel) < 90 && std::abs(secondParallel) < 90))
        throw std::invalid_argument("Albers: standard parallels must lie strictly between -90 and 90 degrees");
    if (firstParallel == secondParallel)
        throw std::invalid_argument("Albers: the two standard parallels must differ");
    if (!(std::isfinite(centralMeridian) && std::isfinite(falseEasting) && std::isfinite(falseNorthing)))
        throw std::invalid_argument("Albers: central meridian and false origin must be finite");

    m_a = semiMajorAxis;
    m_centralMeridian = centralMeridian;
    m_falseEasting = falseEasting;
    m_falseNorthing = falseNorthing;

    // Everything that does not depend on the point, formed in the grid's own
    // order of operations so the results match the stored coordinates bit for bit.
    m_e2 = flattening * (2 - flattening);
    m_e = std::sqrt(m_e2);
    m_radiansPerDegree = pi / 180;
    const double phi1 = firstParallel * m_radiansPerDegree;
    const double phi2 = secondParallel * m_radiansPerDegree;
    const double s1 = std::sin(phi1);
    const double s2 = std::sin(phi2);
    // Radius of curvature in the prime vertical, then the parallel's scale m.
    const double n1 = m_a / std::sqrt(1 - (m_e2 * s1) * s1);
    const double n2 = m_a / std::sqrt(1 - (m_e2 * s2) * s2);
    const double m1 = (n1 * std::cos(phi1)) / m_a;
    const double m2 = (n2 * std::cos(phi2)) / m_a;
    const double q1 = q(s1);
    const double q2 = q(s2);
    m_n = (m1 * m1 - m2 * m2) / (q1 - q2);
    m_c = m1 * m1 - m_n * q1;
    // The latitude of origin is the first parallel, so q1 serves as q0.
    m_rho0 = (m_a / m_n) * std::sqrt(m_c + m_n * q1);
}

// q(t) = (1 - e^2) [ t / (1 - e^2 t^2) + 1/(2e) ln((1 + e t) / (1 - e t)) ], t = sin(latitude):
// the authalic function of the equal-area cone.
double AlbersEqualArea::q(double t) const {
    return (1 - m_e2) * (t / (1 - (m_e2 * t) * t) + (1 / (2 * m_e)) * std::log((1 + m_e * t) / (1 - m_e * t)));
}

AlbersMetres AlbersEqualArea::Unrounded(double latitude, double longitude) const {
    const double p = latitude * m_radiansPerDegree;
    const double s = std::sin(p);
    const double qs = q(s);
    const double theta = (m_n * (longitude - m_centralMeridian)) * m_radiansPerDegree;
    const double rho = (m_a / m_n) * std::sqrt(m_c + m_n * qs);
    return {rho * std::sin(theta) + m_falseEasting, rho * std::cos(theta) - m_rho0 + m_falseNorthing};
}

AlbersPoint AlbersEqualArea::Forward(double latitude, double longitude) const {
    const auto [x, y] = Unrounded(latitude, longitude);

    // Whole metres the way the grid has always rounded them: formatted with no
    // decimals (a half away from zero), and that text read back.
    AlbersPoint point;
    std::string eastingText = nb::formatFixed(x, 0);
    const std::string northingText = nb::formatFixed(y, 0);
    point.x = nb::parseLenient(eastingText);
    point.y = nb::parseLenient(northingText);
    point.text = std::move(eastingText);
    point.text += ',';
    point.text += northingText;
    return point;
}

const AlbersEqualArea& AlbersEqualArea::StateGrid() {
    static const AlbersEqualArea grid(albers::semiMajorAxisMetres, 1 / albers::inverseFlattening, albers::pi,
                                      albers::firstStandardParallelDegrees, albers::secondStandardParallelDegrees,
                                      albers::centralMeridianDegrees, albers::falseEastingMetres,
                                      albers::falseNorthingMetres);
    return grid;
}

}  // namespace waypost::engine
