#include "features/frmDBMan.h"

#include "features/WildfireFields.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_frmDBMan.h"
#include "widgets/FocusNotifier.h"
#include "widgets/LocationLink.h"
#include "widgets/Look.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/NumberFields.h"
#include "widgets/OutputButtons.h"

namespace waypost {
frmDBMan::frmDBMan(const Services& services, WindowRegistry& registry, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::frmDBMan>()), m_services(services), m_kml(services),
      m_outputs(services, {QStringLiteral("pw"), QStringLiteral("Wildfire"), kAlbersPrjFile}, wildfireFields()) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    makeHeading(ui.lblHeading);
    ui.cmbfFuel->addItems(wildfireFuels());
    ui.cmbfCause->addItems(wildfireCauses());
    for (QComboBox* list : {ui.cmbfFuel, ui.cmbfCause}) list->setCurrentIndex(-1);
    setDatesToToday();
    ui.txtPerCon->setText(PercentSlider::percentText(0));
    colourAsUsable({ui.cmdCoordCon, ui.CmdEnable, ui.cmdClear, ui.cmdQuit});
    m_outputButtons = new OutputButtons({ui.cmdAdNewdFire, ui.cmdAppendFile, ui.cmdWriteShape, ui.cmdAppendSHape,
                                         ui.cmdwKML},
                                        ui.cmdWriteShape, ui.cmdAppendSHape, this);
    m_location = new LocationLink(registry, this, windowName::frmDBMan,
                                  {ui.lblpDDLat, ui.lblpDDLong, ui.lblpAlbersX, ui.lblpAlbersY, ui.lblUTMCoord,
                                   ui.lblUSNG, ui.lblSTR2});
    m_location->labels().setEnabled(false);

    // Entering an input needs the outputs enabled again.
    const auto disable = [this] { m_outputButtons->disable(); };
    for (QWidget* field : std::initializer_list<QWidget*>{ui.txtF_Name, ui.txtInc_num, ui.cmbfFuel, ui.cmbfCause})
        connect(new NameFieldGuard(m_services.prompter, field, this), &NameFieldGuard::focused, this, disable);
    connect(new NumberField(m_services.prompter, ui.txtArea, this), &NumberField::focused, this, disable);
    connect(new PercentSlider(m_services.prompter, ui.sldperCon, ui.txtPerCon, this), &PercentSlider::focused, this,
            disable);
    connect(new DateField(m_services.prompter, m_services.clock, ui.meFireEnter, kWildfireDateFormat,
                          {QStringLiteral("Entry Date more than one year old! Accept?"),
                           QStringLiteral("Confirm Entry Start Date"), QStringLiteral("Entry Date in the future! Accept?"),
                           QStringLiteral("Confirm Fire Start Date")},
                          this),
            &DateField::focused, this, disable);
    connect(new DateField(m_services.prompter, m_services.clock, ui.meFireSTart, kWildfireDateFormat,
                          {QStringLiteral("Fire Start Date more than one year old! Accept?"),
                           QStringLiteral("Confirm Fire Start Date"),
                           QStringLiteral("Fire Start Date in the future! Accept?"),
                           QStringLiteral("Confirm Fire Start Date")},
                          this),
            &DateField::focused, this, disable);
    for (QWidget* option : std::initializer_list<QWidget*>{ui.optRepI, ui.optRepU, ui.optFin, ui.OptfSigYes,
                                                           ui.OptfSigNo})
        option->installEventFilter(new FocusNotifier(option, disable));

    const auto choose = [this](QString& state, const QString& value) { return [&state, value] { state = value; }; };
    connect(ui.optRepI, &QRadioButton::clicked, this, choose(m_report, QStringLiteral("Initial")));
    connect(ui.optRepU, &QRadioButton::clicked, this, choose(m_report, QStringLiteral("Update")));
    connect(ui.optFin, &QRadioButton::clicked, this, choose(m_report, QStringLiteral("Final")));
    connect(ui.OptfSigYes, &QRadioButton::clicked, this, choose(m_significance, QStringLiteral("Yes")));
    connect(ui.OptfSigNo, &QRadioButton::clicked, this, choose(m_significance, QStringLiteral("No")));
    connect(ui.cmdCoordCon, &QPushButton::clicked, this, &frmDBMan::cmdCoordCon_Click);
    connect(ui.CmdEnable, &QPushButton::clicked, this, &frmDBMan::CmdEnable_Click);
    connect(ui.cmdAdNewdFire, &QPushButton::clicked, this, &frmDBMan::cmdAdNewdFire_Click);
    connect(ui.cmdAppendFile, &QPushButton::clicked, this, &frmDBMan::cmdAppendFile_Click);
    connect(ui.cmdWriteShape, &QPushButton::clicked, this, &frmDBMan::cmdWriteShape_Click);
    connect(ui.cmdAppendSHape, &QPushButton::clicked, this, &frmDBMan::cmdAppendSHape_Click);
    connect(ui.cmdwKML, &QPushButton::clicked, this, &frmDBMan::cmdwKML_Click);
    connect(ui.cmdClear, &QPushButton::clicked, this, &frmDBMan::cmdClear_Click);
    connect(ui.cmdQuit, &QPushButton::clicked, this, &frmDBMan::cmdQuit_Click);
}

