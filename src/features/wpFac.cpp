#include "features/wpFac.h"

#include "features/FacilityFields.h"
#include "output/FacilityTypes.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_wpFac.h"

namespace waypost {

wpFac::wpFac(const Services& services, WindowRegistry& registry, QWidget* parent)
    : FeatureWindow(parent, Qt::Window), m_ui(std::make_unique<Ui::wpFac>()) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    ui.cmbfacType->setCurrentIndex(-1);
    FeatureDescription d;
    d.windowName = windowName::wpFac;
    d.outputs = {QStringLiteral("pf"), QStringLiteral("Facility"), kAlbersPrjFile};
    d.agencyTable = "facilities";
    d.fields = facilityFields();
    d.heading = ui.lblHeading;
    d.labels = {ui.lblfDDLat, ui.lblfDDLong, ui.lblfAlbersX, ui.lblfAlbersY, ui.lblUTMCoord, ui.lblUSNG, ui.lblSTR2};
    d.buttons = {ui.cmdfCoordCon, ui.cmdEnableWriteFile, ui.cmdClear,       ui.cmdfacDone, ui.cmdAdNewdFac,
                 ui.cmdAppendFile, ui.cmdWritefShape,    ui.appendfShape,   ui.cmdfKML, ui.cmdAgency};
    d.namedInputs = {ui.txtfacName, ui.cmbfacType};
    d.otherInputs = {ui.cmdfCoordCon};
    d.requirements = [this] { return facilityRequirements(values()); };
    d.row = [this] { return facilityRow(values()); };
    d.placemark = [this] { return facilityPlacemark(values()); };
    d.clearFields = [this] { clearFields(); };
    d.afterNewRecordFile = [this] {
        m_ui->txtfacName->clear();
        m_form->link().clear();
        m_ui->txtfacName->setFocus();
    };
    m_form = new FeatureForm(services, registry, this, std::move(d));

    connect(ui.optFac, &QRadioButton::clicked, this, &wpFac::optFac_Click);
    connect(ui.optICS, &QRadioButton::clicked, this, &wpFac::optICS_Click);
    connect(ui.optDisease, &QRadioButton::clicked, this, &wpFac::optDisease_Click);
}

wpFac::~wpFac() = default;

FacilityFeature wpFac::values() const {
    return {m_ui->txtfacName->text(), m_ui->cmbfacType->currentText(), m_form->location()};
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

void wpFac::clearFields() {
    m_ui->txtfacName->clear();
    m_ui->cmbfacType->setEditText(QString());
    m_ui->cmbfacType->setCurrentIndex(-1);
}

}  // namespace waypost
