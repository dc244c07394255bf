#include "batch/BatchWindows.h"

#include "batch/BatchRun.h"
#include "batch/ServerRun.h"
#include "batch/TableImportPanel.h"
#include "map/MapPanel.h"
#include "ui_frmbatLLtoUSNG.h"
#include "ui_frmdatabase.h"
#include "widgets/BackgroundJob.h"
#include "widgets/Look.h"
#include "widgets/MapTools.h"

#include <QDir>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>

namespace waypost::batch {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kEnableHemispheres = QStringLiteral("Enable Hemisphere Selection");
const QString kDisableHemispheres = QStringLiteral("Disable Hemisphere Selection");
const QColor kYellow{255, 255, 0};

/// What both instructions say about bringing a table in first.
QString importSteps() {
    return QStringLiteral("Dbase files, Excel spreadsheets and delimited text files must be converted to a SQLite "
                          "database first - Do this by clicking either 'Convert Excel to SQLite','Convert DBF to "
                          "SQLite' or 'Convert .txt or csv to .SQLite'.") +
           kCrLf + kCrLf +
           QStringLiteral("To convert an Excel worksheet to a SQLite database, you must first select the sheet "
                          "containing the coordinates. Do this by clicking 'Get Excel Sheet Name(s)'.Then select the "
                          "appropriate sheet name in the 'Sheets' listbox. This will enable the 'Convert Sheet to "
                          "SQLite command'") +
           kCrLf + kCrLf;
}

/// The item of \p list the run takes, after the warnings that do not stop it.
QString currentAfterWarnings(Prompter& prompter, const QListWidget* list, const QString& none, const QString& several) {
    const int ticked = TableImportPanel::tickedCount(list);
    if (ticked == 0) prompter.message(none);
    else if (ticked > 1) prompter.message(several);
    return list->currentItem() ? list->currentItem()->text() : QString();
}

/// What a run in the background came to.
struct RunOutcome {
    bool converted = false;
    RunResult result;
    QString shapefile;
    QString error;           ///< why the conversion did not happen (the table is as it was)
    QString shapefileError;  ///< why the shapefile was not written after a committed conversion
    MapPoints points;        ///< the converted points, for the map
};

/// The conversion, then the shapefile when asked for; failures caught for the window.
RunOutcome convertAndDraw(const std::function<RunResult()>& convert, std::optional<PointFormat> points, const QString& database,
                          const QString& table) {
    RunOutcome outcome;
    // Nothing may leave the run's thread: whatever fails is told to the window.
    try {
        outcome.result = convert();
        outcome.converted = true;
    } catch (const RunError& e) {
        outcome.error = e.message();
        return outcome;
    } catch (const std::exception& e) {
        outcome.error = QString::fromUtf8(e.what());
        return outcome;
    }
    // The map shows the converted points.
    try {
        const QString& latitude = outcome.result.latitudeColumn;
        const QString& longitude = outcome.result.longitudeColumn;
        outcome.points = std::make_shared<const std::vector<std::pair<double, double>>>(
            isServerSource(database) ? readServerTablePoints(serverConnection(database), table, latitude, longitude)
                                     : readTablePoints(database, table, latitude, longitude));
    } catch (const std::exception&) {
        // The map stays as it was; the run's own outcome is told.
    }
    if (points) {
        try {
            // A server table's points go into the home folder; a file's beside it.
            outcome.shapefile = isServerSource(database)
                                    ? writeServerTablePoints(serverConnection(database), table,
                                                             outcome.result.latitudeColumn,
                                                             outcome.result.longitudeColumn, *points, QDir::homePath())
                                    : writeTablePoints(database, table, outcome.result.latitudeColumn,
                                                       outcome.result.longitudeColumn, *points);
        } catch (const RunError& e) {
            outcome.shapefileError = e.message();
        } catch (const std::exception& e) {
            outcome.shapefileError = QString::fromUtf8(e.what());
        }
    }
    return outcome;
}

/// The formats the points of a run may be written in, in the window's list.
void fillPointFormats(QComboBox* list, QRadioButton* create) {
    list->addItem(QStringLiteral("Shapefile (.shp)"), int(PointFormat::Shapefile));
    list->addItem(QStringLiteral("GeoPackage (.gpkg)"), int(PointFormat::GeoPackage));
    list->addItem(QStringLiteral("GeoJSON (.geojson)"), int(PointFormat::GeoJson));
    list->addItem(QStringLiteral("GPX waypoints (.gpx)"), int(PointFormat::Gpx));
    list->setEnabled(create->isChecked());
    QObject::connect(create, &QRadioButton::toggled, list, &QComboBox::setEnabled);
}

/// The points a run is to write: none unless "Create Shapefile" is chosen.
std::optional<PointFormat> chosenPoints(const QComboBox* list, const QRadioButton* create) {
    if (!create->isChecked()) return std::nullopt;
    return static_cast<PointFormat>(list->currentData().toInt());
}

/// The records a run has converted, in its counter label.
ShowProgress recordCounter(QLabel* counter) {
    return [counter](std::int64_t done) { counter->setText(QString::number(done)); };
}

void reportRun(Prompter& prompter, const RunOutcome& outcome, const QString& source) {
    // A connection string may hold the password: the agency database is named in words.
    const QString database = isServerSource(source) ? QStringLiteral("the agency database") : source;
    if (!outcome.converted) {
        prompter.message(outcome.error, kAppTitle, Prompter::Icon::Critical);
        return;
    }
    if (!outcome.shapefileError.isEmpty()) {
        prompter.message(completionMessage(outcome.result.records, database) +
                             QStringLiteral("\r\n\r\nThe records are converted, but the shapefile was not written: ") +
                             outcome.shapefileError,
                         QStringLiteral("Conversion Results"), Prompter::Icon::Warning);
        return;
    }
    prompter.message(completionMessage(outcome.result.records, database, outcome.shapefile),
                     QStringLiteral("Conversion Results"), Prompter::Icon::Information);
}

/// What both batch windows set up the same way: the form, its heading, its
/// procedures, "no shapefile" and the list of point formats.
template <class Form>
void setUpBatchWindow(QWidget* window, Form& ui, Services& services, const QString& procedures) {
    ui.setupUi(window);
    makeHeading(ui.lblenterTRS);
    setUpMap({ui.mapPanel, ui.lblMapCursor, ui.cmdSaveMap, ui.cmdAddLayer, ui.cmdAgencyLayer, ui.cmdClearLayers}, services);
    ui.lblProcedures->setText(procedures);
    ui.optNoCreate->setChecked(true);
    fillPointFormats(ui.cmbFormat, ui.optCreate);
}

/// The import panel's controls of a batch window; \p fieldLists receive the column names.
template <class Form>
ImportControls importControls(QWidget* window, Form& ui, std::vector<QListWidget*> fieldLists) {
    return {window,        ui.cmdConDBF,        ui.cmdConTxt,  ui.cmdConXls, ui.cmdConXls2,
            ui.listxlsSheet, ui.cmdConvert,     ui.cmdAgencyTables, ui.lstTables, ui.cmdFields,
            std::move(fieldLists), ui.cmdConUSNG, ui.lblProRe};
}

/// A run of the panel's table off the interface thread, its records counted
/// in \p counter; the outcome is told and the window starts again.
template <class Window>
void startRun(Window* window, TableImportPanel* panel, Prompter& prompter, QLabel* counter, MapPanel* map,
              std::function<RunResult(const QString& database, JobProgress& done)> convert,
              std::optional<PointFormat> points) {
    const QString database = panel->databasePath();
    const QString table = panel->currentTable();
    BackgroundJob::start<RunOutcome>(
        window, recordCounter(counter),
        [=](JobProgress& done) { return convertAndDraw([&] { return convert(database, done); }, points, database, table); },
        [window, panel, &prompter, database, map](const RunOutcome& outcome) {
            if (outcome.points) map->setPoints(outcome.points);
            reportRun(prompter, outcome, database);
            if (outcome.converted) panel->resetAfterRun();
            emit window->runFinished();
        });
}

}  // namespace

