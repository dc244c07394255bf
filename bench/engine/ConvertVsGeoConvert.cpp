// waypost-convert against GeographicLib's GeoConvert on the same generated
// files, timed in the same run: usng against -m, utm against -u (both 1 m
// precision) and latlong against -g on the references usng wrote.
//
// Usage: engine_convert_bench [LINES] [WORK_FOLDER]   (defaults 1000000 and the
// system temporary folder). Prints both times, lines per second and the ratio
// for each subcommand.

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

    // The references, written without blanks so that GeoConvert reads each as one coordinate.
    const std::string references = (folder / "engine_convert_bench_references.txt").string();
    if (timed(quoted(waypost) + " usng <" + quoted(input) + " | tr -d ' ' >" + quoted(references)) < 0) {
        std::cerr << "could not write the references\n";
        return 1;
    }

    struct Job {
        const char* subcommand;
        const char* geoConvertOptions;
        const std::string& input;
    };
    const Job jobs[] = {{"usng", "-m -p 0", input}, {"utm", "-u -p 0", input}, {"latlong", "-g -p 0", references}};
    std::printf("lines: %ld (best of %d runs each)\n", lines, rounds);
    bool allLines = true;
    for (const Job& job : jobs) {
        const std::string ourOutput = (folder / "engine_convert_bench_waypost.txt").string();
        const std::string theirOutput = (folder / "engine_convert_bench_geoconvert.txt").string();
        const std::string ourCommand =
            quoted(waypost) + " " + job.subcommand + " <" + quoted(job.input) + " >" + quoted(ourOutput);
        const std::string theirCommand =
            quoted(geoConvert) + " " + job.geoConvertOptions + " <" + quoted(job.input) + " >" + quoted(theirOutput);
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
        allLines = allLines && ourLines == static_cast<std::size_t>(lines);
        std::printf("waypost-convert %-8s: %7.3f s  %6.0f ns/line  (%zu lines out)\n", job.subcommand, ours,
                    ours * 1e9 / lines, ourLines);
        if (geoConvert.empty()) continue;
        std::printf("GeoConvert %-13s: %7.3f s  %6.0f ns/line  ratio %.2f\n", job.geoConvertOptions, theirs,
                    theirs * 1e9 / lines, theirs / ours);
    }
    if (geoConvert.empty()) std::printf("GeoConvert not found: no comparison\n");
    return allLines ? 0 : 1;
}
