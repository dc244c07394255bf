// waypost-convert: the coordinate engine and the section look-ups on the
// command line (see --help).

#include "agency/AgencySections.h"
#include "engine/ConvertCommand.h"
#include "batch/TableCommand.h"
#include "kmlimport/KmlCommand.h"
#include "plss/PlssCommand.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    // Streams of their own (not synchronised with C stdio) buffer properly and
    // can tell when the next read would wait; output is flushed by the command.
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);

    std::vector<std::string_view> args;
    args.reserve(argc > 0 ? static_cast<std::size_t>(argc) : 0U);
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    std::error_code ignored;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ignored);
    // str --database: the section holding a point, from the agency database.
    const auto server = [](const std::string& connection) -> waypost::plss::ContainingSection {
        std::shared_ptr<waypost::agency::Connection> open;
        try {
            open = std::make_shared<waypost::agency::Connection>(connection);
        } catch (const waypost::agency::AgencyError& failure) {
            throw std::runtime_error(failure.words().simplified().toStdString());
        }
        return [open](double latitude, double longitude) {
            try {
                return waypost::agency::sectionContaining(*open, latitude, longitude);
            } catch (const waypost::agency::AgencyError& failure) {
                throw std::runtime_error(failure.words().simplified().toStdString());
            }
        };
    };
    auto commands =
        waypost::plss::sectionCommands(waypost::plss::programDatabases(executable.parent_path()), server);
    commands.push_back(waypost::batch::tableCommand());
    commands.push_back(waypost::kmlimport::kmlCommand());
    return waypost::engine::runConvertCommand(args, std::cin, std::cout, std::cerr, commands);
}
