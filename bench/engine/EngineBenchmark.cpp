// Nanoseconds per call of the three engine operations the windows use most,
// called the way they call them (through the engine object).

#include "engine/NationalGrid.h"
#include "engine/USNGParser.h"
#include "engine/lltoAlbers.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace waypost::engine;

struct Position {
    double latitude;
    double longitude;
};

// Positions across Florida, where the program is used; a fixed seed keeps runs comparable.
const std::vector<Position>& positions() {
    static const std::vector<Position> points = [] {
        std::mt19937_64 rng(42);
        std::uniform_real_distribution<double> lat(24.5, 31.0), lon(-87.6, -80.0);
        std::vector<Position> p(4096);
        for (auto& x : p) x = {lat(rng), lon(rng)};
        return p;
    }();
    return points;
}

const std::vector<USNGPieces>& references() {
    static const std::vector<USNGPieces> pieces = [] {
        std::vector<USNGPieces> r;
        for (const Position& p : positions())
            r.push_back(*USNGParser(nationalGridReference(utmFromGeographic(p.latitude, p.longitude))).pieces);
        return r;
    }();
    return pieces;
}

void BM_ProjectAlbers(benchmark::State& state) {
    lltoAlbers engine;
    const auto& p = positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const Position& x = p[i++ & (p.size() - 1)];
        benchmark::DoNotOptimize(engine.ProjectAlbers(x.latitude, x.longitude));
    }
}
BENCHMARK(BM_ProjectAlbers);

void BM_USNGFromLatLong(benchmark::State& state) {
    lltoAlbers engine;
    const auto& p = positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const Position& x = p[i++ & (p.size() - 1)];
        benchmark::DoNotOptimize(engine.USNGFromLatLong(x.latitude, x.longitude));
    }
}
BENCHMARK(BM_USNGFromLatLong);

void BM_LatLongFromUSNG(benchmark::State& state) {
    lltoAlbers engine;
    const auto& r = references();
    std::size_t i = 0;
    for (auto _ : state) {
        const USNGPieces& x = r[i++ & (r.size() - 1)];
        benchmark::DoNotOptimize(
            engine.LatLongFromUSNG(x.zoneDesignation, x.squareLetters, x.eastingDigits, x.northingDigits));
    }
}
BENCHMARK(BM_LatLongFromUSNG);

// The parts underneath, for comparison.
void BM_UtmSeriesOnly(benchmark::State& state) {
    const auto& p = positions();
    std::size_t i = 0;
    for (auto _ : state) {
        const Position& x = p[i++ & (p.size() - 1)];
        benchmark::DoNotOptimize(utmFromGeographic(x.latitude, x.longitude));
    }
}
BENCHMARK(BM_UtmSeriesOnly);

void BM_USNGParser(benchmark::State& state) {
    const std::string reference = "16R GU 61158 70495";
    for (auto _ : state) benchmark::DoNotOptimize(USNGParser(reference));
}
BENCHMARK(BM_USNGParser);

}  // namespace

BENCHMARK_MAIN();
