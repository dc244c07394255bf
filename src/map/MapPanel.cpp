#include "map/MapPanel.h"

#include "agency/AgencySettings.h"
#include "engine/NationalGrid.h"

#include <mapnik/agg_renderer.hpp>
#include <mapnik/datasource_cache.hpp>
#include <mapnik/color.hpp>
#include <mapnik/feature.hpp>
#include <mapnik/feature_factory.hpp>
#include <mapnik/feature_type_style.hpp>
#include <mapnik/geometry.hpp>
#include <mapnik/image.hpp>
#include <mapnik/layer.hpp>
#include <mapnik/map.hpp>
#include <mapnik/memory_datasource.hpp>
#include <mapnik/rule.hpp>
#include <mapnik/expression.hpp>
#include <mapnik/font_engine_freetype.hpp>
#include <mapnik/symbolizer.hpp>
#include <mapnik/text/formatting/text.hpp>
#include <mapnik/text/placements/dummy.hpp>
#include <mapnik/text/text_properties.hpp>
#include <mapnik/unicode.hpp>
#include <mapnik/value.hpp>

#include <QBuffer>
#include <QFile>
#include <QSettings>
#include <QMouseEvent>
#include <QPageSize>
#include <QPdfWriter>
#include <QPainter>
#include <QWheelEvent>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>

namespace waypost {
namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kKilometresPerDegree = 111.32;

std::shared_ptr<mapnik::memory_datasource> newSource() {
    mapnik::parameters p;
    p["type"] = "memory";
    return std::make_shared<mapnik::memory_datasource>(p);
}

mapnik::feature_type_style lineStyle(mapnik::color colour, double width, std::optional<mapnik::color> fill = {}) {
    mapnik::feature_type_style style;
    mapnik::rule rule;
    if (fill) {
        mapnik::polygon_symbolizer polygon;
        mapnik::put(polygon, mapnik::keys::fill, *fill);
        rule.append(std::move(polygon));
    }
    mapnik::line_symbolizer line;
    mapnik::put(line, mapnik::keys::stroke, colour);
    mapnik::put(line, mapnik::keys::stroke_width, width);
    rule.append(std::move(line));
    style.add_rule(std::move(rule));
    return style;
}

double widthKilometres(const engine::Extent& v) {
    return (v.east - v.west) * kKilometresPerDegree * std::cos((v.south + v.north) / 2 * kPi / 180);
}

}  // namespace

double scaleBarKilometres(double kilometres) {
    const double most = kilometres / 4;
    if (!(most > 0)) return 0;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (const double step : {5.0, 2.0, 1.0})
        if (step * power <= most) return step * power;
    return power;
}

