#include "output/WildfireLists.h"

namespace waypost {

const QStringList& wildfireFuels() {
    static const QStringList fuels{"Blowy Leaf", "Dense Pine", "Grass",  "Hurricane Debris", "Melaleuca",
                                   "Muck Fuels", "Palmetto-Gallberry", "Swamp", "Other"};
    return fuels;
}

const QStringList& wildfireCauses() {
    static const QStringList causes{"lightning",  "campfire",  "children", "smoking", "debris burn",
                                    "incendiary", "equipment", "railroad", "Unknown"};
    return causes;
}

}  // namespace waypost
