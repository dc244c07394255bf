#include "plss/SectionSource.h"

#include "database/Database.h"
#include "numbers/Numbers.h"
#include "plss/PlssCommand.h"
#include "plss/SectionKey.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <unordered_map>

namespace waypost::plss {

namespace {

constexpr double squareMetresPerAcre = 4046.8564224;
constexpr std::size_t progressEvery = 10000;

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
struct TransformDeleter {
    void operator()(OGRCoordinateTransformation* transform) const { OGRCoordinateTransformation::DestroyCT(transform); }
};
using Transform = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

int fieldIndex(OGRFeatureDefn& definition, const std::string& name) {
    const int index = definition.GetFieldIndex(name.c_str());
    if (index < 0) throw std::runtime_error("the layer has no field named \"" + name + "\"");
    return index;
}

/// The leading whole number of a field ("001", "12", "5.0"); -1 when there is none.
int wholeNumber(const char* text) {
    const std::string value = text ? text : "";
    std::size_t at = 0;
    while (at < value.size() && value[at] == ' ') ++at;
    if (at == value.size() || value[at] < '0' || value[at] > '9') return -1;
    int number = 0;
    while (at < value.size() && value[at] >= '0' && value[at] <= '9' && number < 100000)
        number = number * 10 + (value[at++] - '0');
    return number;
}

/// The first letter of a direction field ("N", "North", "s"), upper-cased; 0 when none.
char directionLetter(const char* text) {
    const std::string value = text ? text : "";
    for (const char c : value) {
        if (c == ' ') continue;
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return 0;
}

/// The key of \p feature, or a reason to skip it.
std::string keyOf(OGRFeature& feature, const SectionFields& fields, const std::vector<int>& index,
                  std::string& reason) {
    if (!fields.key.empty()) {
        const std::optional<KeyReading> reading = readSectionKey(feature.GetFieldAsString(index[0]));
        if (!reading || !reading->rest.empty()) {
            reason = "key not understood";
            return {};
        }
        return reading->key;
    }
    const int township = wholeNumber(feature.GetFieldAsString(index[0]));
    const char townshipDirection = directionLetter(feature.GetFieldAsString(index[1]));
    const int range = wholeNumber(feature.GetFieldAsString(index[2]));
    const char rangeDirection = directionLetter(feature.GetFieldAsString(index[3]));
    const int section = wholeNumber(feature.GetFieldAsString(index[4]));
    if (township < 0 || range < 0 || section < 0) {
        reason = "township, range or section is not a number";
        return {};
    }
    if ((townshipDirection != 'N' && townshipDirection != 'S') || (rangeDirection != 'E' && rangeDirection != 'W')) {
        reason = "direction is not N, S, E or W";
        return {};
    }
    return sectionKey(township, townshipDirection, range, rangeDirection, section);
}

struct Accumulated {
    double squareMetres = 0;
    double weightedX = 0;  // in the equal-area projection
    double weightedY = 0;
};

}  // namespace

SourceSections readSectionSource(const std::string& source, const std::string& layerName, const SectionFields& fields,
                                 std::ostream& progress, bool withPolygons) {
    GDALAllRegister();
    std::unique_ptr<GDALDataset, DatasetCloser> dataset(
        GDALDataset::Open(source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!dataset) throw std::runtime_error(source + ": " + CPLGetLastErrorMsg());
    OGRLayer* layer = layerName.empty() ? dataset->GetLayer(0) : dataset->GetLayerByName(layerName.c_str());
    if (!layer) throw std::runtime_error(source + ": no layer " + (layerName.empty() ? "" : "\"" + layerName + "\""));

    OGRFeatureDefn& definition = *layer->GetLayerDefn();
    std::vector<int> index;
    if (!fields.key.empty()) {
        index.push_back(fieldIndex(definition, fields.key));
    } else {
        for (const std::string* name : {&fields.township, &fields.townshipDirection, &fields.range,
                                        &fields.rangeDirection, &fields.section}) {
            if (name->empty()) throw std::runtime_error("name the key field, or all five township, range and section fields");
            index.push_back(fieldIndex(definition, *name));
        }
    }

    // Centres in WGS 84 longitude/latitude; areas in one Lambert azimuthal
    // equal-area projection centred on the layer (equal-area everywhere).
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReference sourceSrs;
    if (const OGRSpatialReference* own = layer->GetSpatialRef())
        sourceSrs = *own;
    else
        sourceSrs = wgs84;
    sourceSrs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);

    OGREnvelope extent;
    if (layer->GetExtent(&extent, TRUE) != OGRERR_NONE) throw std::runtime_error(source + ": the layer has no extent");
    Transform toWgs84(OGRCreateCoordinateTransformation(&sourceSrs, &wgs84));
    if (!toWgs84) throw std::runtime_error(source + ": its coordinate system cannot be turned into WGS 84");
    double middleX = (extent.MinX + extent.MaxX) / 2;
    double middleY = (extent.MinY + extent.MaxY) / 2;
    toWgs84->Transform(1, &middleX, &middleY);
    OGRSpatialReference equalArea;
    equalArea.SetLAEA(middleY, middleX, 0, 0);
    equalArea.SetWellKnownGeogCS("WGS84");
    equalArea.SetLinearUnits(SRS_UL_METER, 1.0);
    equalArea.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    Transform toEqualArea(OGRCreateCoordinateTransformation(&sourceSrs, &equalArea));
    Transform equalAreaToWgs84(OGRCreateCoordinateTransformation(&equalArea, &wgs84));
    if (!toEqualArea || !equalAreaToWgs84) throw std::runtime_error(source + ": no equal-area projection for the layer");

    SourceSections result;
    std::vector<Accumulated> totals;
    std::vector<std::unique_ptr<OGRMultiPolygon>> shapes;  // with polygons asked for, in WGS 84
    std::unordered_map<std::string, std::size_t> position;
    layer->ResetReading();
    for (auto& feature : *layer) {
        ++result.featuresRead;
        if (result.featuresRead % progressEvery == 0) progress << "read " << result.featuresRead << " features\n" << std::flush;
        std::string reason;
        const std::string key = keyOf(*feature, fields, index, reason);
        const OGRGeometry* geometry = feature->GetGeometryRef();
        if (key.empty()) {
            ++result.skipped[reason];
            continue;
        }
        if (!geometry || geometry->IsEmpty()) {
            ++result.skipped["no geometry"];
            continue;
        }
        const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
        if (type != wkbPolygon && type != wkbMultiPolygon && type != wkbCurvePolygon && type != wkbMultiSurface) {
            ++result.skipped["not a polygon"];
            continue;
        }
        std::unique_ptr<OGRGeometry> projected(geometry->clone());
        if (projected->transform(toEqualArea.get()) != OGRERR_NONE) {
            ++result.skipped["cannot be projected"];
            continue;
        }
        const double area = type == wkbPolygon || type == wkbCurvePolygon
                                ? projected->toCurvePolygon()->get_Area()
                                : projected->toGeometryCollection()->get_Area();
        OGRPoint centroid;
        if (!(area > 0) || projected->Centroid(&centroid) != OGRERR_NONE) {
            ++result.skipped["no area"];
            continue;
        }
        auto [at, added] = position.try_emplace(key, totals.size());
        if (added) {
            totals.emplace_back();
            result.sections.push_back({key, 0, 0, 0});
            if (withPolygons) shapes.push_back(std::make_unique<OGRMultiPolygon>());
        }
        if (withPolygons) {
            std::unique_ptr<OGRGeometry> inWgs84(geometry->clone());
            if (inWgs84->hasCurveGeometry()) inWgs84.reset(inWgs84->getLinearGeometry());
            if (inWgs84->transform(toWgs84.get()) == OGRERR_NONE) {
                if (wkbFlatten(inWgs84->getGeometryType()) == wkbPolygon)
                    shapes[at->second]->addGeometry(inWgs84.get());
                else
                    for (const OGRGeometry* part : *inWgs84->toGeometryCollection()) shapes[at->second]->addGeometry(part);
            }
        }
        Accumulated& total = totals[at->second];
        total.squareMetres += area;
        total.weightedX += centroid.getX() * area;
        total.weightedY += centroid.getY() * area;
    }

    for (std::size_t i = 0; i < totals.size(); ++i) {
        double x = totals[i].weightedX / totals[i].squareMetres;
        double y = totals[i].weightedY / totals[i].squareMetres;
        equalAreaToWgs84->Transform(1, &x, &y);
        SectionRecord& record = result.sections[i];
        record.longitude = numbers::roundFixed(x, sampleGrid::centreDecimals);
        record.latitude = numbers::roundFixed(y, sampleGrid::centreDecimals);
        record.acres = numbers::roundFixed(totals[i].squareMetres / squareMetresPerAcre, 2);
        if (withPolygons) {
            char* wkt = nullptr;
            shapes[i]->exportToWkt(&wkt);
            result.polygons.push_back(std::string("SRID=4326;") + (wkt ? wkt : "MULTIPOLYGON EMPTY"));
            CPLFree(wkt);
        }
    }
    return result;
}

// ---------------------------------------------------------------- the program

namespace {

constexpr std::string_view buildName = "waypost-plss-build";

std::string buildHelp() {
    return R"(Usage: waypost-plss-build SOURCE --key-field NAME [--layer NAME] [--output DIR]
       waypost-plss-build SOURCE --township-field NAME --range-field NAME
                          --section-field NAME --direction-fields TOWNSHIP_DIR,RANGE_DIR
                          [--layer NAME] [--output DIR]
       waypost-plss-build --sample OUTLINE [--output DIR]

Writes Waypost's three PLSS section databases (PLSS_KOVA_DEC_2010.sqlite,
PLSS_2010_LL.sqlite and kova_acres.sqlite) from section polygons.

SOURCE is any vector source GDAL reads (shapefile, GeoPackage, file
geodatabase ...). Each section's key is read from one field ("T01N R05W S12";
padding and blanks may differ) or from five fields: township and range numbers,
their directions (N/S, E/W; words such as "North" work) and the section
number. The centre is the polygon's centroid in WGS 84 longitude/latitude,
transformed from the source's own coordinate system (a source without one is
taken as WGS 84); the area is measured in an equal-area projection and stored
in acres. Polygons sharing a key make one section.

--sample OUTLINE writes the idealised statewide sample grid instead: sections
laid out from the initial point 30 26 03 N, 84 16 38 W and kept where their
centres fall inside OUTLINE. It is a sample, not survey data.

The databases go to DIR (default: the program's databases folder). They are
built beside the old ones and put in place only when all three are complete:
a failed or interrupted build leaves the old ones as they were. Progress and a
summary (sections read, skipped with reasons, written) go to standard error.

--output PG:CONNECTION loads the sections with their polygons into the
agency's PostgreSQL/PostGIS database instead (table plss_sections, replaced
whole in one transaction, with a GiST index), where "Find STR" and
waypost-convert str --database first look for the section holding a point.

Exit status: 0 written, 1 failed, 2 bad usage.
)";
}

}  // namespace

