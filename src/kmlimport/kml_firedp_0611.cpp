#include "kmlimport/kml_firedp_0611.h"

#include "map/MapPanel.h"
#include "numbers/Numbers.h"
#include "output/ProjectionFiles.h"
#include "output/WildfireLists.h"
#include "output/TextCleaning.h"
#include "platform/FileWriting.h"
#include "ui_kml_firedp_0611.h"
#include "widgets/BackgroundJob.h"
#include "widgets/MapTools.h"
#include "widgets/EnableChecks.h"
#include "widgets/FocusNotifier.h"
#include "widgets/Look.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/NumberFields.h"
#include "widgets/OutputButtons.h"

#include <QApplication>
#include <QFile>

namespace waypost {
namespace {

using kmlimport::FeatureKind;

const QString kDateFormat = QStringLiteral("MM-dd-yy");
const QString kNA = QStringLiteral("N/A");

/// How a feature kind dresses the window.
struct KindLook {
    const char* nameLabel;
    const char* numberLabel;
    const char* dateLabel;
    const char* typeLabel;
    const char* fuelLabel;
    const char* causeLabel;
};

const KindLook& lookOf(FeatureKind kind) {
    static const KindLook wildfire{"Fire Name:", "Incident Number:", "Fire Start Date, mm/dd/yy:", "Feature Type:",
                                   "Fuel Type:", "Fire Cause:"};
    static const KindLook mitigation{"Mitigation Project:", "Project Number:", "Completion Date, mm/dd/yy:",
                                     "Treatment Type:", "Ownership:", "Reporting Unit:"};
    static const KindLook facility{"Facility Name:", "Facility Number:", "Facility Date, mm/dd/yy:", "Feature Type:",
                                   "Fuel Type:", "Fire Cause:"};
    static const KindLook incident{"Incident Name:", "Incident Number:", "Incident Date, mm/dd/yy:", "Feature Type:",
                                   "Fuel Type:", "Fire Cause:"};
    switch (kind) {
    case FeatureKind::Mitigation: return mitigation;
    case FeatureKind::Facility: return facility;
    case FeatureKind::OtherIncident: return incident;
    default: return wildfire;
    }
}

QStringList typesOf(FeatureKind kind) {
    switch (kind) {
    case FeatureKind::Mitigation: return {"RxBurn", "Mowing", "Plowing", "Herbicide", "Other"};
    case FeatureKind::Facility:
        return {"Building", "Parcel", "Forestry Center", "Tower Site", "Timber Sale", "QRN Site", "DOT Fuel Site",
                "Accident", "Tower", "Camp", "Helibase", "Tanker Base", "Incident Base", "Unknown"};
    case FeatureKind::OtherIncident:
        return {"Accident", "Southern Pine Beetle", "Other Insect", "Rust", "Other Plant Disease", "Flooding",
                "Tornado", "Wind Damage", "Hail", "Weather Event", "Other"};
    default:
        return {"Fire Perimeter", "Barrier", "Divison", "Completed Dozer Line", "Proposed Dozer Line", "Fire Break",
                "Planned Fire Break", "Fireline", "Fire Spread Prediction", "Uncontrolled Fire Edge",
                "Planned Fireline", "Plow Line", "Water Drop", "Foam Drop", "Other", "Unknown"};
    }
}

/// Checks or unchecks an option of an exclusive group: what the window shows
/// is what it writes, so an option left for another kind is unchecked too.
void showChecked(QRadioButton* option, bool checked) {
    option->setAutoExclusive(false);
    option->setChecked(checked);
    option->setAutoExclusive(true);
}

void fill(QComboBox* list, const QStringList& items) {
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
}

}  // namespace

namespace {

/// The drawing as the map shows it: areas with their holes, and lines.
std::vector<MapShape> mapShapes(const kmlimport::DrawnShapes& shapes) {
    const auto ring = [](const kmlimport::Path& path) {
        MapRing r;
        for (const kmlimport::LonLat& p : path) r.emplace_back(p.longitude, p.latitude);
        return r;
    };
    std::vector<MapShape> drawn;
    for (const kmlimport::DrawnPolygon& polygon : shapes.polygons) {
        MapShape area{true, {ring(polygon.outer)}};
        for (const kmlimport::Path& hole : polygon.holes) area.rings.push_back(ring(hole));
        drawn.push_back(std::move(area));
    }
    for (const kmlimport::Path& line : shapes.lines) drawn.push_back({false, {ring(line)}});
    return drawn;
}

}  // namespace

kml_firedp_0611::kml_firedp_0611(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::kml_firedp_0611>()), m_services(services) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    makeHeading(ui.lblHeading);
    setUpMap({ui.mapPanel, ui.lblMapCursor, ui.cmdSaveMap, ui.cmdAddLayer, ui.cmdAgencyLayer, ui.cmdClearLayers}, m_services);
    fill(ui.cmbfFuel, wildfireFuels());
    fill(ui.cmbfCause, wildfireCauses());
    fill(ui.cmbFtype, typesOf(FeatureKind::Wildfire));
    ui.lblProcedures->setText(
        QStringLiteral("1. Create the attributes for the fire first. Every attribute must be filled in. Use 'Unknown' "
                       "or '0' when necessary. \r\n2. Click 'Enable KML Conversion'\r\n3. Click 'Convert KML to "
                       "Shapefile' and browse to the .kml file you want to convert to a polygon shapefile"));
    ui.optAlb->setChecked(true);
    ui.optNoClean->setChecked(true);
    ui.txtPerCon->setText(PercentSlider::percentText(0));
    setConversionEnabled(false);
    colourAsUsable({ui.CmdEnable, ui.cmdClear, ui.cmdQuit});

