// waypost-plss-build: the program's PLSS section databases from section
// polygons, or the statewide sample grid (see --help).

#include "plss/SectionSource.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return waypost::plss::runPlssBuild(args, std::cout, std::cerr);
}