namespace {

/// Labels at points: the "key" attribute in \p colour.
mapnik::feature_type_style labelStyle(mapnik::color colour, double size, const std::string& face) {
    mapnik::feature_type_style style;
    mapnik::rule rule;
    mapnik::text_symbolizer text;
    mapnik::text_placements_ptr placements = std::make_shared<mapnik::text_placements_dummy>();
    placements->defaults.format_defaults.face_name = face;
    placements->defaults.format_defaults.text_size = size;
    placements->defaults.format_defaults.fill = colour;
    placements->defaults.format_defaults.halo_fill = mapnik::color(255, 255, 255, 200);
    placements->defaults.format_defaults.halo_radius = 1.5;
    placements->defaults.set_format_tree(
        std::make_shared<mapnik::formatting::text_node>(mapnik::parse_expression("[key]")));
    mapnik::put<mapnik::text_placements_ptr>(text, mapnik::keys::text_placements_, placements);
    rule.append(std::move(text));
    style.add_rule(std::move(rule));
    return style;
}

/// The face the labels are written in, when the system has it (no labels otherwise).
std::optional<std::string> labelFace() {
    static const std::optional<std::string> face = []() -> std::optional<std::string> {
        for (const char* folder : {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts"})
            mapnik::freetype_engine::register_fonts(folder, true);
        const std::vector<std::string> names = mapnik::freetype_engine::face_names();
        for (const char* wanted : {"DejaVu Sans Book", "DejaVu Sans Condensed"})
            if (std::find(names.begin(), names.end(), wanted) != names.end()) return std::string(wanted);
        return std::nullopt;
    }();
    return face;
}

}  // namespace

namespace {

/// A style for a source a person added: areas filled lightly, lines and
/// points in the same colour.
mapnik::feature_type_style addedLayerStyle(mapnik::color colour) {
    mapnik::color fill = colour;
    fill.set_alpha(50);
    mapnik::polygon_symbolizer area;
    mapnik::put(area, mapnik::keys::fill, fill);
    const auto line = [&](double width) {
        mapnik::line_symbolizer l;
        mapnik::put(l, mapnik::keys::stroke, colour);
        mapnik::put(l, mapnik::keys::stroke_width, width);
        return l;
    };
    mapnik::markers_symbolizer marker;
    mapnik::put(marker, mapnik::keys::fill, colour);
    mapnik::put(marker, mapnik::keys::width, 6.0);
    mapnik::put(marker, mapnik::keys::height, 6.0);
    mapnik::put(marker, mapnik::keys::allow_overlap, true);
    // One rule a kind of geometry.
    const std::pair<const char*, std::vector<mapnik::symbolizer>> kinds[] = {
        {"polygon", {area, line(1.0)}}, {"linestring", {line(1.3)}}, {"point", {marker}}};
    mapnik::feature_type_style style;
    for (const auto& [kind, symbolizers] : kinds) {
        mapnik::rule rule;
        rule.set_filter(mapnik::parse_expression(std::string("[mapnik::geometry_type] = ") + kind));
        for (mapnik::symbolizer symbolizer : symbolizers) rule.append(std::move(symbolizer));
        style.add_rule(std::move(rule));
    }
    return style;
}

/// The PROJ definition of a vector source's first layer (longitude/latitude when it names none).
std::string sourceProjection(const std::string& source) {
    GDALDatasetUniquePtr dataset(GDALDataset::Open(agency::withRunPassword(source).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    const OGRSpatialReference* srs = dataset && dataset->GetLayerCount() > 0 ? dataset->GetLayer(0)->GetSpatialRef() : nullptr;
    char* proj = nullptr;
    std::string text = "epsg:4326";
    if (srs && srs->exportToProj4(&proj) == OGRERR_NONE && proj && *proj) text = proj;
    CPLFree(proj);
    return text;
}

mapnik::geometry::linear_ring<double> ringOf(const MapRing& ring) {
    mapnik::geometry::linear_ring<double> r;
    for (const auto& [x, y] : ring) r.emplace_back(x, y);
    return r;
}

mapnik::geometry::line_string<double> lineOf(const MapRing& line) {
    mapnik::geometry::line_string<double> path;
    for (const auto& [x, y] : line) path.emplace_back(x, y);
    return path;
}

/// The table's points over \p image of \p view: a dot each, or a density
/// picture (darker where more lie) when more than \p mostDots lie in view.
PointsDrawn drawPoints(QImage& image, const engine::Extent& view, const std::vector<std::pair<double, double>>& points,
                       std::size_t mostDots) {
    const int w = image.width(), h = image.height();
    const double sx = w / (view.east - view.west), sy = h / (view.north - view.south);
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(w) * h, 0);
    PointsDrawn drawn;
    for (const auto& [x, y] : points) {
        const double px = (x - view.west) * sx, py = (view.north - y) * sy;
        if (!(px >= 0 && px < w && py >= 0 && py < h)) continue;
        ++counts[static_cast<std::size_t>(py) * w + static_cast<std::size_t>(px)];
        ++drawn.inView;
    }
    drawn.density = drawn.inView > mostDots;
    QPainter painter(&image);
    if (!drawn.density) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(255, 255, 255, 200), 1));
        painter.setBrush(QColor(20, 60, 170));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (counts[static_cast<std::size_t>(y) * w + x]) painter.drawEllipse(QPointF(x + 0.5, y + 0.5), 2.5, 2.5);
        return drawn;
    }
    const double most = std::log1p(double(*std::max_element(counts.begin(), counts.end())));
    QImage density(w, h, QImage::Format_ARGB32_Premultiplied);
    density.fill(Qt::transparent);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(density.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint32_t n = counts[static_cast<std::size_t>(y) * w + x];
            if (!n) continue;
            const double t = most > 0 ? std::log1p(double(n)) / most : 1;
            line[x] = qPremultiply(qRgba(int(120 - 100 * t), int(170 - 130 * t), int(250 - 90 * t), int(150 + 105 * t)));
        }
    }
    painter.drawImage(0, 0, density);
    return drawn;
}

}  // namespace