QString usngToLatLongProcedures() {
    return QStringLiteral("This program converts USNG Coordinates to geographic coordinates with a WGS84 datum. The "
                          "Source for USNG coordinates can be either a SQLite database (sqlite) or an Access database "
                          "(mdb), a dBase file (.dbf),an Excel worksheet (.xls), or a comma delimited text file (.txt "
                          "or .csv).") +
           kCrLf + importSteps() + QStringLiteral("1. Click 'Get Table Name' to Populate the Tables listbox.") + kCrLf +
           kCrLf +
           QStringLiteral("2.Select the table containing the records you wish to convert in the 'Tables' list box. "
                          "This will enable the 'Get Fields' command") +
           kCrLf + kCrLf +
           QStringLiteral("3.Click 'Get Fields' to list the database fields. Check the field containing the US "
                          "National Grid coordinates. The will enable the 'Convert USNG' command") +
           kCrLf + kCrLf +
           QStringLiteral("4. Select the appropriate radio button for the creation of a point shapefile from the "
                          "USNG coordinates.  The default is 'Do NOT Create shapefile'") +
           kCrLf + kCrLf +
           QStringLiteral("5.Click 'Convert USNG to LL' to convert the USNG coordinates. They will be converted to "
                          "latitude and longitude. The values will be found in the fields 'Latitude' and 'Longitude' "
                          "appended to the existing database (if these fields already exist, 'uxLatitude' and "
                          "'uxLongitude' will be appended).") +
           kCrLf + kCrLf + QStringLiteral("6. Click 'Exit' to quit") + kCrLf + kCrLf;
}

