// The map: what a view draws (the state on its water, the grid lines the view
// can show), the scale bar's round lengths, and a Ctrl+click located through
// the conversion page's location box.

#include "conversion/PageFixture.h"
#include "map/MapPanel.h"
#include "plss/SampleGrid.h"

#include <QTest>

using namespace waypost;

namespace {

std::vector<std::vector<std::pair<double, double>>> outline() {
    return plss::Outline::read(WAYPOST_SOURCE_DIR "/tools/plss/florida_outline.txt").rings();
}

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
    void aStatewideViewDrawsTheStateOnItsWaterUnderTheGrid() {
        MapRenderer renderer;
        MapContent content{outline(), std::nullopt, {}};
        const engine::Extent state{-88.0, 24.0, -79.5, 31.5};
        const QImage image = renderer.render(state, QSize(850, 750), content);
        QCOMPARE(image.size(), QSize(850, 750));
        const QColor land = pixelAt(image, state, -81.90, 28.20);   // inland, between grid lines
        const QColor water = pixelAt(image, state, -86.00, 26.00);  // the Gulf
        QVERIFY2(land != water, qPrintable(land.name() + u' ' + water.name()));
        QVERIFY(land.lightness() > water.lightness());
        QVERIFY(renderer.gridLineCount() > 20);  // the 100 km lines of two zones
        // A section-sized view shows the kilometre lines instead.
        renderer.render({-84.30, 30.40, -84.25, 30.45}, QSize(400, 400), content);
        QVERIFY(renderer.gridLineCount() >= 8);
    }

    // Section keys when zoomed in, the found one in red; none at a wider view.
    void sectionKeysShowWhenZoomedInAndTheFoundOneStandsOut() {
        MapPanel panel;
        panel.resize(400, 300);
        int asked = 0;
        panel.setSections([&asked](const engine::Extent& v) {
            ++asked;
            const double x = (v.west + v.east) / 2, y = (v.south + v.north) / 2;
            return std::vector<SectionMark>{{"T01S R01E S08", x - 0.01, y}, {"T01S R01E S09", x + 0.01, y}};
        });
        panel.setView({-84.32, 30.38, -84.24, 30.44});
        QCOMPARE(panel.sectionsShown(), size_t(2));
        const auto reddish = [](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    n += c.red() > 150 && c.green() < 80 && c.blue() < 80;
                }
            return n;
        };
        const int before = reddish(panel.picture());
        panel.setFoundSection("T01S R01E S09");
        QVERIFY2(reddish(panel.picture()) > before + 20, "the found section's key is not drawn in red");
        panel.setView({-88.0, 24.0, -79.5, 31.5});
        QCOMPARE(panel.sectionsShown(), size_t(0));
        QVERIFY(asked >= 2);
    }

    void theScaleBarShowsARoundLength_data() {
        QTest::addColumn<double>("viewKm");
        QTest::addColumn<double>("barKm");
        QTest::newRow("state") << 800.0 << 200.0;
        QTest::newRow("county") << 60.0 << 10.0;
        QTest::newRow("section") << 3.0 << 0.5;
        QTest::newRow("nothing") << 0.0 << 0.0;
    }
    void theScaleBarShowsARoundLength() {
        QFETCH(double, viewKm);
        QFETCH(double, barKm);
        QCOMPARE(scaleBarKilometres(viewKm), barKm);
    }

    void aCtrlClickOnThePagesMapLocatesThatPointThroughTheLocationBox() {
        testing::PageFixture f;
        QVERIFY(f.show());
        auto* map = f.child<MapPanel>("mapPanel");
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
        const auto before = f.page->location();
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(f.page->location(), before);
    }

    void theMapIsSavedAsAPictureOrAPrintablePage() {
        testing::PageFixture f(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));
        QVERIFY(f.show());
        auto* map = f.child<MapPanel>("mapPanel");
        map->setPoint(std::pair(-84.2807, 30.4383), QStringLiteral("16R GU 6115 7049"));
        f.prompter.choosePath(f.path(QStringLiteral("where.png")));
        f.click("cmdSaveMap");
        const QImage picture(f.path(QStringLiteral("where.png")));
        QCOMPARE(picture.size(), map->size());
        f.prompter.choosePath(f.path(QStringLiteral("where.pdf")));
        f.click("cmdSaveMap");
        const QByteArray pdf = test::readAll(f.path(QStringLiteral("where.pdf")));
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        // A folder that is not there: said, and nothing written.
        f.prompter.choosePath(f.path(QStringLiteral("gone/where.png")));
        f.click("cmdSaveMap");
        QVERIFY(f.prompter.messageTexts().value(0).contains(f.path(QStringLiteral("gone/where.png"))));
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