std::optional<QString> layerProblem(const std::string& source) {
    GDALAllRegister();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
    GDALDatasetUniquePtr dataset(GDALDataset::Open(agency::withRunPassword(source).c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    const QString gdal = QString::fromUtf8(CPLGetLastErrorMsg());
    CPLPopErrorHandler();
    const QString name = QString::fromStdString(source);
    if (!dataset)
        return QStringLiteral("%1 cannot be shown: it is not vector data GDAL can read%2")
            .arg(name, gdal.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(gdal));
    if (dataset->GetLayerCount() == 0) return QStringLiteral("%1 cannot be shown: it holds no layer").arg(name);
    return std::nullopt;
}

std::vector<std::string> rememberedLayers() {
    std::vector<std::string> sources;
    const QSettings settings(QStringLiteral("Waypost"), QStringLiteral("waypost"));
    for (const QString& source : settings.value(QStringLiteral("map/layers")).toStringList())
        sources.push_back(source.toStdString());
    return sources;
}

void rememberLayers(const std::vector<std::string>& sources) {
    QStringList list;
    for (const std::string& source : sources) list << QString::fromStdString(source);
    QSettings settings(QStringLiteral("Waypost"), QStringLiteral("waypost"));
    settings.setValue(QStringLiteral("map/layers"), list);
}

struct MapRenderer::Layers {
    mapnik::Map map{1, 1, "epsg:4326"};
    std::shared_ptr<mapnik::memory_datasource> outline = newSource(), counties = newSource(), countyNames = newSource(),
                                               areas = newSource(), lines = newSource(), grid = newSource(),
                                               sections = newSource(), found = newSource();
    mapnik::context_ptr context = std::make_shared<mapnik::context_type>();
    // What the memory layers hold (kept, so that a new one is never mistaken for it).
    std::shared_ptr<const BaseMap> baseDrawn;
    std::shared_ptr<const std::vector<MapShape>> drawingDrawn;
    std::vector<std::string> sourcesDrawn;
    bool labels = false;

    /// The layers bottom to top: the state, the added sources, the counties,
    /// the drawing, the grid and the labels.
    void arrange(const std::vector<std::string>& sources) {
        map.layers().clear();
        const auto add = [this](const std::string& name, std::shared_ptr<mapnik::datasource> source, const std::string& srs) {
            mapnik::layer layer(name, srs);
            layer.set_datasource(std::move(source));
            layer.add_style(name);
            map.add_layer(layer);
        };
        add("outline", outline, "epsg:4326");
        static const mapnik::color colours[] = {{120, 60, 160}, {20, 130, 70}, {200, 110, 0}, {0, 110, 150}, {150, 40, 90}};
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const std::string name = "added" + std::to_string(i);
            try {
                mapnik::parameters p;
                p["type"] = "ogr";
                p["layer_by_index"] = mapnik::value_integer(0);
                p[QFile::exists(QString::fromStdString(sources[i])) ? "file" : "string"] = agency::withRunPassword(sources[i]);
                std::shared_ptr<mapnik::datasource> source = mapnik::datasource_cache::instance().create(p);
                if (!map.find_style(name)) map.insert_style(name, addedLayerStyle(colours[i % std::size(colours)]));
                add(name, std::move(source), sourceProjection(sources[i]));
            } catch (const std::exception&) {
                // A source gone since it was added: the map draws the rest.
            }
        }
        const std::pair<const char*, const std::shared_ptr<mapnik::memory_datasource>&> above[] = {
            {"counties", counties}, {"areas", areas}, {"lines", lines}, {"grid", grid}};
        for (const auto& [name, source] : above) add(name, source, "epsg:4326");
        if (labels) {
            const std::pair<const char*, const std::shared_ptr<mapnik::memory_datasource>&> names[] = {
                {"countyNames", countyNames}, {"sections", sections}, {"found", found}};
            for (const auto& [name, source] : names) add(name, source, "epsg:4326");
        }
        sourcesDrawn = sources;
    }
};

MapRenderer::MapRenderer() : m_layers(std::make_unique<Layers>()) {
    static const bool plugins = mapnik::datasource_cache::instance().register_datasources(WAYPOST_MAPNIK_PLUGINS);
    (void)plugins;
    GDALAllRegister();
    mapnik::Map& map = m_layers->map;
    map.set_background(mapnik::color(214, 230, 240));
    map.insert_style("outline", lineStyle(mapnik::color(90, 90, 90), 1.2, mapnik::color(244, 241, 228)));
    map.insert_style("counties", lineStyle(mapnik::color(160, 150, 130), 0.6));
    map.insert_style("areas", lineStyle(mapnik::color(200, 40, 20), 1.6, mapnik::color(240, 120, 40, 90)));
    map.insert_style("lines", lineStyle(mapnik::color(200, 40, 20), 2.0));
    map.insert_style("grid", lineStyle(mapnik::color(40, 90, 200, 150), 0.8));
    if (const std::optional<std::string> face = labelFace()) {
        map.insert_style("countyNames", labelStyle(mapnik::color(130, 115, 90), 10, *face));
        map.insert_style("sections", labelStyle(mapnik::color(60, 60, 60), 9, *face));
        map.insert_style("found", labelStyle(mapnik::color(190, 0, 0), 11, *face));
        m_layers->labels = true;
    }
    m_layers->context->push("key");
    m_layers->arrange({});
}

MapRenderer::~MapRenderer() = default;

QImage MapRenderer::render(const engine::Extent& view, QSize size, const MapContent& content) {
    Layers& l = *m_layers;
    if (l.sourcesDrawn != content.layers) l.arrange(content.layers);
    mapnik::value_integer id = 1;
    const auto add = [&](mapnik::memory_datasource& source, auto geometry, const std::string& key = {}) {
        mapnik::feature_ptr feature(mapnik::feature_factory::create(l.context, id++));
        feature->set_geometry(std::move(geometry));
        if (!key.empty()) feature->put("key", mapnik::value_unicode_string(mapnik::transcoder("utf-8").transcode(key.c_str())));
        source.push(feature);
    };
    if (l.baseDrawn != content.base) {
        static const BaseMap none;
        const BaseMap& base = content.base ? *content.base : none;
        l.outline->clear();
        for (const MapRing& ring : base.outline) {
            mapnik::geometry::polygon<double> polygon;
            polygon.exterior_ring = ringOf(ring);
            add(*l.outline, std::move(polygon));
        }
        l.counties->clear();
        for (const MapRing& line : base.countyLines) add(*l.counties, lineOf(line));
        l.baseDrawn = content.base;
    }
    if (l.drawingDrawn != content.drawing) {
        l.areas->clear();
        l.lines->clear();
        if (content.drawing)
            for (const MapShape& shape : *content.drawing) {
                if (shape.rings.empty()) continue;
                if (!shape.area) {
                    add(*l.lines, lineOf(shape.rings.front()));
                    continue;
                }
                mapnik::geometry::polygon<double> polygon;
                polygon.exterior_ring = ringOf(shape.rings.front());
                for (std::size_t i = 1; i < shape.rings.size(); ++i) polygon.add_hole(ringOf(shape.rings[i]));
                add(*l.areas, std::move(polygon));
            }
        l.drawingDrawn = content.drawing;
    }
    l.grid->clear();
    const std::vector<engine::GridLine> lines = engine::gridLines(view, engine::gridSpacingFor(view));
    m_gridLines = lines.size();
    for (const engine::GridLine& line : lines) add(*l.grid, lineOf(line.points));
    // County names between the state's view and the sections'.
    l.countyNames->clear();
    m_countyNames = 0;
    if (content.base && view.north - view.south < kCountyNameDegrees)
        for (const PlaceName& county : content.base->countyNames) {
            add(*l.countyNames, mapnik::geometry::point<double>(county.longitude, county.latitude), county.name);
            ++m_countyNames;
        }
    l.sections->clear();
    l.found->clear();
    for (const SectionMark& mark : content.sections)
        add(mark.key == content.foundKey ? *l.found : *l.sections, mapnik::geometry::point<double>(mark.longitude, mark.latitude),
            mark.key);
    const int w = std::max(1, size.width()), h = std::max(1, size.height());
    l.map.resize(static_cast<unsigned>(w), static_cast<unsigned>(h));
    l.map.zoom_to_box(mapnik::box2d<double>(view.west, view.south, view.east, view.north));
    mapnik::image_rgba8 image(w, h);
    mapnik::agg_renderer<mapnik::image_rgba8> renderer(l.map, image);
    renderer.apply();
    // Mapnik's pixels are premultiplied RGBA, as Qt's RGBA8888_Premultiplied.
    QImage picture = QImage(image.bytes(), w, h, w * 4, QImage::Format_RGBA8888_Premultiplied).copy();
    m_points = {};
    if (content.points && !content.points->empty()) m_points = drawPoints(picture, view, *content.points, kMostDots);
    return picture;
}

MapPanel::MapPanel(QWidget* parent) : QWidget(parent) {
    setMinimumSize(220, 180);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setToolTip(QStringLiteral("Drag to move, the wheel to zoom; Ctrl+click locates that point"));
}

MapPanel::~MapPanel() = default;

void MapPanel::setBaseMap(BaseMap base) {
    m_content.base = std::make_shared<const BaseMap>(std::move(base));
    redraw();
}

void MapPanel::setDrawing(std::vector<MapShape> shapes) {
    m_content.drawing = std::make_shared<const std::vector<MapShape>>(std::move(shapes));
    std::vector<const MapRing*> rings;
    for (const MapShape& shape : *m_content.drawing)
        for (const MapRing& ring : shape.rings) rings.push_back(&ring);
    showAll(rings);
}

void MapPanel::setPoints(MapPoints points) {
    m_content.points = std::move(points);
    MapRing all;
    if (m_content.points) all = *m_content.points;
    showAll({&all});
}

void MapPanel::setLayers(std::vector<std::string> sources) {
    m_content.layers = std::move(sources);
    redraw();
}

void MapPanel::showAll(const std::vector<const MapRing*>& rings) {
    double west = 180, east = -180, south = 90, north = -90;
    for (const MapRing* ring : rings)
        for (const auto& [x, y] : *ring) {
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            west = std::min(west, x), east = std::max(east, x), south = std::min(south, y), north = std::max(north, y);
        }
    if (west <= east && south <= north) {
        // The height that takes in the width too, at the widget's shape; a margin of a tenth.
        const double middleY = (south + north) / 2, middleX = (west + east) / 2;
        const double aspect = width() > 0 && height() > 0 ? double(width()) / height() : 1;
        const double widthAsHeight = (east - west) * std::cos(middleY * kPi / 180) / aspect;
        const double half = std::max({north - south, widthAsHeight, 0.004}) * 0.6;
        m_view = {middleX - half, middleY - half, middleX + half, middleY + half};
    }
    redraw();
}

void MapPanel::setPoint(std::optional<std::pair<double, double>> point, const QString& label) {
    m_content.point = point;
    m_content.pointLabel = label;
    if (point && (point->first < m_view.west || point->first > m_view.east || point->second < m_view.south ||
                  point->second > m_view.north)) {
        const double halfW = (m_view.east - m_view.west) / 2, halfH = (m_view.north - m_view.south) / 2;
        m_view = {point->first - halfW, point->second - halfH, point->first + halfW, point->second + halfH};
    }
    redraw();
}

void MapPanel::setSections(SectionSource source) {
    m_sectionSource = std::move(source);
    redraw();
}

void MapPanel::setFoundSection(const std::string& key) {
    m_content.foundKey = key;
    redraw();
}

void MapPanel::setView(const engine::Extent& view) {
    m_view = view;
    redraw();
}

engine::Extent MapPanel::fitted(const engine::Extent& v) const {
    // Keep the middle and the height; the width follows the widget's shape.
    const double middleX = (v.west + v.east) / 2, middleY = (v.south + v.north) / 2;
    const double height = v.north - v.south;
    const double aspect = width() > 0 && height > 0 ? double(width()) / std::max(1, this->height()) : 1;
    const double widthDegrees = height * aspect / std::cos(middleY * kPi / 180);
    return {middleX - widthDegrees / 2, v.south, middleX + widthDegrees / 2, v.north};
}

std::pair<double, double> MapPanel::positionAt(QPointF at) const {
    const engine::Extent v = fitted(m_view);
    return {v.west + (v.east - v.west) * at.x() / std::max(1, width()),
            v.north - (v.north - v.south) * at.y() / std::max(1, height())};
}

void MapPanel::redraw() {
    if (width() <= 0 || height() <= 0) return;
    const engine::Extent view = fitted(m_view);
    m_content.sections.clear();
    if (m_sectionSource && view.north - view.south < kSectionViewDegrees) m_content.sections = m_sectionSource(view);
    m_image = m_renderer.render(fitted(m_view), size(), m_content);
    update();
}

void MapPanel::resizeEvent(QResizeEvent*) { redraw(); }

void MapPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    paintOverlay(painter, size());
}

