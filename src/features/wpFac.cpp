#include "features/wpFac.h"

#include "conversion/wp_ddc_0306.h"
#include "features/FieldRules.h"
#include "features/FocusNotifier.h"
#include "features/NameFieldGuard.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_wpFac.h"

#include <QEvent>

namespace waypost {
namespace {

const QString kPrefix = QStringLiteral("pf");

Prompter::FileDialog textFileDialog(const QString& title, const QString& filter) {
    Prompter::FileDialog d;
    d.title = title;
    d.filter = filter;
    d.defaultExtension = QStringLiteral("txt");
    return d;
}

Prompter::FileDialog shapefileDialog(const QString& title, const QString& filter) {
    Prompter::FileDialog d;
    d.title = title;
    d.filter = filter;
    d.defaultExtension = QStringLiteral("shp");
    return d;
}

}  // namespace

const QStringList& wpFac::facilityTypes() {
    static const QStringList types{"Accident",  "Boundary Corner", "Building",    "DOT Fuel Site",
                                   "Forestry Center", "Forestry Site", "Forestry Station",
                                   "Formerly Used Defense Site", "Parcel", "Smoke Sensitive Feature",
                                   "State Forest Headquarters", "Timber Sale", "Tower", "Other"};
    return types;
}

const QStringList& wpFac::icsTypes() {
    static const QStringList types{"Aerial Hazard", "Camp",          "Drop Point",  "Fire Origin",
                                   "First Aid Station", "Helibase",  "Hot Spot",    "Incident Base",
                                   "Incident Command Post", "Mobile WEAX Unit", "Spot Fire", "Tanker Base",
                                   "Water Source", "Residence", "Other"};
    return types;
}

const QStringList& wpFac::forestHealthTypes() {
    static const QStringList types{"Black Turpentine Beetle", "IPS Engraver Beetle", "Southern Pine Beetle",
                                   "Other Insect Infestation", "Fusiform Rust", "Needle Rust",
                                   "Other Tree Disease", "Other"};
    return types;
}

wpFac::wpFac(const Services& services, WindowRegistry& registry, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::wpFac>()), m_services(services),
      m_registry(registry), m_kml(services) {
    m_ui->setupUi(this);
    QFont heading = m_ui->lblHeading->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    heading.setBold(true);
    m_ui->lblHeading->setFont(heading);
    m_ui->cmbfacType->setCurrentIndex(-1);

    for (QPushButton* b : {m_ui->cmdfCoordCon, m_ui->cmdEnableWriteFile, m_ui->cmdClear, m_ui->cmdfacDone})
        setButtonColour(b, kEnabledOutputColour);
    disablefWrite();
    for (QLabel* label : locationLabels()) label->setEnabled(false);

    auto* nameGuard = new NameFieldGuard(m_services.prompter, m_ui->txtfacName, this);
    auto* typeGuard = new NameFieldGuard(m_services.prompter, m_ui->cmbfacType, this);
    connect(nameGuard, &NameFieldGuard::focused, this, &wpFac::disablefWrite);
    connect(typeGuard, &NameFieldGuard::focused, this, &wpFac::disablefWrite);
    m_ui->cmdfCoordCon->installEventFilter(new FocusNotifier(m_ui->cmdfCoordCon, [this] { disablefWrite(); }));

    connect(m_ui->optFac, &QRadioButton::clicked, this, &wpFac::optFac_Click);
    connect(m_ui->optICS, &QRadioButton::clicked, this, &wpFac::optICS_Click);
    connect(m_ui->optDisease, &QRadioButton::clicked, this, &wpFac::optDisease_Click);
    connect(m_ui->cmdfCoordCon, &QPushButton::clicked, this, &wpFac::cmdfCoordCon_Click);
    connect(m_ui->cmdEnableWriteFile, &QPushButton::clicked, this, &wpFac::cmdEnableWriteFile_Click);
    connect(m_ui->cmdAdNewdFac, &QPushButton::clicked, this, &wpFac::cmdAdNewdFac_Click);
    connect(m_ui->cmdAppendFile, &QPushButton::clicked, this, &wpFac::cmdAppendFile_Click);
    connect(m_ui->cmdWritefShape, &QPushButton::clicked, this, &wpFac::cmdWritefShape_Click);
    connect(m_ui->appendfShape, &QPushButton::clicked, this, &wpFac::appendfShape_Click);
    connect(m_ui->cmdfKML, &QPushButton::clicked, this, &wpFac::cmdfKML_Click);
    connect(m_ui->cmdClear, &QPushButton::clicked, this, &wpFac::cmdClear_Click);
    connect(m_ui->cmdfacDone, &QPushButton::clicked, this, &wpFac::cmdfacDone_Click);
}

wpFac::~wpFac() = default;

QList<QLabel*> wpFac::locationLabels() const {
    return {m_ui->lblfDDLat, m_ui->lblfDDLong, m_ui->lblfAlbersX, m_ui->lblfAlbersY,
            m_ui->lblUTMCoord, m_ui->lblUSNG, m_ui->lblSTR2};
}

QList<QPushButton*> wpFac::outputButtons() const {
    return {m_ui->cmdAdNewdFac, m_ui->cmdAppendFile, m_ui->cmdWritefShape, m_ui->appendfShape, m_ui->cmdfKML};
}

FacilityValues wpFac::values() const {
    return {m_ui->txtfacName->text(),  m_ui->cmbfacType->currentText(), m_ui->lblfDDLat->text(),
            m_ui->lblfDDLong->text(),  m_ui->lblfAlbersX->text(),       m_ui->lblfAlbersY->text(),
            m_ui->lblUTMCoord->text(), m_ui->lblUSNG->text(),           m_ui->lblSTR2->text()};
}

void wpFac::fillTypes(const QStringList& types) {
    m_ui->cmbfacType->clear();
    m_ui->cmbfacType->addItems(types);
    m_ui->cmbfacType->setCurrentIndex(-1);
    m_ui->cmbfacType->setEnabled(true);
    m_ui->lblfFacType->setEnabled(true);
}

void wpFac::optFac_Click() { fillTypes(facilityTypes()); }
void wpFac::optICS_Click() { fillTypes(icsTypes()); }
void wpFac::optDisease_Click() { fillTypes(forestHealthTypes()); }

void wpFac::enablefWrite() {
    for (QPushButton* b : outputButtons()) {
        b->setEnabled(true);
        setButtonColour(b, kEnabledOutputColour);
    }
}

void wpFac::disablefWrite() {
    for (QPushButton* b : outputButtons()) {
        b->setEnabled(false);
        setButtonColour(b, kDisabledOutputColour);
    }
}

void wpFac::receiveLocation(const LocationTexts& location) {
    m_ui->lblfDDLat->setText(location.latitude);
    m_ui->lblfDDLong->setText(location.longitude);
    m_ui->lblfAlbersX->setText(location.albersX);
    m_ui->lblfAlbersY->setText(location.albersY);
    m_ui->lblUTMCoord->setText(location.utm);
    m_ui->lblUSNG->setText(location.usng);
    if (location.townshipRangeSection) m_ui->lblSTR2->setText(*location.townshipRangeSection);
}

void wpFac::copyFromPage() {
    // Only while this window is the page's caller: another window's location
    // must not land here.
    // A location cleared here stays cleared until the page is used again.
    if (!m_locating) return;
    auto* page = qobject_cast<wp_ddc_0306*>(m_registry.existing(windowName::wp_ddc_0306));
    if (!page || page->caller() != this) return;
    const LocationTexts r = page->results();
    receiveLocation(r);
    m_ui->lblSTR2->setText(r.townshipRangeSection.value_or(QString()));
}

bool wpFac::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) copyFromPage();
    return QWidget::event(event);
}