    const auto disable = [this] { setConversionEnabled(false); };
    for (QWidget* field : std::initializer_list<QWidget*>{ui.txtF_Name, ui.txtInc_num, ui.cmbfFuel, ui.cmbfCause, ui.cmbFtype})
        connect(new NameFieldGuard(m_services.prompter, field, this), &NameFieldGuard::focused, this, disable);
    for (QLineEdit* number : {ui.txtArea, ui.txtPerim})
        // A reported figure that is no number is emptied, so that its enable check speaks.
        connect(new NumberField(m_services.prompter, number, this, QString()), &NumberField::focused, this, disable);
    connect(new PercentSlider(m_services.prompter, ui.sldperCon, ui.txtPerCon, this), &PercentSlider::focused, this, disable);
    // The dates start empty here and may be passed by; the enable check asks
    // for the entry date.
    DateQuestions entry = wildfireEntryDateQuestions();
    entry.mayStayEmpty = true;
    DateQuestions start = wildfireStartDateQuestions();
    start.mayStayEmpty = true;
    connect(new DateField(m_services.prompter, m_services.clock, ui.meFireEnter, kDateFormat, entry, this),
            &DateField::focused, this, disable);
    connect(new DateField(m_services.prompter, m_services.clock, ui.meFireSTart, kDateFormat, start, this),
            &DateField::focused, this, disable);
    for (QWidget* option : std::initializer_list<QWidget*>{ui.optFire, ui.optMit, ui.optFacs, ui.optNFire, ui.optNA,
                                                           ui.optRepI, ui.optRepU, ui.optFin, ui.OptfSigNA,
                                                           ui.OptfSigYes, ui.OptfSigNo})
        option->installEventFilter(new FocusNotifier(option, disable));