QImage MapPanel::picture() const {
    QImage image = m_image.isNull() ? QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32) : m_image;
    if (m_image.isNull()) image.fill(Qt::white);
    QPainter painter(&image);
    paintOverlay(painter, image.size());
    return image;
}

WriteResult MapPanel::save(const QString& path) const {
    const QImage map = picture();
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        if (!map.save(&bytes, "PNG")) return WriteResult::failure(path, QStringLiteral("the picture could not be made"));
        return writeFileAtomically(path, bytes.data());
    }
    {
        QPdfWriter pdf(&bytes);
        pdf.setPageSize(QPageSize(QPageSize::Letter));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(150);
        pdf.setTitle(QStringLiteral("Waypost map"));
        QPainter page(&pdf);
        const QRect area = page.viewport().adjusted(40, 40, -40, -40);
        QFont font = page.font();
        font.setPointSize(14);
        page.setFont(font);
        const QString title = m_content.point ? QStringLiteral("US National Grid: ") + m_content.pointLabel
                                              : QStringLiteral("Waypost map");
        page.drawText(area.topLeft() + QPoint(0, 30), title);
        const QRect mapArea(area.left(), area.top() + 50, area.width(), area.height() - 50);
        const QSize fittedSize = map.size().scaled(mapArea.size(), Qt::KeepAspectRatio);
        page.drawImage(QRect(mapArea.topLeft(), fittedSize), map);
        // A north arrow in the map's top right corner.
        const QPointF tip(mapArea.left() + fittedSize.width() - 40, mapArea.top() + 20);
        page.setBrush(Qt::black);
        page.drawPolygon(QPolygonF({tip, tip + QPointF(-12, 40), tip + QPointF(12, 40)}));
        page.drawText(QRectF(tip.x() - 20, tip.y() + 42, 40, 30), Qt::AlignCenter, QStringLiteral("N"));
    }
    return writeFileAtomically(path, bytes.data());
}

