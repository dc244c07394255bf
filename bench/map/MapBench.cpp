// The map's redraw at statewide and at section view (800 x 600): the median
// of many redraws, each the grid lines worked out and every layer drawn.
//   map_bench [REDRAWS]

#include "map/MapPanel.h"
#include "plss/SampleGrid.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int redraws = argc > 1 ? std::atoi(argv[1]) : 100;
    waypost::MapRenderer renderer;
    const waypost::MapContent content{
        waypost::plss::Outline::read(WAYPOST_SOURCE_DIR "/tools/plss/florida_outline.txt").rings(),
        std::pair(-84.2807, 30.4383), QStringLiteral("16R GU 6115 7049")};
    const std::pair<const char*, waypost::engine::Extent> views[] = {{"statewide", {-88.0, 24.0, -79.5, 31.5}},
                                                                     {"section", {-84.30, 30.42, -84.26, 30.45}}};
    for (const auto& [name, view] : views) {
        std::vector<double> ms;
        for (int i = 0; i < redraws; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const QImage image = renderer.render(view, QSize(800, 600), content);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (image.isNull()) return 1;
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-10s redraw median %6.2f ms (%zu grid lines, %d redraws)\n", name, ms[ms.size() / 2],
                    renderer.gridLineCount(), redraws);
    }
    return 0;
}
