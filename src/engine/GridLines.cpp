#include "engine/GridLines.h"

#include "engine/NationalGrid.h"
#include "engine/TransverseMercatorSeries.h"

#include <algorithm>
#include <cmath>

namespace waypost::engine {
namespace {

constexpr int kSamples = 24;  // vertices along a line across the view

double centralMeridianOf(int zone) { return (zone - 1) * 6.0 - 180 + 3; }

/// The zone a longitude belongs to at latitude \p latitude, as the references assign it.
int zoneAt(double latitude, double longitude) { return utmFromGeographic(latitude, longitude).zone; }

/// A zone's part of the view: its own longitudes within the view's.
struct ZoneBand {
    int zone;
    double west, east;
};

std::vector<ZoneBand> zoneBands(const Extent& view) {
    std::vector<ZoneBand> bands;
    const double middle = (view.south + view.north) / 2;
    for (int zone = zoneAt(middle, view.west); zone <= zoneAt(middle, view.east); ++zone) {
        const double cm = centralMeridianOf(zone);
        bands.push_back({zone, std::max(view.west, cm - 3), std::min(view.east, cm + 3)});
    }
    return bands;
}

GridCoordinates project(int zone, double latitude, double longitude) {
    return TransverseMercatorSeries::Utm().Forward(latitude, longitude - centralMeridianOf(zone));
}

/// Whether (\p longitude, \p latitude) lies in the zone's part of the view.
bool inside(const ZoneBand& band, const Extent& view, double longitude, double latitude) {
    return longitude >= band.west && longitude <= band.east && latitude >= view.south && latitude <= view.north &&
           zoneAt(latitude, longitude) == band.zone;
}

}  // namespace

int gridSpacingFor(const Extent& view) {
    const double middle = (view.south + view.north) / 2;
    const double km = (view.east - view.west) * 111.32 * std::cos(middle * 3.14159265358979 / 180);
    if (km > 400) return 100000;
    if (km > 40) return 10000;
    return 1000;
}

std::vector<GridLine> gridLines(const Extent& view, int spacingMetres, int maxLines) {
    std::vector<GridLine> lines;
    if (spacingMetres <= 0 || !(view.west < view.east) || !(view.south < view.north)) return lines;
    for (const ZoneBand& band : zoneBands(view)) {
        // The band's reach in the zone's grid, from its edges.
        double minE = 1e18, maxE = -1e18, minN = 1e18, maxN = -1e18;
        for (int i = 0; i <= kSamples; ++i) {
            const double t = double(i) / kSamples;
            for (const auto& [lat, lon] : {std::pair{view.south, band.west + t * (band.east - band.west)},
                                           std::pair{view.north, band.west + t * (band.east - band.west)},
                                           std::pair{view.south + t * (view.north - view.south), band.west},
                                           std::pair{view.south + t * (view.north - view.south), band.east}}) {
                const GridCoordinates g = project(band.zone, lat, lon);
                minE = std::min(minE, g.easting), maxE = std::max(maxE, g.easting);
                minN = std::min(minN, g.northing), maxN = std::max(maxN, g.northing);
            }
        }
        const auto first = [&](double low) { return std::ceil(low / spacingMetres) * spacingMetres; };
        const double count = (maxE - minE) / spacingMetres + (maxN - minN) / spacingMetres;
        if (count + double(lines.size()) > maxLines) return {};  // finer than the view can show
        const auto addLine = [&](bool constantEasting, double metres) {
            GridLine line{band.zone, constantEasting, metres, {}};
            const double from = constantEasting ? minN : minE, to = constantEasting ? maxN : maxE;
            for (int i = 0; i <= kSamples; ++i) {
                const double along = from + (to - from) * i / kSamples;
                const SeriesGeographic g = constantEasting ? TransverseMercatorSeries::Utm().Reverse(metres, along)
                                                           : TransverseMercatorSeries::Utm().Reverse(along, metres);
                const double longitude = centralMeridianOf(band.zone) + g.longitudeOffset;
                if (inside(band, view, longitude, g.latitude)) {
                    line.points.emplace_back(longitude, g.latitude);
                } else if (line.points.size() >= 2) {
                    lines.push_back(line);
                    line.points.clear();
                } else {
                    line.points.clear();
                }
            }
            if (line.points.size() >= 2) lines.push_back(std::move(line));
        };
        for (double e = first(minE); e <= maxE; e += spacingMetres) addLine(true, e);
        for (double n = first(minN); n <= maxN; n += spacingMetres) addLine(false, n);
    }
    return lines;
}

}  // namespace waypost::engine
