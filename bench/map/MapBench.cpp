// The map's redraw at statewide and at section view (800 x 600): the median
// of many redraws, each the grid lines worked out and every layer drawn; then
// a million converted points read from their table and drawn.
//   map_bench [REDRAWS]

#include "../support/RandomPoints.h"
#include "batch/BatchRun.h"
#include "map/MapPanel.h"
#include "plss/SampleGrid.h"

#include <QDir>
#include <QFile>
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
    waypost::MapContent content;
    auto base = std::make_shared<waypost::BaseMap>();
    base->outline = waypost::plss::Outline::read(WAYPOST_SOURCE_DIR "/tools/plss/florida_outline.txt").rings();
    waypost::readCounties(WAYPOST_SOURCE_DIR "/tools/map/florida_counties.txt", *base);
    content.base = base;
    content.point = std::pair(-84.2807, 30.4383);
    content.pointLabel = QStringLiteral("16R GU 6115 7049");
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

    // A million converted points: read from their table, then drawn at
    // statewide view (a density picture) and in a small view (dots).
    const QString database = QDir(QDir::tempPath()).filePath(QStringLiteral("map_bench_points.sqlite"));
    waypost::bench::writeRandomPoints(database, 1000000, 30);
    const auto start = std::chrono::steady_clock::now();
    content.points = std::make_shared<const std::vector<std::pair<double, double>>>(waypost::batch::readTablePoints(
        database, QStringLiteral("t"), QStringLiteral("lat"), QStringLiteral("lon")));
    const auto read = std::chrono::steady_clock::now();
    renderer.render(views[0].second, QSize(800, 600), content);
    const auto drawn = std::chrono::steady_clock::now();
    const waypost::PointsDrawn statewide = renderer.pointsDrawn();
    renderer.render({-84.30, 30.40, -84.25, 30.45}, QSize(800, 600), content);
    const auto zoomed = std::chrono::steady_clock::now();
    const auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    std::printf("1,000,000 points: read %.0f ms, statewide %.0f ms (%zu in view, %s), zoomed %.0f ms (%zu dots); "
                "read and drawn %.2f s\n",
                ms(start, read), ms(read, drawn), statewide.inView, statewide.density ? "density" : "dots", ms(drawn, zoomed),
                renderer.pointsDrawn().inView, ms(start, drawn) / 1000);
    QFile::remove(database);
    return 0;
}
