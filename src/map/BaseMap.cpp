#include "map/BaseMap.h"

#include "plss/SampleGrid.h"

#include <QFile>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace waypost {

void readCounties(const std::filesystem::path& path, BaseMap& into) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path.string() + ": cannot be opened");
    BaseMap read;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        const auto bad = [&] {
            return std::runtime_error(path.string() + ":" + std::to_string(number) + ": cannot read \"" + line + "\"");
        };
        if (word == "county") {
            PlaceName place;
            if (!(words >> place.longitude >> place.latitude)) throw bad();
            std::getline(words >> std::ws, place.name);
            if (place.name.empty()) throw bad();
            read.countyNames.push_back(std::move(place));
        } else if (word == "line") {
            read.countyLines.emplace_back();
        } else {
            double longitude = 0, latitude = 0;
            std::istringstream vertex(line);
            if (read.countyLines.empty() || !(vertex >> longitude >> latitude) || !(vertex >> std::ws).eof()) throw bad();
            read.countyLines.back().emplace_back(longitude, latitude);
        }
    }
    into.countyLines = std::move(read.countyLines);
    into.countyNames = std::move(read.countyNames);
}

BaseMap readBaseMap(const QString& mapFolder) {
    BaseMap base;
    try {
        const QString outline = mapFolder + QStringLiteral("/florida_outline.txt");
        base.outline = plss::Outline::read(QFile::encodeName(outline).toStdString()).rings();
    } catch (const std::exception&) {
    }
    try {
        readCounties(QFile::encodeName(mapFolder + QStringLiteral("/florida_counties.txt")).toStdString(), base);
    } catch (const std::exception&) {
    }
    return base;
}

}  // namespace waypost
