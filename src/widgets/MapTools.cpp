#include "widgets/MapTools.h"

#include "map/MapPanel.h"
#include "output/OutputChooser.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace waypost {
namespace {

void saveMap(MapPanel& map, Prompter& prompter) {
    std::optional<QString> path = chooseNewOutput(
        prompter, {QStringLiteral("Save Map Image"), QStringLiteral("PNG Pictures (*.png);;PDF Pages (*.pdf)"),
                   QStringLiteral("png"), {}, {}, false, {QStringLiteral("pdf")}});
    if (!path) return;
    // A picture never lands in a file named as another format ("fires.sqlite"): it gets ".png".
    const QString suffix = QFileInfo(*path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf")) {
        *path += QStringLiteral(".png");
        if (QFileInfo(*path).size() > 0 &&
            prompter.question(QStringLiteral("File Already Exists  - Overwrite?"), QStringLiteral("File Exists"),
                              Prompter::Icon::Critical, Prompter::Answer::No) != Prompter::Answer::Yes)
            return;
    }
    if (const WriteResult saved = map.save(*path); !saved) prompter.message(saved.message(), kAppTitle, Prompter::Icon::Critical);
}

void addLayer(MapPanel& map, Prompter& prompter) {
    const std::optional<QString> chosen = prompter.openFile(
        {QStringLiteral("Add Layer"),
         QStringLiteral("Map Layers (*.shp *.gpkg *.kml *.kmz *.geojson *.json *.gpx *.sqlite *.gml *.tab *.csv);;All Files (*)"),
         {}, {}, {}, false, {}});
    if (!chosen) return;
    const std::string source = chosen->toStdString();
    if (const std::optional<QString> problem = layerProblem(source)) {
        prompter.message(*problem, kAppTitle, Prompter::Icon::Critical);
        return;
    }
    std::vector<std::string> layers = rememberedLayers();
    if (std::find(layers.begin(), layers.end(), source) == layers.end()) layers.push_back(source);
    rememberLayers(layers);
    map.setLayers(layers);
}

}  // namespace

void setUpMap(const MapControls& c, Services& services) {
    c.map->setBaseMap(readBaseMap(services.paths.dataDir() + QStringLiteral("/map")));
    c.map->setLayers(rememberedLayers());
    const auto showLayerCount = [c] { c.clearLayers->setEnabled(!c.map->layers().empty()); };
    showLayerCount();
    Prompter& prompter = services.prompter;
    QObject::connect(c.map, &MapPanel::cursorMoved, c.cursor, &QLabel::setText);
    QObject::connect(c.save, &QPushButton::clicked, c.map, [c, &prompter] { saveMap(*c.map, prompter); });
    QObject::connect(c.addLayer, &QPushButton::clicked, c.map, [c, &prompter, showLayerCount] {
        addLayer(*c.map, prompter);
        showLayerCount();
    });
    QObject::connect(c.clearLayers, &QPushButton::clicked, c.map, [c, showLayerCount] {
        rememberLayers({});
        c.map->setLayers({});
        showLayerCount();
    });
}

}  // namespace waypost