void wpFac::cmdfCoordCon_Click() {
    for (QLabel* label : locationLabels()) {
        label->setEnabled(true);
        setLabelBackground(label, kActiveLocationColour);
    }
    auto* page = qobject_cast<wp_ddc_0306*>(m_registry.show(windowName::wp_ddc_0306));
    if (page) page->startLocating(this, windowName::wpFac);
    m_locating = page != nullptr;
}

void wpFac::cmdEnableWriteFile_Click() {
    Prompter& prompter = m_services.prompter;
    if (m_ui->txtfacName->text().isEmpty()) {
        prompter.message(QStringLiteral("Enter Facility Name"));
        m_ui->txtfacName->setFocus();
        disablefWrite();
        return;
    }
    if (m_ui->cmbfacType->currentText().isEmpty()) {
        prompter.message(QStringLiteral("Select Facility Type"));
        m_ui->cmbfacType->setFocus();
        disablefWrite();
        return;
    }
    if (m_ui->lblfDDLong->text().isEmpty()) {
        prompter.message(QStringLiteral("Please Convert Coordinates"));
        m_ui->cmdfCoordCon->setFocus();
        disablefWrite();
        return;
    }
    enablefWrite();
}

void wpFac::failed(const QString& message) {
    m_services.prompter.message(message, kAppTitle, Prompter::Icon::Critical);
}

