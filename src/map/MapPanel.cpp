#include "map/MapPanel.h"

#include "engine/NationalGrid.h"

#include <mapnik/agg_renderer.hpp>
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
#include <QMouseEvent>
#include <QPageSize>
#include <QPdfWriter>
#include <QPainter>
#include <QWheelEvent>

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
mapnik::feature_type_style labelStyle(mapnik::color colour, double size, const char* face) {
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

struct MapRenderer::Layers {
    mapnik::Map map{1, 1, "epsg:4326"};
    std::shared_ptr<mapnik::memory_datasource> outline = newSource();
    std::shared_ptr<mapnik::memory_datasource> grid = newSource();
    std::shared_ptr<mapnik::memory_datasource> sections = newSource();
    std::shared_ptr<mapnik::memory_datasource> found = newSource();
    mapnik::context_ptr context = std::make_shared<mapnik::context_type>();
    const std::vector<std::vector<std::pair<double, double>>>* outlineDrawn = nullptr;
};

MapRenderer::MapRenderer() : m_layers(std::make_unique<Layers>()) {
    mapnik::Map& map = m_layers->map;
    map.set_background(mapnik::color(214, 230, 240));
    map.insert_style("outline", lineStyle(mapnik::color(90, 90, 90), 1.2, mapnik::color(244, 241, 228)));
    map.insert_style("grid", lineStyle(mapnik::color(40, 90, 200, 150), 0.8));
    std::vector<std::pair<const char*, std::shared_ptr<mapnik::memory_datasource>>> layers{
        {"outline", m_layers->outline}, {"grid", m_layers->grid}};
    if (const std::optional<std::string> face = labelFace()) {
        map.insert_style("sections", labelStyle(mapnik::color(60, 60, 60), 9, face->c_str()));
        map.insert_style("found", labelStyle(mapnik::color(190, 0, 0), 11, face->c_str()));
        layers.insert(layers.end(), {{"sections", m_layers->sections}, {"found", m_layers->found}});
    }
    m_layers->context->push("key");
    for (const auto& [name, source] : layers) {
        mapnik::layer layer(name, "epsg:4326");
        layer.set_datasource(source);
        layer.add_style(name);
        map.add_layer(layer);
    }
}

MapRenderer::~MapRenderer() = default;

QImage MapRenderer::render(const engine::Extent& view, QSize size, const MapContent& content) {
    Layers& l = *m_layers;
    if (l.outlineDrawn != &content.outline) {
        l.outline->clear();
        mapnik::value_integer id = 1;
        for (const auto& ring : content.outline) {
            mapnik::geometry::polygon<double> polygon;
            for (const auto& [x, y] : ring) polygon.exterior_ring.emplace_back(x, y);
            mapnik::feature_ptr feature(mapnik::feature_factory::create(l.context, id++));
            feature->set_geometry(std::move(polygon));
            l.outline->push(feature);
        }
        l.outlineDrawn = &content.outline;
    }
    l.grid->clear();
    const std::vector<engine::GridLine> lines = engine::gridLines(view, engine::gridSpacingFor(view));
    m_gridLines = lines.size();
    mapnik::value_integer id = 1;
    for (const engine::GridLine& line : lines) {
        mapnik::geometry::line_string<double> path;
        for (const auto& [x, y] : line.points) path.emplace_back(x, y);
        mapnik::feature_ptr feature(mapnik::feature_factory::create(l.context, id++));
        feature->set_geometry(std::move(path));
        l.grid->push(feature);
    }
    l.sections->clear();
    l.found->clear();
    for (const SectionMark& mark : content.sections) {
        mapnik::feature_ptr feature(mapnik::feature_factory::create(l.context, id++));
        feature->set_geometry(mapnik::geometry::point<double>(mark.longitude, mark.latitude));
        feature->put("key", mapnik::value_unicode_string(mapnik::transcoder("utf-8").transcode(mark.key.c_str())));
        (mark.key == content.foundKey ? l.found : l.sections)->push(feature);
    }
    const int w = std::max(1, size.width()), h = std::max(1, size.height());
    l.map.resize(static_cast<unsigned>(w), static_cast<unsigned>(h));
    l.map.zoom_to_box(mapnik::box2d<double>(view.west, view.south, view.east, view.north));
    mapnik::image_rgba8 image(w, h);
    mapnik::agg_renderer<mapnik::image_rgba8> renderer(l.map, image);
    renderer.apply();
    // Mapnik's pixels are premultiplied RGBA, as Qt's RGBA8888_Premultiplied.
    return QImage(image.bytes(), w, h, w * 4, QImage::Format_RGBA8888_Premultiplied).copy();
}

MapPanel::MapPanel(QWidget* parent) : QWidget(parent) {
    setMinimumSize(220, 180);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setToolTip(QStringLiteral("Drag to move, the wheel to zoom; Ctrl+click locates that point"));
}

MapPanel::~MapPanel() = default;

void MapPanel::setOutline(std::vector<std::vector<std::pair<double, double>>> rings) {
    m_content.outline = std::move(rings);
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
