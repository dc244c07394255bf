#include "features/frmDBMan.h"

#include "features/WildfireFields.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_frmDBMan.h"
#include "widgets/NumberFields.h"

namespace waypost {
frmDBMan::frmDBMan(const Services& services, WindowRegistry& registry, QWidget* parent)
    : FeatureWindow(parent, Qt::Window), m_ui(std::make_unique<Ui::frmDBMan>()), m_services(services) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    ui.cmbfFuel->addItems(wildfireFuels());
    ui.cmbfCause->addItems(wildfireCauses());
    for (QComboBox* list : {ui.cmbfFuel, ui.cmbfCause}) list->setCurrentIndex(-1);
    setDatesToToday();
    ui.txtPerCon->setText(PercentSlider::percentText(0));

    FeatureDescription d;
    d.windowName = windowName::frmDBMan;
    d.outputs = {QStringLiteral("pw"), QStringLiteral("Wildfire"), kAlbersPrjFile};
    d.agencyTable = "wildfires";
    d.fields = wildfireFields();
    d.heading = ui.lblHeading;
    d.labels = {ui.lblpDDLat, ui.lblpDDLong, ui.lblpAlbersX, ui.lblpAlbersY, ui.lblUTMCoord, ui.lblUSNG, ui.lblSTR2};
    d.buttons = {ui.cmdCoordCon,   ui.CmdEnable,     ui.cmdClear,       ui.cmdQuit, ui.cmdAdNewdFire,
                 ui.cmdAppendFile, ui.cmdWriteShape, ui.cmdAppendSHape, ui.cmdwKML, ui.cmdAgency};
    d.namedInputs = {ui.txtF_Name, ui.txtInc_num, ui.cmbfFuel, ui.cmbfCause};
    d.otherInputs = {ui.optRepI, ui.optRepU, ui.optFin, ui.OptfSigYes, ui.OptfSigNo};
    d.requirements = [this] { return wildfireRequirements(values()); };
    d.row = [this] { return wildfireRow(values()); };
    d.placemark = [this] { return wildfirePlacemark(values()); };
    d.shapefileProblem = [this] { return shapefileProblem(values()); };
    d.clearFields = [this] { cmdClear_Click(); };
    d.leaveFields = [this] { cmdQuit_Click(); };
    m_form = new FeatureForm(services, registry, this, std::move(d));

    // Entering an input needs the outputs enabled again.
    const auto disable = [this] { m_form->disableOutputs(); };
    connect(new NumberField(m_services.prompter, ui.txtArea, this), &NumberField::focused, this, disable);
    connect(new PercentSlider(m_services.prompter, ui.sldperCon, ui.txtPerCon, this), &PercentSlider::focused, this,
            disable);
    connect(new DateField(m_services.prompter, m_services.clock, ui.meFireEnter, kWildfireDateFormat,
                          wildfireEntryDateQuestions(), this),
            &DateField::focused, this, disable);
    connect(new DateField(m_services.prompter, m_services.clock, ui.meFireSTart, kWildfireDateFormat,
                          wildfireStartDateQuestions(), this),
            &DateField::focused, this, disable);

    const auto choose = [this](QString& state, const QString& value) { return [&state, value] { state = value; }; };
    connect(ui.optRepI, &QRadioButton::clicked, this, choose(m_report, QStringLiteral("Initial")));
    connect(ui.optRepU, &QRadioButton::clicked, this, choose(m_report, QStringLiteral("Update")));
    connect(ui.optFin, &QRadioButton::clicked, this, choose(m_report, QStringLiteral("Final")));
    connect(ui.OptfSigYes, &QRadioButton::clicked, this, choose(m_significance, QStringLiteral("Yes")));
    connect(ui.OptfSigNo, &QRadioButton::clicked, this, choose(m_significance, QStringLiteral("No")));
}

frmDBMan::~frmDBMan() = default;

WildfireFeature frmDBMan::values() const {
    const auto& ui = *m_ui;
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
    f.at = m_form->location();
    return f;
}

void frmDBMan::setDatesToToday() {
    const QString today = m_services.clock.today().toString(kWildfireDateFormat);
    m_ui->meFireEnter->setText(today);
    m_ui->meFireSTart->setText(today);
}

void frmDBMan::cmdClear_Click() {
    auto& ui = *m_ui;
    ui.txtF_Name->clear();
    ui.txtInc_num->clear();
    for (QComboBox* list : {ui.cmbfFuel, ui.cmbfCause}) {
        list->setCurrentIndex(-1);
        list->setEditText(QString());
    }
    setDatesToToday();
    ui.txtArea->setText(QStringLiteral("0.00"));
    ui.sldperCon->setValue(0);
    ui.txtPerCon->setText(PercentSlider::percentText(0));
}

void frmDBMan::cmdQuit_Click() {
    auto& ui = *m_ui;
    ui.txtF_Name->clear();
    ui.txtInc_num->clear();
    ui.txtArea->clear();
    ui.txtPerCon->clear();
}

}  // namespace waypost
