#include "plss/PlssCommand.h"

#include "plss/SectionKey.h"
#include "plss/SectionLookup.h"


namespace waypost::plss {

namespace {

constexpr std::string_view noRecord = "No Record";

class StrConverter final : public engine::LineConverter {
public:
    StrConverter(const SectionDatabases& databases, ContainingSection containing)
        : m_finder(databases, SectionFinder::Index::Memory), m_containing(std::move(containing)) {}

    bool convert(std::string_view input, std::string& result, std::string& error) override {
        const engine::LatLongReading reading = engine::readLatLong(input);
        if (!reading.ok) {
            error = reading.error;
            return false;
        }
        try {
            if (m_containing) {
                if (const std::optional<FoundSection> held = m_containing(reading.latitude, reading.longitude)) {
                    result = held->description;
                    return true;
                }
            }
            const SectionSearch search = m_finder.find(reading.latitude, reading.longitude);
            result = search.section ? search.section->description : std::string(noRecord);
        } catch (const std::exception& failure) {
            error = failure.what();
            return false;
        }
        return true;
    }

private:
    SectionFinder m_finder;
    ContainingSection m_containing;
};

class TrsConverter final : public engine::LineConverter {
public:
    explicit TrsConverter(const SectionDatabases& databases) : m_locator(databases) {}

    bool convert(std::string_view input, std::string& result, std::string& error) override {
        const std::optional<KeyReading> reading = readSectionKey(input);
        if (!reading) {
            error = "not a township, range and section such as T01S R05E S12";
            return false;
        }
        const std::string& key = reading->key;
        int longitudeOffset = 0;
        double latitudeOffset = 0;
        const std::string& part = reading->rest;
        if (!part.empty()) {
            const QuarterOption* option = findQuarterByDescription(part);
            if (!option) {
                error = "\"" + part + "\" is not a part of a section (such as NE1/4, N1/2, CENTER or NW1/4 SW1/4)";
                return false;
            }
            longitudeOffset = option->longitudeOffsetMetres;
            latitudeOffset = option->latitudeOffsetDegrees;
        }
        try {
            const SectionPosition position = m_locator.locate(key, longitudeOffset, latitudeOffset);
            if (!position.found) {
                error = "no section " + key + " in the section database";
                return false;
            }
            result = position.latitudeText + " " + position.longitudeText;
        } catch (const database::DatabaseError& failure) {
            error = failure.what();
            return false;
        }
        return true;
    }

private:
    SectionLocator m_locator;
};

SectionDatabases databasesFrom(const std::map<std::string, std::string>& options,
                               const std::filesystem::path& defaultDatabases) {
    const auto given = options.find("--databases");
    return SectionDatabases::in(given != options.end() ? std::filesystem::path(given->second) : defaultDatabases);
}

template <class Converter>
std::unique_ptr<engine::LineConverter> makeConverter(const SectionDatabases& databases, std::string& error) {
    try {
        return std::make_unique<Converter>(databases);
    } catch (const database::DatabaseError& failure) {
        error = "cannot open the section database " + failure.file() + ": " + failure.reason();
        return nullptr;
    }
}

}  // namespace

std::vector<engine::ExtraCommand> sectionCommands(std::filesystem::path defaultDatabases, ServerSections server) {
    std::vector<engine::ExtraCommand> commands(2);
    commands[0].name = "str";
    commands[0].help = R"(  str LAT LON         the PLSS section a point lies in, with its quarter and
                      quarter-quarter ("No Record" when no section centre lies
                      within 0.019 degree); the nearest section centre answers
                        waypost-convert str 30.41 -84.26
                          ->  T01S R01E S08 NW 1/4 of the SW 1/4
  trs KEY [PART]      latitude and longitude (6 decimals, rounded to 4) of a
                      section or a part of it: NE1/4, N1/2, CENTER, NW1/4 SW1/4 ...
                        waypost-convert trs T01S R01E S08 NE1/4
                          ->  30.416000 -084.247900
                      str and trs read the section databases of the program's
                      data folder, or of the folder given as --databases DIR;
                      str --database CONNECTION first answers the section whose
                      polygon holds the point in the agency database
)";
    commands[0].valueOptions = {"--databases", "--database"};
    commands[0].maxValues = 2;
    commands[0].make = [defaultDatabases, server](const std::map<std::string, std::string>& options,
                                                  std::string& error) -> std::unique_ptr<engine::LineConverter> {
        ContainingSection containing;
        if (const auto given = options.find("--database"); given != options.end()) {
            if (!server) {
                error = "--database needs a program built with the agency database";
                return nullptr;
            }
            try {
                containing = server(given->second);
            } catch (const std::exception& failure) {
                error = failure.what();
                return nullptr;
            }
        }
        try {
            return std::make_unique<StrConverter>(databasesFrom(options, defaultDatabases), std::move(containing));
        } catch (const database::DatabaseError& failure) {
            error = "cannot open the section database " + failure.file() + ": " + failure.reason();
            return nullptr;
        }
    };
    commands[1].name = "trs";
    commands[1].valueOptions = {"--databases"};
    commands[1].maxValues = 8;
    commands[1].make = [defaultDatabases](const std::map<std::string, std::string>& options, std::string& error) {
        return makeConverter<TrsConverter>(databasesFrom(options, defaultDatabases), error);
    };
    return commands;
}

std::filesystem::path programDatabases(const std::filesystem::path& executableDir) {
    std::error_code ignored;
    if (std::filesystem::is_directory(executableDir / "templates", ignored)) return executableDir / "databases";
    return executableDir / ".." / "share" / "waypost" / "databases";
}

}  // namespace waypost::plss
