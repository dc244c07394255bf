// waypost-plss-build: the program's PLSS section databases from section
// polygons, or the statewide sample grid, or the agency database's section
// polygons (see --help).

#include "agency/AgencySections.h"
#include "plss/SectionSource.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const auto toServer = [](const std::string& connection, const waypost::plss::SourceSections& read) {
        try {
            waypost::agency::Connection server(connection);
            waypost::agency::loadSections(server, read.sections, read.polygons);
        } catch (const waypost::agency::AgencyError& failure) {
            throw std::runtime_error(failure.words().toStdString());
        }
    };
    return waypost::plss::runPlssBuild(args, std::cout, std::cerr, toServer);
}