int runPlssBuild(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                 const ServerSectionWriter& server) {
    std::string source, layer, sample;
    SectionFields fields;
    std::filesystem::path output;
    std::string directions;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out << buildHelp();
            return out ? 0 : 1;
        }
        const auto value = [&](std::string& target) {
            if (i + 1 >= args.size()) return false;
            target = std::string(args[++i]);
            return true;
        };
        bool ok = true;
        std::string outputText;
        if (arg == "--key-field")
            ok = value(fields.key);
        else if (arg == "--township-field")
            ok = value(fields.township);
        else if (arg == "--range-field")
            ok = value(fields.range);
        else if (arg == "--section-field")
            ok = value(fields.section);
        else if (arg == "--direction-fields")
            ok = value(directions);
        else if (arg == "--layer")
            ok = value(layer);
        else if (arg == "--sample")
            ok = value(sample);
        else if (arg == "--output") {
            ok = value(outputText);
            output = outputText;
        } else if (!arg.starts_with("-") && source.empty())
            source = std::string(arg);
        else {
            err << buildName << ": unexpected argument \"" << arg << "\" (try --help)\n";
            return 2;
        }
        if (!ok) {
            err << buildName << ": " << arg << " needs a value (try --help)\n";
            return 2;
        }
    }
    if (!directions.empty()) {
        const std::size_t comma = directions.find(',');
        if (comma == std::string::npos) {
            err << buildName << ": --direction-fields takes TOWNSHIP_DIR,RANGE_DIR (try --help)\n";
            return 2;
        }
        fields.townshipDirection = directions.substr(0, comma);
        fields.rangeDirection = directions.substr(comma + 1);
    }
    if (source.empty() == sample.empty()) {
        err << buildName << ": give either a SOURCE or --sample OUTLINE (try --help)\n";
        return 2;
    }
    const std::string outputText = output.string();
    const bool toServer = outputText.starts_with("PG:");
    if (toServer && (!server || source.empty())) {
        err << buildName << ": --output PG: takes section polygons from a SOURCE"
            << (server ? "" : " and a program built with the agency database") << '\n';
        return 2;
    }
    if (output.empty()) {
        std::error_code ignored;
        output = programDatabases(std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path());
    }
    try {
        std::vector<SectionRecord> sections;
        if (!sample.empty()) {
            sections = sampleSections(Outline::read(sample));
            err << "sample grid: " << sections.size() << " sections inside the outline\n";
        } else {
            SourceSections read = readSectionSource(source, layer, fields, err, toServer);
            err << "features read: " << read.featuresRead << '\n';
            for (const auto& [reason, count] : read.skipped) err << "skipped (" << reason << "): " << count << '\n';
            if (toServer && !read.sections.empty()) {
                server(outputText.substr(3), read);
                err << "sections written: " << read.sections.size() << " to the agency database\n";
                return 0;
            }
            sections = std::move(read.sections);
        }
        if (sections.empty()) {
            err << buildName << ": no section to write; the old databases are kept\n";
            return 1;
        }
        writeSectionDatabases(sections, output);
        err << "sections written: " << sections.size() << " to " << output.string() << '\n';
    } catch (const std::exception& failure) {
        err << buildName << ": " << failure.what() << "; the old databases are kept\n";
        return 1;
    }
    return 0;
}

}  // namespace waypost::plss