void MapPanel::paintOverlay(QPainter& painter, QSize size) const {
    const int width = size.width(), height = size.height();
    painter.setRenderHint(QPainter::Antialiasing);
    const engine::Extent v = fitted(m_view);
    if (m_content.point) {
        const QPointF at((m_content.point->first - v.west) / (v.east - v.west) * width,
                         (v.north - m_content.point->second) / (v.north - v.south) * height);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(QColor(200, 30, 30));
        painter.drawEllipse(at, 5, 5);
        painter.setPen(Qt::black);
        painter.drawText(at + QPointF(8, -6), m_content.pointLabel);
    }
    // Scale bar, bottom left.
    const double km = scaleBarKilometres(widthKilometres(v));
    if (km > 0) {
        const double pixels = km / widthKilometres(v) * width;
        const QPointF start(10, height - 14);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawLine(start, start + QPointF(pixels, 0));
        painter.drawText(start + QPointF(0, -4), km >= 1 ? QStringLiteral("%1 km").arg(km) : QStringLiteral("%1 m").arg(km * 1000));
    }
}

void MapPanel::wheelEvent(QWheelEvent* event) {
    const double factor = event->angleDelta().y() > 0 ? 0.5 : 2.0;
    const auto [x, y] = positionAt(event->position());
    const double height = std::clamp((m_view.north - m_view.south) * factor, 0.002, 60.0);
    const double ratio = height / (m_view.north - m_view.south);
    m_view = {x - (x - m_view.west) * ratio, y - (y - m_view.south) * ratio, x + (m_view.east - x) * ratio,
              y + (m_view.north - y) * ratio};
    redraw();
    event->accept();
}

void MapPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (event->modifiers() & Qt::ControlModifier) {
        const auto [longitude, latitude] = positionAt(event->position());
        emit locateRequested(latitude, longitude);
        return;
    }
    m_dragFrom = event->position();
    m_dragView = m_view;
}

void MapPanel::mouseMoveEvent(QMouseEvent* event) {
    const auto [longitude, latitude] = positionAt(event->position());
    QString text = QStringLiteral("%1 %2").arg(latitude, 0, 'f', 5).arg(longitude, 0, 'f', 5);
    if (std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) < 84)
        text += QStringLiteral("  ") +
                QString::fromStdString(engine::usngFromGeographic(latitude, longitude).texts.reference).simplified();
    emit cursorMoved(text);
    if (!m_dragFrom) return;
    const engine::Extent v = fitted(m_dragView);
    const double dx = (event->position().x() - m_dragFrom->x()) / std::max(1, width()) * (v.east - v.west);
    const double dy = (event->position().y() - m_dragFrom->y()) / std::max(1, height()) * (v.north - v.south);
    m_view = {m_dragView.west - dx, m_dragView.south + dy, m_dragView.east - dx, m_dragView.north + dy};
    redraw();
}

void MapPanel::mouseReleaseEvent(QMouseEvent*) { m_dragFrom.reset(); }

}  // namespace waypost
