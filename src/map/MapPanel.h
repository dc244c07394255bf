#pragma once
// An offline map: the state and its counties, the layers a person added (any
// vector source GDAL reads), the US National Grid lines the view can show,
// the section keys when zoomed in, a drawing, a table's points, and the
// located point with its grid reference; drawn by Mapnik into an image this
// widget shows. Pan with the mouse, zoom with the wheel; a click with Ctrl
// held asks for that position to be located.

#include "engine/GridLines.h"
#include "map/BaseMap.h"
#include "platform/FileWriting.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPainter;

namespace waypost {

/// A section centre with its key.
struct SectionMark {
    std::string key;  ///< "T01S R01E S08"
    double longitude = 0, latitude = 0;
};

/// A shape drawn in another program: an area (its first ring the edge, the
/// others holes in it) or a line (one ring, open).
struct MapShape {
    bool area = true;
    std::vector<MapRing> rings;
};

using MapPoints = std::shared_ptr<const std::vector<std::pair<double, double>>>;  ///< (longitude, latitude)

/// What the map draws, in longitude/latitude.
struct MapContent {
    std::shared_ptr<const BaseMap> base;             ///< the state, its county borders and names
    std::optional<std::pair<double, double>> point;  ///< the located point (longitude, latitude)
    QString pointLabel;                              ///< its grid reference
    std::vector<SectionMark> sections;               ///< section keys at their centres
    std::string foundKey;                            ///< the section found for the point, highlighted
    std::shared_ptr<const std::vector<MapShape>> drawing;  ///< a drawing's areas (with their holes) and lines
    MapPoints points;                                ///< a table's points
    std::vector<std::string> layers;                 ///< added vector sources (GDAL names), under the rest
};

/// How a table's points were drawn: each as a dot, or (many in view) as a
/// density picture, darker where more lie.
struct PointsDrawn {
    std::size_t inView = 0;
    bool density = false;
};

/// The sections whose centres lie in a view (the map asks only when zoomed in).
using SectionSource = std::function<std::vector<SectionMark>(const engine::Extent& view)>;

/// The drawing of a view: Mapnik layers for the outline and the grid lines.
class MapRenderer {
public:
    MapRenderer();
    ~MapRenderer();
    /// \p view drawn into an image of \p size with \p content.
    QImage render(const engine::Extent& view, QSize size, const MapContent& content);
    /// The grid lines drawn in the last render.
    std::size_t gridLineCount() const { return m_gridLines; }
    /// The table's points drawn in the last render.
    PointsDrawn pointsDrawn() const { return m_points; }
    /// The county names the last render offered (the view shows them between state and section scale).
    std::size_t countyNamesOffered() const { return m_countyNames; }
    /// Points in view up to this many are drawn as dots; more as density.
    static constexpr std::size_t kMostDots = 20000;
    /// County names show in views less tall than this.
    static constexpr double kCountyNameDegrees = 4.0;

private:
    struct Layers;
    std::unique_ptr<Layers> m_layers;
    std::size_t m_gridLines = 0, m_countyNames = 0;
    PointsDrawn m_points;
};

/// Why GDAL cannot show \p source as a map layer (not there, not vector
/// data, no layer), or nothing when it can.
std::optional<QString> layerProblem(const std::string& source);

/// The added layers every map shows, as remembered between runs.
std::vector<std::string> rememberedLayers();
void rememberLayers(const std::vector<std::string>& sources);

class MapPanel final : public QWidget {
    Q_OBJECT
public:
    explicit MapPanel(QWidget* parent = nullptr);
    ~MapPanel() override;

    /// The state, its counties and their names.
    void setBaseMap(BaseMap base);
    /// A drawing (areas with holes, lines); the view moves to take it all in.
    void setDrawing(std::vector<MapShape> shapes);
    /// A table's points; the view moves to take them all in.
    void setPoints(MapPoints points);
    /// The added layers (GDAL source names), drawn under the rest.
    void setLayers(std::vector<std::string> sources);
    const std::vector<std::string>& layers() const { return m_content.layers; }
    /// What the panel draws.
    const MapContent& content() const { return m_content; }
    /// Where the keys of the sections in view come from; shown in views less than
    /// kSectionViewDegrees tall, the found section (\p foundKey) in red.
    void setSections(SectionSource source);
    void setFoundSection(const std::string& key);
    static constexpr double kSectionViewDegrees = 0.3;
    /// The section keys drawn in the last redraw.
    std::size_t sectionsShown() const { return m_content.sections.size(); }
    /// The located point and its label, or none; the view moves to it when it lies outside.
    void setPoint(std::optional<std::pair<double, double>> point, const QString& label);
    const engine::Extent& view() const { return m_view; }
    void setView(const engine::Extent& view);
    /// The position under widget point \p at (longitude, latitude).
    std::pair<double, double> positionAt(QPointF at) const;
    const MapRenderer& renderer() const { return m_renderer; }
    /// The map as the panel shows it: layers, point, label and scale bar.
    QImage picture() const;

    /// Writes the view to \p path: a PNG picture, or (for a name ending in
    /// .pdf) a printable page with the picture, the point's grid reference, a
    /// scale bar and a north arrow. Replaces an old file only when complete.
    WriteResult save(const QString& path) const;

signals:
    /// Ctrl+click: locate this position (latitude, longitude).
    void locateRequested(double latitude, double longitude);
    /// The position under the cursor, as text ("30.50000 -84.25000  16R GU 6115 7049").
    void cursorMoved(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void redraw();
    /// Paints the point, its label and the scale bar over the map in \p painter of \p size.
    void paintOverlay(QPainter& painter, QSize size) const;
    /// The view with the widget's proportions (degrees of longitude shrink with latitude).
    engine::Extent fitted(const engine::Extent& view) const;
    /// Shows all of \p rings' vertices, with a margin.
    void showAll(const std::vector<const MapRing*>& rings);

    MapRenderer m_renderer;
    SectionSource m_sectionSource;
    MapContent m_content;
    engine::Extent m_view{-87.8, 24.3, -79.8, 31.2};
    QImage m_image;
    std::optional<QPointF> m_dragFrom;
    engine::Extent m_dragView;
};

/// The length a scale bar shows for a view \p kilometres wide: a round
/// 1, 2 or 5 times a power of ten, at most a quarter of the width.
double scaleBarKilometres(double kilometres);

}  // namespace waypost
