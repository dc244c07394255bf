#pragma once
// The tools beside every map: the cursor's position, "Save Map Image...",
// "Add Layer..." (any vector source GDAL reads), "Agency Layer..." (a table of
// the agency database), both remembered for every map, and "Clear Layers".
// A window's .ui holds the widgets; this wires them once.

#include "platform/Services.h"

class QLabel;
class QPushButton;

namespace waypost {

class MapPanel;

struct MapControls {
    MapPanel* map;
    QLabel* cursor;
    QPushButton* save;
    QPushButton* addLayer;
    QPushButton* agencyLayer;
    QPushButton* clearLayers;
};

/// Gives the map the state and its counties from the program's map folder and
/// the remembered layers, and connects its tools.
void setUpMap(const MapControls& controls, Services& services);

}  // namespace waypost
