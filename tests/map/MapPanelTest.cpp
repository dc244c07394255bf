// The map: what a view draws (the state on its water, the grid lines the view
// can show, county names, a drawing with its holes, a table's points, added
// layers), the scale bar's round lengths, and a Ctrl+click located through
// the conversion page's location box.

#include "conversion/PageFixture.h"
#include "map/MapPanel.h"
#include "plss/SampleGrid.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace waypost;

namespace {

/// The pixel of (\p longitude, \p latitude) in an image of \p view.
QColor pixelAt(const QImage& image, const engine::Extent& view, double longitude, double latitude) {
    const int x = int((longitude - view.west) / (view.east - view.west) * image.width());
    const int y = int((view.north - latitude) / (view.north - view.south) * image.height());
    return image.pixelColor(x, y);
}

}  // namespace

class MapPanelTest : public QObject {
    Q_OBJECT
private slots:
    // A statewide view draws the state on its water under the grid, without the
    // county names; a county-sized view names every county, a section-sized one
    // shows the kilometre lines. The committed county file: every county named
    // once, its borders; a line it cannot read is named with its number.
    void theStateItsCountiesAndTheGridShowAsTheViewAllows() {
        const auto outline = plss::Outline::read(WAYPOST_SOURCE_DIR "/tools/plss/florida_outline.txt").rings();
        auto base = std::make_shared<BaseMap>(BaseMap{outline, {}, {}});
        readCounties(WAYPOST_SOURCE_DIR "/tools/map/florida_counties.txt", *base);
        QVERIFY(std::any_of(base->countyNames.begin(), base->countyNames.end(),
                            [](const PlaceName& c) { return c.name == "Miami-Dade" && c.latitude < 26 && c.longitude > -81; }));
        QVERIFY(base->countyLines.size() > 30);
        MapRenderer renderer;
        MapContent content;
        content.base = base;
        const engine::Extent state{-88.0, 24.0, -79.5, 31.5};
        const QImage image = renderer.render(state, QSize(850, 750), content);
        const QColor land = pixelAt(image, state, -81.90, 28.20);   // inland, between grid and county lines
        const QColor water = pixelAt(image, state, -86.00, 26.00);  // the Gulf
        QVERIFY2(land.lightness() > water.lightness(), qPrintable(land.name() + u' ' + water.name()));
        QVERIFY(renderer.gridLineCount() > 20);  // the 100 km lines of two zones
        QCOMPARE(renderer.countyNamesOffered(), size_t(0));
        renderer.render({-85.0, 29.5, -83.5, 31.0}, QSize(400, 300), content);
        QCOMPARE(renderer.countyNamesOffered(), size_t(67));  // every county's name
        renderer.render({-84.30, 30.40, -84.25, 30.45}, QSize(400, 400), content);
        QVERIFY(renderer.gridLineCount() >= 8);
        QTemporaryDir dir;
        for (const char* text : {"county -84.2 30.4\n", "line 0\n-84.2 30.4 7\n", "-84.2 30.4\n"}) {
            const QString path = dir.filePath(QStringLiteral("bad.txt"));
            QVERIFY(test::writeFile(path, QByteArray("# comment\n") + text));
            try {
                readCounties(path.toStdString(), *base);
                QFAIL(text);
            } catch (const std::runtime_error& e) {
                QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("bad.txt:")), e.what());
            }
        }
        QCOMPARE(base->countyNames.size(), size_t(67));  // a failed read changes nothing
    }

    // Section keys when zoomed in, the found one in red; none at a wider view. An
    // area is filled, its hole is not. A table's few points are dots, many in view
    // a density picture. The panel moves to take in a drawing, or the points.
    void thePanelShowsSectionKeysADrawingWithItsHolesAndATablesPoints() {
        MapPanel panel;
        panel.resize(400, 400);
        panel.setSections([](const engine::Extent& v) {
            const double x = (v.west + v.east) / 2, y = (v.south + v.north) / 2;
            return std::vector<SectionMark>{{"T01S R01E S08", x - 0.01, y}, {"T01S R01E S09", x + 0.01, y}};
        });
        panel.setView({-84.32, 30.38, -84.24, 30.44});
        QCOMPARE(panel.sectionsShown(), size_t(2));
        const auto reddish = [](const QImage& image) {
            int n = 0;
            for (int i = 0; i < image.width() * image.height(); ++i) {
                const QColor c = image.pixelColor(i % image.width(), i / image.width());
                n += c.red() > 150 && c.green() < 80 && c.blue() < 80;
            }
            return n;
        };
        const int before = reddish(panel.picture());
        panel.setFoundSection("T01S R01E S09");
        QVERIFY2(reddish(panel.picture()) > before + 20, "the found section's key is not drawn in red");
        panel.setView({-88.0, 24.0, -79.5, 31.5});
        QCOMPARE(panel.sectionsShown(), size_t(0));

        const engine::Extent view{-84.32, 30.38, -84.18, 30.52};
        panel.setView(view);
        const QImage undrawn = panel.picture();
        const MapRing edge{{-84.30, 30.40}, {-84.20, 30.40}, {-84.20, 30.50}, {-84.30, 30.50}, {-84.30, 30.40}};
        const MapRing hole{{-84.26, 30.44}, {-84.24, 30.44}, {-84.24, 30.46}, {-84.26, 30.46}, {-84.26, 30.44}};
        panel.setDrawing({{true, {edge, hole}}, {false, {{{-84.35, 30.38}, {-84.15, 30.52}}}}});
        QVERIFY(panel.view().west > -84.5 && panel.view().north < 30.7 && panel.view().south > 30.3);
        panel.setView(view);
        QVERIFY(panel.picture() != undrawn);  // drawn over a map already drawn
        MapRenderer renderer;
        MapContent content;
        content.drawing = panel.content().drawing;
        const QImage image = renderer.render(view, QSize(400, 400), content);
        const QImage empty = renderer.render(view, QSize(400, 400), MapContent{});
        const QColor area = pixelAt(image, view, -84.285, 30.48), inHole = pixelAt(image, view, -84.25, 30.452);
        QVERIFY2(area.red() > area.blue() + 30, qPrintable(area.name()));
        QCOMPARE(inHole, pixelAt(empty, view, -84.25, 30.452));

        auto points = std::make_shared<std::vector<std::pair<double, double>>>();
        for (int i = 0; i < 10; ++i) points->emplace_back(-84.3 + i * 0.01, 30.4);
        content = MapContent{};
        content.points = points;
        const engine::Extent dotsView{-84.40, 30.30, -84.10, 30.50};
        renderer.render(dotsView, QSize(300, 300), content);
        QCOMPARE(renderer.pointsDrawn().inView, size_t(10));
        QVERIFY(!renderer.pointsDrawn().density);
        for (int i = 0; i < int(MapRenderer::kMostDots) + 1; ++i) points->emplace_back(-84.2, 30.35 + i * 1e-6);
        points->emplace_back(-80.0, 26.0);  // out of view
        const QImage dense = renderer.render(dotsView, QSize(300, 300), content);
        QCOMPARE(renderer.pointsDrawn().inView, MapRenderer::kMostDots + 11);
        QVERIFY(renderer.pointsDrawn().density);
        QVERIFY(pixelAt(dense, dotsView, -84.2, 30.36).blue() > pixelAt(dense, dotsView, -84.2, 30.36).red() + 40);
        panel.setPoints(points);
        QVERIFY(panel.view().south < 26.0 && panel.view().north > 30.4);
    }

    // The scale bar of a state, a county and a section: a round 2, 1 or 5 times a
    // power of ten, at most a quarter of the view's width; none for no width.
    void theScaleBarShowsARoundLength() {
        const std::pair<double, double> viewAndBar[] = {{800, 200}, {60, 10}, {3, 0.5}, {0, 0}};
        for (const auto& [viewKm, barKm] : viewAndBar) QCOMPARE(scaleBarKilometres(viewKm), barKm);
    }

    // Any vector source GDAL reads is drawn under the rest, in its own
    // projection; one GDAL cannot read is refused in words. Added on the page,
    // a layer is remembered for the next map; cleared, for all. A Ctrl+click on
    // the page's map locates that point through the location box; the map is
    // saved as a picture or a printable page.
    void thePagesMapTakesLayersLocatesACtrlClickAndIsSaved() {
        QTemporaryDir dir;
        const QString area = dir.filePath(QStringLiteral("area.geojson"));
        QVERIFY(test::writeFile(area, R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},
            "geometry":{"type":"Polygon","coordinates":[[[-84.3,30.4],[-84.2,30.4],[-84.2,30.5],[-84.3,30.5],[-84.3,30.4]]]}}]})"));
        const QString text = dir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(test::writeFile(text, "not a map"));
        MapRenderer renderer;
        MapContent content;
        const engine::Extent view{-84.35, 30.35, -84.15, 30.55};
        const QColor before = pixelAt(renderer.render(view, QSize(200, 200), content), view, -84.25, 30.47);
        content.layers = {area.toStdString(), text.toStdString()};  // the second cannot be drawn: the rest is
        const QColor after = pixelAt(renderer.render(view, QSize(200, 200), content), view, -84.25, 30.47);
        QVERIFY2(before != after, qPrintable(before.name() + u' ' + after.name()));

        testing::PageFixture f;
        QVERIFY(f.show());
        auto* map = f.child<MapPanel>("mapPanel");
        f.prompter.choosePath(dir.filePath(QStringLiteral("gone.gpkg")));
        f.click("cmdAddLayer");
        QVERIFY(f.prompter.messageTexts().value(0).contains(QStringLiteral("gone.gpkg")));
        f.prompter.choosePath(area);
        f.click("cmdAddLayer");  // "Clear" is on only with a layer: the clearing below needs it
        QCOMPARE(map->layers(), std::vector<std::string>{area.toStdString()});
        testing::PageFixture next;
        QCOMPARE(next.child<MapPanel>("mapPanel")->layers(), std::vector<std::string>{area.toStdString()});
        f.click("cmdClearLayers");
        QVERIFY(rememberedLayers().empty());
        QVERIFY(map->layers().empty());

        map->setView({-84.40, 30.35, -84.20, 30.55});
        const QPoint at(map->width() / 3, map->height() / 2);
        const auto [longitude, latitude] = map->positionAt(at);
        QTest::mouseClick(map, Qt::LeftButton, Qt::ControlModifier, at);
        QVERIFY(f.page->location());
        QVERIFY(!f.text("txtAnyLocation").isEmpty());
        // As typed: the degrees-minutes-seconds fields hold it to a hundredth of a second.
        QVERIFY2(std::abs(f.page->location()->latitude - latitude) < 1e-5, qPrintable(f.text("lblDDLat")));
        QVERIFY2(std::abs(f.page->location()->longitude - longitude) < 1e-5, qPrintable(f.text("lblDDLong")));
        // A plain click moves nothing.
        const auto located = f.page->location();
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(f.page->location(), located);

        map->setPoint(std::pair(-84.2807, 30.4383), QStringLiteral("16R GU 6115 7049"));
        f.prompter.choosePath(f.path(QStringLiteral("where.png")));
        f.click("cmdSaveMap");
        QCOMPARE(QImage(f.path(QStringLiteral("where.png"))).size(), map->size());
        f.prompter.choosePath(f.path(QStringLiteral("where.pdf")));
        f.click("cmdSaveMap");
        const QByteArray pdf = test::readAll(f.path(QStringLiteral("where.pdf")));
        QVERIFY(pdf.startsWith("%PDF") && pdf.trimmed().endsWith("%%EOF"));
        // A folder that is not there: said, and nothing written.
        f.prompter.choosePath(f.path(QStringLiteral("gone/where.png")));
        f.click("cmdSaveMap");
        QVERIFY(f.prompter.messageTexts().join(u'|').contains(f.path(QStringLiteral("gone/where.png"))));
        QCOMPARE(test::filesIn(f.out.path()), QStringList({"where.pdf", "where.png"}));
        // A name of another format is not overwritten with a picture: it gets ".png".
        QVERIFY(test::writeFile(f.path(QStringLiteral("fires.sqlite")), "a database"));
        f.prompter.choosePath(f.path(QStringLiteral("fires.sqlite")));
        f.prompter.answerYes();  // the existing file chosen is asked about
        f.click("cmdSaveMap");
        QCOMPARE(test::readAll(f.path(QStringLiteral("fires.sqlite"))), QByteArray("a database"));
        QVERIFY(!QImage(f.path(QStringLiteral("fires.sqlite.png"))).isNull());
    }
};

QTEST_MAIN(MapPanelTest)
#include "MapPanelTest.moc"