QString latLongToUsngProcedures() {
    return QStringLiteral("This program converts geographic coordinates to USNG Coordinates. The Source for "
                          "geographic coordinates can be either a SQLite database (sqlite) or an Access database "
                          "(mdb), a dBase file (.dbf),an Excel worksheet (.xls), or a comma delimited text file (.txt "
                          "or .csv).") +
           kCrLf + importSteps() +
           QStringLiteral("If you are creating a shapefile from the database, the options under 'Hemispheres' are "
                          "enabled. Click 'Enable Hemisphere Selection' to force all coordinates to North or South "
                          "latitude or East and West Longitude.  Leave disabled to accept the values as entered in "
                          "the database. This option is vital if the negative sign is left off of the longitude "
                          "value for west longitude.") +
           kCrLf +
           QStringLiteral("The default values for the 'Hemispheres' radio buttons are 'Northern' and 'Western'.  This "
                          "will ensure that all latitudes are positive and all longitudes are negative, whatever the "
                          "sign of the original value.") +
           kCrLf + kCrLf + QStringLiteral("1. Click 'Get Table Name' to Populate the Tables listbox.") + kCrLf + kCrLf +
           QStringLiteral("2.Select the table containing the records you wish to convert in the 'Tables' list box. "
                          "This will enable the 'Get Fields' command") +
           kCrLf + kCrLf +
           QStringLiteral("3.Click 'Get Fields' to list the database fields. Check the field containing latitude in "
                          "the 'Latitude Field' list box and Check the field containing longitude in the 'Longitude "
                          "Field' list box. The will enable the 'Convert LL to USNG' command") +
           kCrLf + kCrLf +
           QStringLiteral("4. Select the appropriate radio button for the creation of a point shapefile from the "
                          "geographic coordinates.  The default is 'Do NOT Create shapefile'") +
           kCrLf + kCrLf +
           QStringLiteral("5.Click 'Convert LL to USNG' to convert the geographic coordinates. The USNG coordinate "
                          "will be found in the field 'USNGCoord' appended to the existing database (if this field "
                          "already exists, 'uxUSNGCoord' will be appended).") +
           kCrLf + kCrLf + QStringLiteral("6. Click 'Exit' to quit") + kCrLf + kCrLf;
}

frmdatabase::frmdatabase(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmdatabase>()), m_services(services) {
    auto& ui = *m_ui;
    setUpBatchWindow(this, ui, m_services, usngToLatLongProcedures());
    m_panel = new TableImportPanel(
        services, importControls(this, ui, {ui.lstFields}),
        {QStringLiteral("Please Select the Table Conataining USNG Coordinates"),
         QStringLiteral("Please Select Only the Table Conatining USNG Coordinates")},
        this);
    connect(m_panel, &TableImportPanel::fieldsListed, this, [this] { m_panel->enableConversion(); });
    connect(ui.cmdConUSNG, &QPushButton::clicked, this, &frmdatabase::cmdConUSNG_Click);
    connect(ui.cmdU2LLquit, &QPushButton::clicked, this, &QWidget::close);
}

frmdatabase::~frmdatabase() = default;