frmDBMan::~frmDBMan() = default;

WildfireFeature frmDBMan::values() const {
    const auto& ui = *m_ui;
    const LocationTexts at = m_location->texts();
    WildfireFeature f;
    f.fireName = ui.txtF_Name->text();
    f.incidentNumber = ui.txtInc_num->text();
    f.report = m_report;
    f.entryDate = DateField::text(ui.meFireEnter);
    f.startDate = DateField::text(ui.meFireSTart);
    f.acres = ui.txtArea->text();
    f.fuel = ui.cmbfFuel->currentText();
    f.cause = ui.cmbfCause->currentText();
    f.percentContained = ui.txtPerCon->text();
    f.significant = m_significance;
    f.usng = at.usng;
    f.utm = at.utm;
    f.str = at.townshipRangeSection.value_or(QString());
    f.latitude = at.latitude;
    f.longitude = at.longitude;
    f.albersX = at.albersX;
    f.albersY = at.albersY;
    return f;
}

void frmDBMan::setDatesToToday() {
    const QString today = m_services.clock.today().toString(kWildfireDateFormat);
    m_ui->meFireEnter->setText(today);
    m_ui->meFireSTart->setText(today);
}

void frmDBMan::cmdCoordCon_Click() {
    m_outputButtons->disable();
    m_location->open();
}

void frmDBMan::CmdEnable_Click() {
    if (passEnableChecks(m_services.prompter, this, wildfireRequirements(values()))) m_outputButtons->enable();
    else m_outputButtons->disable();
}

void frmDBMan::cmdAdNewdFire_Click() { m_outputs.newRecordFile(wildfireRow(values())); }

void frmDBMan::cmdAppendFile_Click() { m_outputs.appendRecordFile(wildfireRow(values())); }

void frmDBMan::writeShape(bool append) {
    const WildfireFeature v = values();
    if (const std::optional<QString> problem = shapefileProblem(v)) {
        m_services.prompter.message(*problem, kAppTitle, Prompter::Icon::Warning);
        return;
    }
    if (append)
        m_outputs.appendShapefile(wildfireRow(v), labelValue(v.albersX), labelValue(v.albersY));
    else
        m_outputs.newShapefile(wildfireRow(v), labelValue(v.albersX), labelValue(v.albersY));
}

void frmDBMan::cmdWriteShape_Click() { writeShape(false); }
void frmDBMan::cmdAppendSHape_Click() { writeShape(true); }

void frmDBMan::cmdwKML_Click() {
    const WildfireFeature v = values();
    const KmlPlacemark placemark = wildfirePlacemark(v);
    m_kml.write(placemark, pointFeature(QStringLiteral("Wildfire"), placemark, wildfireFields(), wildfireRow(v)));
}

void frmDBMan::cmdClear_Click() {
    auto& ui = *m_ui;
    ui.txtF_Name->clear();
    ui.txtInc_num->clear();
    m_location->clear();
    for (QComboBox* list : {ui.cmbfFuel, ui.cmbfCause}) {
        list->setCurrentIndex(-1);
        list->setEditText(QString());
    }
    setDatesToToday();
    ui.txtArea->setText(QStringLiteral("0.00"));
    ui.sldperCon->setValue(0);
    ui.txtPerCon->setText(PercentSlider::percentText(0));
    m_outputButtons->disable();
}

void frmDBMan::cmdQuit_Click() {
    auto& ui = *m_ui;
    m_location->labels().setInUse(false);
    ui.txtF_Name->clear();
    ui.txtInc_num->clear();
    ui.txtArea->clear();
    ui.txtPerCon->clear();
    m_location->clear();
    m_outputButtons->disable();
    close();
}

}  // namespace waypost
