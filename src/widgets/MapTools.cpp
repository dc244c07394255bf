#include "widgets/MapTools.h"

#include "map/MapPanel.h"
#include "output/OutputChooser.h"
#include "widgets/AgencyAccess.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

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

/// Shows \p source on every map from now on, unless GDAL cannot read it (said).
void addSource(MapPanel& map, Prompter& prompter, const std::string& source) {
    if (const std::optional<QString> problem = layerProblem(source)) {
        prompter.message(*problem, kAppTitle, Prompter::Icon::Critical);
        return;
    }
    std::vector<std::string> layers = rememberedLayers();
    if (std::find(layers.begin(), layers.end(), source) == layers.end()) layers.push_back(source);
    rememberLayers(layers);
    map.setLayers(layers);
}

void addLayer(MapPanel& map, Prompter& prompter) {
    const std::optional<QString> chosen = prompter.openFile(
        {QStringLiteral("Add Layer"),
         QStringLiteral("Map Layers (*.shp *.gpkg *.kml *.kmz *.geojson *.json *.gpx *.sqlite *.gml *.tab *.csv);;All Files (*)"),
         {}, {}, {}, false, {}});
    if (chosen) addSource(map, prompter, chosen->toStdString());
}

/// A table of the agency database with a geometry column, chosen by name.
void addAgencyLayer(MapPanel& map, Prompter& prompter) {
    std::optional<std::vector<std::string>> tables;
    try {
        tables = withAgencyDatabase<std::vector<std::string>>(prompter, &map, [](const std::string& connection) {
            agency::Connection db(connection);
            std::vector<std::string> names;
            for (const agency::Row& row :
                 db.run("SELECT f_table_schema || '.' || f_table_name FROM geometry_columns ORDER BY 1"))
                names.push_back(row.at(0).value_or(std::string()));
            return names;
        });
    } catch (const agency::AgencyError& failure) {
        prompter.message(failure.words(), kAppTitle, Prompter::Icon::Critical);
        return;
    }
    if (!tables) return;
    if (tables->empty()) {
        prompter.message(QStringLiteral("The agency database holds no table with a geometry to show."));
        return;
    }
    QStringList names;
    for (const std::string& name : *tables) names << QString::fromStdString(name);
    const std::optional<QString> chosen =
        prompter.inputText(QStringLiteral("The table to show (schema.table), one of:\n%1").arg(names.join(u'\n')),
                           QStringLiteral("Agency Layer"), names.front());
    if (!chosen) return;
    if (!names.contains(chosen->trimmed())) {
        prompter.message(QStringLiteral("The agency database has no table %1 with a geometry.").arg(chosen->trimmed()));
        return;
    }
    // GDAL names a table in its connection text, where a blank, quote or comma would end the name.
    static const QRegularExpression plain(QStringLiteral("^[^\\s'\",]+$"));
    if (!plain.match(chosen->trimmed()).hasMatch()) {
        prompter.message(QStringLiteral("The table %1 cannot be shown on the map: its name holds a blank, a quote or a comma.")
                             .arg(chosen->trimmed()));
        return;
    }
    // Kept without the password; the map adds this run's when it opens the table.
    addSource(map, prompter,
              "PG:" + agency::savedSettings().connectionString() + " tables=" + chosen->trimmed().toStdString());
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
    QObject::connect(c.agencyLayer, &QPushButton::clicked, c.map, [c, &prompter, showLayerCount] {
        addAgencyLayer(*c.map, prompter);
        showLayerCount();
    });
    QObject::connect(c.clearLayers, &QPushButton::clicked, c.map, [c, showLayerCount] {
        rememberLayers({});
        c.map->setLayers({});
        showLayerCount();
    });
}

}  // namespace waypost
