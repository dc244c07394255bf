// waypost-convert usng against GeographicLib's GeoConvert -m (1 m precision)
// on the same generated file, timed in the same run.
//
// Usage: engine_convert_bench [LINES] [WORK_FOLDER]   (defaults 1000000 and the
// system temporary folder). Prints both times, lines per second and the ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

namespace {

constexpr int rounds = 3;  // each tool runs this often, alternately; the best time counts

std::string quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

/// Runs a shell command; returns seconds, or a negative value on failure.
double timed(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto end = std::chrono::steady_clock::now();
    if (status != 0) return -1;
    return std::chrono::duration<double>(end - start).count();
}

std::size_t countLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

}  // namespace

int main(int argc, char** argv) {
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    const std::string waypost = WAYPOST_CONVERT_PATH;
    const std::string geoConvert = GEOCONVERT_PATH;
    if (lines <= 0) {
        std::cerr << "usage: engine_convert_bench [LINES] [WORK_FOLDER]\n";
        return 2;
    }

    // Half Florida, half the rest of the grid (80 S to 84 N), six decimals like typed coordinates.
    const std::string input = (folder / "engine_convert_bench_points.txt").string();
    {
        std::ofstream out(input, std::ios::binary);
        std::mt19937_64 rng(611);
        std::uniform_real_distribution<double> flLat(24.5, 31.0), flLon(-87.6, -80.0);
        std::uniform_real_distribution<double> lat(-79.9, 83.9), lon(-180.0, 179.9);
        char line[64];
        for (long i = 0; i < lines; ++i) {
            const bool florida = i % 2 == 0;
            std::snprintf(line, sizeof line, "%.6f %.6f\n", florida ? flLat(rng) : lat(rng),
                          florida ? flLon(rng) : lon(rng));
            out << line;
        }
    }

    const std::string ourOutput = (folder / "engine_convert_bench_waypost.txt").string();
    const std::string theirOutput = (folder / "engine_convert_bench_geoconvert.txt").string();
    const std::string ourCommand = quoted(waypost) + " usng <" + quoted(input) + " >" + quoted(ourOutput);
    const std::string theirCommand =
        quoted(geoConvert) + " -m -p 0 <" + quoted(input) + " >" + quoted(theirOutput);

    double ours = 1e300;
    double theirs = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const double a = timed(ourCommand);
        if (a < 0) {
            std::cerr << "waypost-convert failed: " << ourCommand << "\n";
            return 1;
        }
        ours = std::min(ours, a);
        if (!geoConvert.empty()) {
            const double b = timed(theirCommand);
            if (b < 0) {
                std::cerr << "GeoConvert failed: " << theirCommand << "\n";
                return 1;
            }
            theirs = std::min(theirs, b);
        }
    }

    const std::size_t ourLines = countLines(ourOutput);
    std::printf("lines: %ld (best of %d runs each)\n", lines, rounds);
    std::printf("waypost-convert usng : %8.3f s  %10.0f lines/s  %6.0f ns/line  (%zu lines out)\n", ours,
                lines / ours, ours * 1e9 / lines, ourLines);
    if (geoConvert.empty()) {
        std::printf("GeoConvert not found: no comparison\n");
        return ourLines == static_cast<std::size_t>(lines) ? 0 : 1;
    }
    const std::size_t theirLines = countLines(theirOutput);
    std::printf("GeoConvert -m -p 0   : %8.3f s  %10.0f lines/s  %6.0f ns/line  (%zu lines out)\n", theirs,
                lines / theirs, theirs * 1e9 / lines, theirLines);
    std::printf("ratio GeoConvert / waypost-convert: %.2f (target at least 3)\n", theirs / ours);
    return (ourLines == static_cast<std::size_t>(lines) && theirLines == static_cast<std::size_t>(lines)) ? 0 : 1;
}