void wpFac::clearLocation() {
    for (QLabel* label : locationLabels()) label->clear();
    m_locating = false;
}

void wpFac::cmdAdNewdFac_Click() {
    const auto path = chooseNewOutput(
        m_services.prompter, textFileDialog(QStringLiteral("New Facility File"), QStringLiteral("Text Files (*.txt)")),
        kPrefix);
    if (!path) return;
    m_outputPath = *path;
    const WriteResult written = createRecordFile(*path, facilityRecordHeader(), facilityRecord(values()));
    if (!written) {
        failed(written.message());
        return;
    }
    m_ui->txtfacName->clear();
    clearLocation();
    m_ui->txtfacName->setFocus();
}

void wpFac::cmdAppendFile_Click() {
    // A name not there yet may be typed: appending creates the file.
    Prompter::FileDialog dialog =
        textFileDialog(QStringLiteral("Append to Facility File"), QStringLiteral("Text Files (pf*.txt)"));
    dialog.allowNewName = true;
    const auto chosen = m_services.prompter.openFile(dialog);
    if (!chosen) return;
    const QString path = withDefaultExtension(*chosen, QStringLiteral("txt"));
    const WriteResult written = appendRecord(path, facilityRecord(values()));
    if (!written) failed(written.message());
}

void wpFac::cmdWritefShape_Click() {
    m_ui->appendfShape->setEnabled(false);
    setButtonColour(m_ui->appendfShape, kDisabledOutputColour);
    const auto path = chooseNewOutput(
        m_services.prompter,
        shapefileDialog(QStringLiteral("New Facility Shapefile"), QStringLiteral("Shape Files (*.shp)")), kPrefix);
    if (!path) return;
    m_outputPath = *path;
    try {
        ShapefileWriter writer;
        writer.OpenShapefile(*path, 1, ShapefileWriter::Point);
        addFacilityFields(writer);
        writeFacilityShape(writer, values());
        writer.CloseShapefile();
    } catch (const std::exception& e) {
        failed(QString::fromStdString(e.what()));
        return;
    }
    const WriteResult prj = copyProjectionFile(m_services.paths, kAlbersPrjFile, *path);
    if (!prj) failed(prj.message());
}

void wpFac::appendfShape_Click() {
    m_ui->cmdWritefShape->setEnabled(false);
    setButtonColour(m_ui->cmdWritefShape, kDisabledOutputColour);
    const auto chosen = m_services.prompter.openFile(
        shapefileDialog(QStringLiteral("Append to Facility Shapefile"), QStringLiteral("Shape Files (pf*.shp)")));
    if (!chosen) return;
    try {
        ShapefileWriter writer;
        writer.OpenShapefile(withDefaultExtension(*chosen, QStringLiteral("shp")), 2);
        writeFacilityShape(writer, values());
        writer.CloseShapefile();
    } catch (const std::exception& e) {
        failed(QString::fromStdString(e.what()));
    }
}

void wpFac::cmdfKML_Click() {
    const FacilityValues v = values();
    m_kml.write(facilityPlacemark({v.name, v.type, v.latitude, v.longitude, v.utm, v.usng, v.str}));
}

void wpFac::cmdClear_Click() {
    m_ui->txtfacName->clear();
    m_ui->cmbfacType->setEditText(QString());
    m_ui->cmbfacType->setCurrentIndex(-1);
    clearLocation();
    disablefWrite();
}

void wpFac::cmdfacDone_Click() {
    for (QLabel* label : locationLabels()) {
        label->setEnabled(false);
        setLabelBackground(label, kInactiveLocationColour);
    }
    m_ui->txtfacName->clear();
    m_ui->cmbfacType->setEditText(QString());
    m_ui->cmbfacType->setCurrentIndex(-1);
    clearLocation();
    disablefWrite();
    close();
}

}  // namespace waypost
