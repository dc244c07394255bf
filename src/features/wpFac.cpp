#include "features/wpFac.h"

#include "features/FacilityFields.h"
#include "output/FacilityTypes.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_wpFac.h"
#include "widgets/FocusNotifier.h"
#include "widgets/LocationLink.h"
#include "widgets/Look.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/OutputButtons.h"

namespace waypost {
wpFac::wpFac(const Services& services, WindowRegistry& registry, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::wpFac>()), m_services(services), m_kml(services),
      m_outputs(services, {QStringLiteral("pf"), QStringLiteral("Facility"), kAlbersPrjFile}, facilityFields()) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    makeHeading(ui.lblHeading);
    ui.cmbfacType->setCurrentIndex(-1);
    colourAsUsable({ui.cmdfCoordCon, ui.cmdEnableWriteFile, ui.cmdClear, ui.cmdfacDone});
    m_outputButtons = new OutputButtons({ui.cmdAdNewdFac, ui.cmdAppendFile, ui.cmdWritefShape, ui.appendfShape, ui.cmdfKML},
                                        ui.cmdWritefShape, ui.appendfShape, this);
    m_location = new LocationLink(registry, this, windowName::wpFac,
                                  {ui.lblfDDLat, ui.lblfDDLong, ui.lblfAlbersX, ui.lblfAlbersY, ui.lblUTMCoord,
                                   ui.lblUSNG, ui.lblSTR2});
    m_location->labels().setEnabled(false);

    // Any change to the feature needs the outputs enabled again.
    const auto disable = [this] { m_outputButtons->disable(); };
    for (QWidget* field : std::initializer_list<QWidget*>{ui.txtfacName, ui.cmbfacType})
        connect(new NameFieldGuard(m_services.prompter, field, this), &NameFieldGuard::focused, this, disable);
    ui.cmdfCoordCon->installEventFilter(new FocusNotifier(ui.cmdfCoordCon, disable));

    connect(ui.optFac, &QRadioButton::clicked, this, &wpFac::optFac_Click);
    connect(ui.optICS, &QRadioButton::clicked, this, &wpFac::optICS_Click);
    connect(ui.optDisease, &QRadioButton::clicked, this, &wpFac::optDisease_Click);
    connect(ui.cmdfCoordCon, &QPushButton::clicked, this, &wpFac::cmdfCoordCon_Click);
    connect(ui.cmdEnableWriteFile, &QPushButton::clicked, this, &wpFac::cmdEnableWriteFile_Click);
    connect(ui.cmdAdNewdFac, &QPushButton::clicked, this, &wpFac::cmdAdNewdFac_Click);
    connect(ui.cmdAppendFile, &QPushButton::clicked, this, &wpFac::cmdAppendFile_Click);
    connect(ui.cmdWritefShape, &QPushButton::clicked, this, &wpFac::cmdWritefShape_Click);
    connect(ui.appendfShape, &QPushButton::clicked, this, &wpFac::appendfShape_Click);
    connect(ui.cmdfKML, &QPushButton::clicked, this, &wpFac::cmdfKML_Click);
    connect(ui.cmdClear, &QPushButton::clicked, this, &wpFac::cmdClear_Click);
    connect(ui.cmdfacDone, &QPushButton::clicked, this, &wpFac::cmdfacDone_Click);
}

wpFac::~wpFac() = default;

FacilityFeature wpFac::values() const {
    const LocationTexts at = m_location->texts();
    return {m_ui->txtfacName->text(), m_ui->cmbfacType->currentText(), at.latitude, at.longitude, at.albersX,
            at.albersY, at.utm, at.usng, at.townshipRangeSection.value_or(QString())};
}

void wpFac::fillTypes(const QStringList& types) {
    m_ui->cmbfacType->clear();
    m_ui->cmbfacType->addItems(types);
    m_ui->cmbfacType->setCurrentIndex(-1);
    m_ui->cmbfacType->setEnabled(true);
    m_ui->lblfFacType->setEnabled(true);
}

void wpFac::optFac_Click() { fillTypes(facilityTypes(FacilityFamily::Facilities)); }
void wpFac::optICS_Click() { fillTypes(facilityTypes(FacilityFamily::ICS)); }
void wpFac::optDisease_Click() { fillTypes(facilityTypes(FacilityFamily::ForestHealth)); }

void wpFac::cmdfCoordCon_Click() { m_location->open(); }

void wpFac::cmdEnableWriteFile_Click() {
    if (passEnableChecks(m_services.prompter, this, facilityRequirements(values()))) m_outputButtons->enable();
    else m_outputButtons->disable();
}

void wpFac::cmdAdNewdFac_Click() {
    if (!m_outputs.newRecordFile(facilityRow(values()))) return;
    m_ui->txtfacName->clear();
    m_location->clear();
    m_ui->txtfacName->setFocus();
}

void wpFac::cmdAppendFile_Click() { m_outputs.appendRecordFile(facilityRow(values())); }

void wpFac::cmdWritefShape_Click() {
    const FacilityFeature v = values();
    m_outputs.newShapefile(facilityRow(v), labelValue(v.albersX), labelValue(v.albersY));
}

void wpFac::appendfShape_Click() {
    const FacilityFeature v = values();
    m_outputs.appendShapefile(facilityRow(v), labelValue(v.albersX), labelValue(v.albersY));
}

void wpFac::cmdfKML_Click() {
    const FacilityFeature v = values();
    const KmlPlacemark placemark = facilityPlacemark(v);
    m_kml.write(placemark, pointFeature(QStringLiteral("Facility"), placemark, facilityFields(), facilityRow(v)));
}

void wpFac::clearFeature() {
    m_ui->txtfacName->clear();
    m_ui->cmbfacType->setEditText(QString());
    m_ui->cmbfacType->setCurrentIndex(-1);
    m_location->clear();
    m_outputButtons->disable();
}

void wpFac::cmdClear_Click() { clearFeature(); }

void wpFac::cmdfacDone_Click() {
    m_location->labels().setInUse(false);
    clearFeature();
    close();
}

}  // namespace waypost