    connect(ui.optFire, &QRadioButton::clicked, this, [this] { chooseKind(FeatureKind::Wildfire); });
    connect(ui.optMit, &QRadioButton::clicked, this, [this] { chooseKind(FeatureKind::Mitigation); });
    connect(ui.optFacs, &QRadioButton::clicked, this, [this] { chooseKind(FeatureKind::Facility); });
    connect(ui.optNFire, &QRadioButton::clicked, this, [this] { chooseKind(FeatureKind::OtherIncident); });
    const auto set = [](QString& state, const QString& value) { return [&state, value] { state = value; }; };
    connect(ui.optNA, &QRadioButton::clicked, this, set(m_report, kNA));
    connect(ui.optRepI, &QRadioButton::clicked, this, set(m_report, QStringLiteral("Initial")));
    connect(ui.optRepU, &QRadioButton::clicked, this, set(m_report, QStringLiteral("Update")));
    connect(ui.optFin, &QRadioButton::clicked, this, set(m_report, QStringLiteral("Final")));
    connect(ui.OptfSigNA, &QRadioButton::clicked, this, set(m_significant, kNA));
    connect(ui.OptfSigYes, &QRadioButton::clicked, this, set(m_significant, QStringLiteral("Yes")));
    connect(ui.OptfSigNo, &QRadioButton::clicked, this, set(m_significant, QStringLiteral("No")));
    connect(ui.CmdEnable, &QPushButton::clicked, this, &kml_firedp_0611::CmdEnable_Click);
    connect(ui.cmdFireTab, &QPushButton::clicked, this, &kml_firedp_0611::cmdFireTab_Click);
    connect(ui.cmdClear, &QPushButton::clicked, this, &kml_firedp_0611::cmdClear_Click);
    connect(ui.cmdQuit, &QPushButton::clicked, this, [this] {
        setConversionEnabled(false);
        close();
    });
}

kml_firedp_0611::~kml_firedp_0611() = default;

kmlimport::Attributes kml_firedp_0611::attributes() const {
    const auto& ui = *m_ui;
    return {ui.txtF_Name->text(),         ui.txtInc_num->text(),        m_report,
            DateField::text(ui.meFireEnter), DateField::text(ui.meFireSTart), ui.txtArea->text(),
            ui.txtPerim->text(),          ui.cmbfFuel->currentText(),   ui.cmbfCause->currentText(),
            ui.cmbFtype->currentText(),   ui.txtPerCon->text(),         m_significant};
}

void kml_firedp_0611::setConversionEnabled(bool enabled) {
    m_ui->cmdFireTab->setEnabled(enabled);
    if (enabled) setButtonColour(m_ui->cmdFireTab, kNextStepColour);
    else resetButtonColour(m_ui->cmdFireTab);
}

void kml_firedp_0611::chooseKind(FeatureKind kind) {
    auto& ui = *m_ui;
    m_kind = kind;
    const KindLook& look = lookOf(kind);
    ui.lblF_namey->setText(QLatin1String(look.nameLabel));
    ui.lblInc_num->setText(QLatin1String(look.numberLabel));
    ui.lblTime->setText(QLatin1String(look.dateLabel));
    ui.lblFtype->setText(QLatin1String(look.typeLabel));
    ui.lblfFuel->setText(QLatin1String(look.fuelLabel));
    ui.lblCause->setText(QLatin1String(look.causeLabel));
    m_typeWord = kind == FeatureKind::Mitigation ? QStringLiteral("Treatment Type") : QStringLiteral("Feature Type");
    ui.txtInc_num->clear();
    fill(ui.cmbFtype, typesOf(kind));
    switch (kind) {
    case FeatureKind::Wildfire:
        fill(ui.cmbfFuel, wildfireFuels());
        fill(ui.cmbfCause, wildfireCauses());
        break;
    case FeatureKind::Mitigation: {
        fill(ui.cmbfFuel, {"Private", "State", "City", "County", "Other"});
        QFile units(m_services.paths.dataFile(QStringLiteral("reporting_units.txt")));
        QStringList names;
        if (units.open(QIODevice::ReadOnly)) names = listItems(QString::fromUtf8(units.readAll()));
        else m_services.prompter.message(QStringLiteral("The reporting units %1 cannot be read: %2. Type the unit.")
                                             .arg(units.fileName(), units.errorString()),
                                         kAppTitle, Prompter::Icon::Warning);
        fill(ui.cmbfCause, names);
        break;
    }
    default:
        fill(ui.cmbfFuel, {});
        ui.cmbfFuel->setEditText(kNA);
        fill(ui.cmbfCause, {});
        ui.cmbfCause->setEditText(kNA);
    }
    const bool percent = kind == FeatureKind::Wildfire;
    ui.sldperCon->setEnabled(percent);
    ui.txtPerCon->setEnabled(percent);
    if (!percent) {
        ui.sldperCon->setValue(0);
        ui.txtPerCon->setText(PercentSlider::percentText(0));
    }
    const bool reports = kind == FeatureKind::Wildfire || kind == FeatureKind::OtherIncident;
    for (QRadioButton* option : {ui.optRepI, ui.optRepU, ui.optFin}) option->setEnabled(reports);
    ui.optNA->setEnabled(!reports);
    showChecked(ui.optNA, !reports);
    if (!reports) m_report = kNA;
    else if (m_report == kNA) m_report.clear();
    const bool significance = kind == FeatureKind::Wildfire;
    ui.OptfSigYes->setEnabled(significance);
    ui.OptfSigNo->setEnabled(significance);
    ui.OptfSigNA->setEnabled(!significance);
    showChecked(ui.OptfSigNA, !significance);
    if (!significance) m_significant = kNA;
    else if (m_significant == kNA) m_significant.clear();
}

