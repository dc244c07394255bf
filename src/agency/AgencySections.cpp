#include "agency/AgencySections.h"

namespace waypost::agency {

void loadSections(Connection& c, const std::vector<plss::SectionRecord>& sections, const std::vector<std::string>& polygons) {
    if (sections.size() != polygons.size()) throw std::invalid_argument("one polygon a section");
    const std::string table = c.quoted(kSectionTable);
    Transaction transaction(c);
    c.run("DROP TABLE IF EXISTS " + table);
    c.run("CREATE TABLE " + table +
          " (trs text PRIMARY KEY, acres double precision NOT NULL, centre geometry(Point, 4326) NOT NULL, "
          "geom geometry(MultiPolygon, 4326) NOT NULL)");
    c.run("CREATE TEMPORARY TABLE waypost_sections (trs text, acres double precision, lon double precision, "
          "lat double precision, geom text) ON COMMIT DROP");
    std::string data;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const plss::SectionRecord& s = sections[i];
        data += copyField(s.key) + '\t' + numberText(s.acres) + '\t' + numberText(s.longitude) + '\t' +
                numberText(s.latitude) + '\t' + copyField(polygons[i]) + '\n';
        if (data.size() > (8u << 20)) {
            c.copyIn("COPY waypost_sections FROM STDIN", data);
            data.clear();
        }
    }
    if (!data.empty()) c.copyIn("COPY waypost_sections FROM STDIN", data);
    c.run("INSERT INTO " + table + " SELECT trs, acres, ST_SetSRID(ST_MakePoint(lon, lat), 4326), "
          "ST_Multi(ST_GeomFromEWKT(geom)) FROM waypost_sections");
    c.run("CREATE INDEX " + c.quoted(std::string(kSectionTable) + "_geom") + " ON " + table + " USING GIST (geom)");
    transaction.commit();
    c.run("ANALYZE " + table);
}

std::optional<std::pair<double, double>> sectionCentre(Connection& c, const std::string& key) {
    if (c.run("SELECT to_regclass($1) IS NOT NULL", {kSectionTable}).at(0).at(0) != std::optional<std::string>("t"))
        return std::nullopt;
    const std::vector<Row> rows =
        c.run("SELECT ST_X(centre), ST_Y(centre) FROM " + c.quoted(kSectionTable) + " WHERE trs = $1", {key});
    if (rows.empty()) return std::nullopt;
    return std::pair(std::stod(rows[0].at(0).value_or("0")), std::stod(rows[0].at(1).value_or("0")));
}

std::optional<std::pair<std::string, std::string>> zipCity(Connection& c, const std::string& zip) {
    std::string zipColumn, cityColumn, stateColumn;
    for (const Row& row : c.run("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                "current_schema() AND table_name = 'zipcodeq'")) {
        const std::string name = row.at(0).value_or("");
        const QString lower = QString::fromStdString(name).toLower();
        if (lower == QLatin1String("zip_code")) zipColumn = name;
        else if (lower == QLatin1String("city")) cityColumn = name;
        else if (lower == QLatin1String("state")) stateColumn = name;
    }
    std::string digits;
    for (const char ch : zip)
        if (ch >= '0' && ch <= '9') digits += ch;
    if (zipColumn.empty() || cityColumn.empty() || digits.empty() || digits.size() > 9) return std::nullopt;
    // Text or number, with or without leading zeros: compared as whole numbers.
    const std::vector<Row> rows = c.run(
        "SELECT " + c.quoted(cityColumn) + "::text, " + (stateColumn.empty() ? "''" : c.quoted(stateColumn) + "::text") +
            " FROM zipcodeq WHERE NULLIF(regexp_replace(" + c.quoted(zipColumn) +
            "::text, '[^0-9]', '', 'g'), '')::bigint = $1::bigint LIMIT 1",
        {digits});
    if (rows.empty()) return std::nullopt;
    return std::pair(rows[0].at(0).value_or(""), rows[0].at(1).value_or(""));
}

std::optional<plss::FoundSection> sectionContaining(Connection& c, double latitude, double longitude) {
    if (c.run("SELECT to_regclass($1) IS NOT NULL", {kSectionTable}).at(0).at(0) != std::optional<std::string>("t"))
        return std::nullopt;
    const std::vector<Row> rows =
        c.run("SELECT trs, ST_X(centre), ST_Y(centre), acres FROM " + c.quoted(kSectionTable) +
                  " WHERE ST_Intersects(geom, ST_SetSRID(ST_MakePoint($1::float8, $2::float8), 4326)) ORDER BY trs "
                  "LIMIT 1",
              {numberText(longitude), numberText(latitude)});
    if (rows.empty()) return std::nullopt;
    const Row& r = rows[0];
    return plss::describeSection(r.at(0).value_or(""), std::stod(r.at(1).value_or("0")), std::stod(r.at(2).value_or("0")),
                                 std::stod(r.at(3).value_or("0")), latitude, longitude);
}

}  // namespace waypost::agency
