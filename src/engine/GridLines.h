#pragma once
// The US National Grid lines a map draws over a view: lines of constant
// easting and northing every 100 km, 10 km or 1 km, each within its own UTM
// zone, as polylines of longitude and latitude.

#include <vector>

namespace waypost::engine {

/// A view in degrees (west < east, south < north), northern hemisphere.
struct Extent {
    double west = 0, south = 0, east = 0, north = 0;
};

/// One grid line, as vertices of longitude and latitude.
struct GridLine {
    int zone = 0;
    bool constantEasting = true;  ///< a line of one easting (running north), else of one northing
    double metres = 0;            ///< the easting or northing it keeps
    std::vector<std::pair<double, double>> points;  ///< (longitude, latitude)
};

/// The spacing a view shows: 100 km while it is wider than 400 km, 10 km down
/// to 40 km, then 1 km; in metres.
int gridSpacingFor(const Extent& view);

/// The lines every \p spacingMetres within \p view, each zone's lines kept
/// within the zone (on -78, -84 and -90 degrees a point belongs to the zone
/// west of it, as the grid references do) and within the view. At most
/// \p maxLines lines; a finer spacing than the view can show gives none.
std::vector<GridLine> gridLines(const Extent& view, int spacingMetres, int maxLines = 2000);

}  // namespace waypost::engine