void kml_firedp_0611::CmdEnable_Click() {
    const kmlimport::Attributes a = attributes();
    const std::vector<Requirement> checks{
        {!a.name.isEmpty(), QStringLiteral("Enter Fire Name"), QStringLiteral("txtF_Name")},
        {!a.number.isEmpty(), QStringLiteral("Enter Incident Number"), QStringLiteral("txtInc_num")},
        {!a.entryDate.isEmpty(), QStringLiteral("Please Enter Data Entry Date"), QStringLiteral("meFireEnter")},
        {!a.fuel.isEmpty(), QStringLiteral("Please Select Fuel Type"), QStringLiteral("cmbfFuel")},
        {!a.cause.isEmpty(), QStringLiteral("Please Select Fire Cause Type"), QStringLiteral("cmbfCause")},
        {!a.acres.isEmpty(), QStringLiteral("Enter Area in acres"), QStringLiteral("txtArea")},
        {!a.perimeter.isEmpty(), QStringLiteral("Enter Length / Perimeter in Miles"), QStringLiteral("txtPerim")},
        {!a.contained.isEmpty(), QStringLiteral("Please Use the Slider Control to Enter Percent Contained"),
         QStringLiteral("txtPerCon")},
        {!a.type.isEmpty(), QStringLiteral("Please Select ") + m_typeWord, QStringLiteral("cmbFtype")}};
    setConversionEnabled(passEnableChecks(m_services.prompter, this, checks));
}

void kml_firedp_0611::cmdFireTab_Click() {
    WaitCursor wait;
    try {
        convert();
    } catch (const kmlimport::DrawingError& e) {
        m_services.prompter.message(QString::fromUtf8(e.what()), kAppTitle, Prompter::Icon::Critical);
    }
}