void frmdatabase::cmdConUSNG_Click() {
    auto& ui = *m_ui;
    const QString field = currentAfterWarnings(m_services.prompter, ui.lstFields,
                                               QStringLiteral("Please Select the Field Containing USNG Coordinates"),
                                               QStringLiteral("Please Select Only the Field Containing USNG Coordinates"));
    if (field.isEmpty() || m_panel->currentTable().isEmpty()) return;
    const QString table = m_panel->currentTable();
    startRun(
        this, m_panel, m_services.prompter, ui.lblProRe, ui.mapPanel,
        [table, field](const QString& database, JobProgress& done) {
            return isServerSource(database) ? convertUsngToLatLongOnServer(serverConnection(database), table, field, &done)
                                            : convertUsngToLatLong(database, table, field, &done);
        },
        chosenPoints(ui.cmbFormat, ui.optCreate));
}

frmbatLLtoUSNG::frmbatLLtoUSNG(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmbatLLtoUSNG>()), m_services(services) {
    auto& ui = *m_ui;
    setUpBatchWindow(this, ui, m_services, latLongToUsngProcedures());
    ui.optNorth->setChecked(true);
    ui.optWest->setChecked(true);
    setButtonColour(ui.cmdEnableHem, kYellow);
    for (QWidget* w : std::initializer_list<QWidget*>{ui.frmNS, ui.frmEW, ui.optNorth, ui.optSouth, ui.optWest,
                                                     ui.optEast})
        w->setEnabled(false);
    setShapefileOption(false);
    m_panel = new TableImportPanel(
        services, importControls(this, ui, {ui.lstLatFld, ui.lstLongFld}),
        {QStringLiteral("Please Select the Table Containing USNG Coordinates"),
         QStringLiteral("Please Select Only the Table Contining USNG Coordinates")},
        this);
    connect(m_panel, &TableImportPanel::fieldsListed, this, [this](const QStringList& columns) {
        if (columns.contains(QStringLiteral("USNGCoord"))) {
            m_services.prompter.message(kPreviousLatLongToUsng);
            m_panel->cmdReset();
        } else {
            m_panel->enableConversion();
        }
    });
    connect(ui.cmdConUSNG, &QPushButton::clicked, this, &frmbatLLtoUSNG::cmdConUSNG_Click);
    connect(ui.optCreate, &QRadioButton::toggled, this, &frmbatLLtoUSNG::setShapefileOption);
    connect(ui.cmdEnableHem, &QPushButton::clicked, this, &frmbatLLtoUSNG::cmdEnableHem_Click);
    connect(ui.cmdU2LLquit, &QPushButton::clicked, this, &QWidget::close);
}

frmbatLLtoUSNG::~frmbatLLtoUSNG() = default;

void frmbatLLtoUSNG::cmdConUSNG_Click() {
    auto& ui = *m_ui;
    Prompter& prompter = m_services.prompter;
    const QString latitude = currentAfterWarnings(prompter, ui.lstLatFld, QStringLiteral("Please Select the Latitude Field"),
                                                  QStringLiteral("Please Select Only the Field Containing Latitude"));
    const QString longitude = currentAfterWarnings(prompter, ui.lstLongFld,
                                                   QStringLiteral("Please Select the Longitude Field"),
                                                   QStringLiteral("Please Select Only the Field Containing Longitude"));
    const QString table = m_panel->currentTable();
    if (latitude.isEmpty() || longitude.isEmpty() || table.isEmpty()) return;
    const Hemispheres hemispheres{ui.optNorth->isChecked(), ui.optWest->isChecked()};
    startRun(
        this, m_panel, prompter, ui.lblProRe, ui.mapPanel,
        [=](const QString& database, JobProgress& done) {
            return isServerSource(database) ? convertLatLongToUsngOnServer(serverConnection(database), table, latitude,
                                                                           longitude, hemispheres, &done)
                                            : convertLatLongToUsng(database, table, latitude, longitude, hemispheres, &done);
        },
        chosenPoints(ui.cmbFormat, ui.optCreate));
}

void frmbatLLtoUSNG::setShapefileOption(bool create) {
    m_ui->frmHemis->setEnabled(create);
    m_ui->cmdEnableHem->setEnabled(create);
}

void frmbatLLtoUSNG::cmdEnableHem_Click() {
    auto& ui = *m_ui;
    const QString caption = ui.cmdEnableHem->text();
    if (caption != kEnableHemispheres && caption != kDisableHemispheres) return;
    const bool enable = caption == kEnableHemispheres;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.optNorth, ui.optSouth, ui.optWest, ui.optEast, ui.frmNS,
                                                     ui.frmEW})
        w->setEnabled(enable);
    ui.cmdEnableHem->setText(enable ? kDisableHemispheres : kEnableHemispheres);
}

}  // namespace waypost::batch