void kml_firedp_0611::convert() {
    using namespace kmlimport;
    auto& ui = *m_ui;
    Prompter& prompter = m_services.prompter;
    const std::optional<QString> chosen = prompter.openFile({QStringLiteral("Convert KML to Shapefile"),
                                                             QStringLiteral("KML Files (*.kml);;KMZ Files (*.kmz)"),
                                                             QStringLiteral("kml"), {}, {}, false, {}});
    if (!chosen) return;

    // Everything is read and checked before anything is written; a large
    // drawing is read while the window stays painted. The text is checked
    // tuple by tuple (a malformed file is named with its line) and staged as
    // it always was; the shapes are read as a GIS reads them.
    struct Drawing {
        QByteArray kml;
        std::vector<Vertex> vertices;
        DrawnShapes shapes;
    };
    const QString file = *chosen;
    const std::optional<Drawing> drawing = BackgroundJob::run<Drawing>(this, {}, [file](JobProgress&) {
        Drawing d{kmlDocument(file), {}, {}};
        d.vertices = drawingVertices(d.kml, file);
        d.shapes = readShapes(d.kml, file);
        return d;
    });
    if (!drawing) return;  // the window was closed meanwhile
    const QByteArray& kml = drawing->kml;
    const DrawnShapes& shapes = drawing->shapes;
    if (shapes.empty()) throw DrawingError(*chosen, 0, QStringLiteral("it holds no coordinates"));
    ui.mapPanel->setDrawing(mapShapes(shapes));
    // A drawing of more than one shape is said before anything is written.
    if (!shapes.isSingleShape() && !(shapes.polygons.empty() && shapes.lines.empty()))
        prompter.message(QStringLiteral("Read from the drawing: %1.").arg(describeShapes(shapes, false)),
                         QStringLiteral("Drawing Read"), Prompter::Icon::Information);

    WorkingNames names = namesForDrawing(*chosen);
    if (QFile::exists(names.shapefile)) {
        // Yes keeps the old set until the new one is complete: the writer
        // puts the new set in its place only then.
        if (prompter.question(QStringLiteral("Shapefile %1 exists - overwrite?").arg(names.shapefile),
                              QStringLiteral("Overwrite"), Prompter::Icon::Warning) != Prompter::Answer::Yes) {
            const std::optional<QString> other = prompter.saveFile(
                {QStringLiteral("Shapefile"), QStringLiteral("Shape Files (*.shp)"), QStringLiteral("shp"), {}, {}, false, {}});
            if (!other) return;
            names = namesForShapefile(names, *other);
        }
    }
    if (const WriteResult copied = writeFileAtomically(names.kmlCopy, kml); !copied)
        throw DrawingError(names.kmlCopy, 0, copied.message());

    // The figures as the shapefile's two-decimal fields will hold them.
    const auto asWritten = [](double value) { return QString::fromStdString(numbers::formatFixed(value, 2)); };
    if (shapes.vertexCount() > 2) {
        const Measures drawn = drawingMeasures(shapes);
        ui.lblCalAcres->setText(asWritten(drawn.acres));
        ui.lblLength->setText(asWritten(drawn.miles));
    }
    writeStaging(names, drawing->vertices, attributes(), m_kind);

    const PlannedShape plan = planShape(
        shapes,
        [&](const QString& text) {
            return prompter.question(text, QStringLiteral("Shapefile Type"), Prompter::Icon::Question) ==
                   Prompter::Answer::Yes;
        },
        [&](const QString& text) { prompter.message(text, kAppTitle, Prompter::Icon::Information); });
    const bool points = plan.shape == ShapeKind::Point || plan.shape == ShapeKind::MultiPoint;
    const QString reportedAcres = plan.shape == ShapeKind::PolyLine ? QStringLiteral("0.00") : ui.txtArea->text();
    const double acres = numbers::roundFixed(plan.measures.acres, 2);
    const double miles = numbers::roundFixed(plan.measures.miles, 2);
    const bool albers = ui.optAlb->isChecked();
    writeShapefile(names, m_kind, plan, albers ? OutputSystem::Albers : OutputSystem::Wgs84, reportedAcres, acres,
                   miles);
    if (const WriteResult prj = writeProjectionFile(QString::fromLatin1(albers ? kAlbersProjection : kWgs84Projection),
                                                    names.shapefile);
        !prj)
        throw DrawingError(names.shapefile, 0, prj.message());
    // What the labels show is what was written.
    if (points) {
        ui.lblCalAcres->setText(QStringLiteral("0.00"));
        ui.lblLength->setText(QStringLiteral("0.00"));
    } else {
        // A line's Calc_Acres holds its reported acres, which are 0 for a line.
        ui.lblCalAcres->setText(plan.shape == ShapeKind::Polygon ? asWritten(acres) : QStringLiteral("0.00"));
        ui.lblLength->setText(asWritten(miles));
    }
    prompter.message(plan.done, QStringLiteral("Conversion Complete"), Prompter::Icon::Information);
    if (ui.optClean->isChecked()) removeStaging(names);
}

void kml_firedp_0611::cmdClear_Click() {
    auto& ui = *m_ui;
    for (QLineEdit* field : {ui.txtF_Name, ui.txtInc_num, ui.txtArea, ui.txtPerim, ui.txtPerCon}) field->clear();
    for (QComboBox* list : {ui.cmbfFuel, ui.cmbfCause, ui.cmbFtype}) {
        list->setCurrentIndex(-1);
        list->setEditText(QString());
    }
    setConversionEnabled(false);
}

}  // namespace waypost
