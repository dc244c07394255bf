#include "features/wpHcane.h"

#include "features/HurricaneFields.h"
#include "numbers/Numbers.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_wpHcane.h"
#include "widgets/FieldExit.h"
#include "widgets/NumberFields.h"
#include "widgets/TypedKey.h"

#include <QKeyEvent>
#include <QTimeZone>

namespace waypost {
namespace {

const QString kDateFormat = QStringLiteral("MM-dd-yyyy");
constexpr int kLowestWind = 23;
constexpr int kHighestWind = 220;
constexpr int kHighestDepressionWind = 38;
constexpr char16_t kBackspace = 8;

constexpr int kHighestKnots = 1000;

/// The UTC hour as the window shows it: "15:00".
QString hourText(int hour) { return QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')); }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

wpHcane::wpHcane(const Services& services, WindowRegistry& registry, QWidget* parent)
    : FeatureWindow(parent, Qt::Window), m_ui(std::make_unique<Ui::wpHcane>()), m_services(services) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    FeatureDescription d;
    d.windowName = windowName::wpHcane;
    d.outputs = {QStringLiteral("ph"), QStringLiteral("Hurricane"), kWgs84PrjFile};
    d.agencyTable = "hurricanes";
    d.fields = hurricaneFields();
    // A geographic shapefile: the point is longitude, latitude.
    d.shapePoint = ShapePoint::Geographic;
    d.heading = ui.lblHeading;
    d.labels = {ui.lblhDDLat, ui.lblhDDLong, ui.lblhAlbersX, ui.lblhAlbersY, ui.lblUTMCoord, ui.lblUSNG, nullptr};
    d.buttons = {ui.cmdHcoordCon,  ui.cmdEnableWriteFile, ui.cmdClear,     ui.cmdHexit, ui.cmdAdNewHFac,
                 ui.cmdAppendFile, ui.cmdWriteHShape,     ui.appendHShape, ui.cmdKML, ui.cmdAgency};
    d.namedInputs = {ui.cmbName};
    d.otherInputs = {ui.optActual, ui.optFcast, ui.HscrHour, ui.HscrDay, ui.HscrMon, ui.sldHwind, ui.txtHwind, ui.txtKnots};
    d.requirements = [this] { return hurricaneRequirements(values()); };
    d.row = [this] { return hurricaneRow(values()); };
    d.placemark = [this] { return hurricanePlacemark(values()); };
    d.shapefileProblem = [this] { return hurricaneShapefileProblem(values()); };
    d.clearFields = [this] { clearPosition(); };
    d.afterNewRecordFile = [this] {
        m_ui->cmbName->setCurrentIndex(-1);
        m_ui->cmbName->setEditText(QString());
        m_form->link().clear();
        m_ui->cmbName->setFocus();
    };
    m_form = new FeatureForm(services, registry, this, std::move(d));

    // The storm list of this year: the user's own first, then the program's.
    const StormList storms =
        readStormList(m_services.clock.currentYear(), {m_services.paths.userDataDir(), m_services.paths.dataDir()});
    ui.cmbName->addItems(storms.names);
    ui.cmbName->setCurrentIndex(-1);
    if (!storms.problem.isEmpty()) m_services.prompter.message(storms.problem, kAppTitle, Prompter::Icon::Warning);

    const QDate today = m_services.clock.today();
    ui.meHEnter->setText(today.toString(kDateFormat));
    connect(ui.HscrHour, &QScrollBar::valueChanged, this, &wpHcane::HscrHour_Change);
    connect(ui.HscrDay, &QScrollBar::valueChanged, this, &wpHcane::HscrDay_Change);
    connect(ui.HscrMon, &QScrollBar::valueChanged, this, &wpHcane::HscrMon_Change);
    m_month = today.month();
    m_day = today.day();
    ui.lblMon->setText(QString::number(m_month));
    ui.lblDay->setText(QString::number(m_day));
    ui.HscrMon->setValue(today.month());
    daySetter(today.month());
    ui.HscrDay->setValue(today.day());
    ConvertUTC();

    connect(new DateField(m_services.prompter, m_services.clock, ui.meHEnter, kDateFormat,
                          {QStringLiteral("Date more than one year old! Accept?"),
                           QStringLiteral("Confirm Fire Start Date"), QStringLiteral("Date in the future! Accept?"),
                           QStringLiteral("Confirm Fire Start Date"),
                           QStringLiteral("Year is in the future - you must enter a valid date"),
                           QStringLiteral("Year is  more than One year ago - Accept?"), QStringLiteral("Accept Date?"),
                           true},
                          this),
            &DateField::focused, this, [this] { m_form->disableOutputs(); });

    connect(ui.optActual, &QRadioButton::clicked, this, [this] { m_positionType = QStringLiteral("Actual"); });
    connect(ui.optFcast, &QRadioButton::clicked, this, [this] { m_positionType = QStringLiteral("Forecast"); });
    connect(ui.sldHwind, &QSlider::valueChanged, this, &wpHcane::sldHwind_Change);
    connect(ui.cmbName, &QComboBox::currentTextChanged, this, &wpHcane::cmbName_Change);
    ui.txtHwind->installEventFilter(this);
    ui.txtKnots->installEventFilter(this);
    auto* windExit = new FieldExit(ui.txtHwind, this);
    connect(windExit, &FieldExit::entered, this, &wpHcane::followWindBox);
    connect(windExit, &FieldExit::left, this, &wpHcane::txtHwind_Validate);
    connect(ui.cmdCvrtKts, &QPushButton::clicked, this, &wpHcane::cmdCvrtKts_Click);
    connect(ui.cmdCkts, &QPushButton::clicked, this, &wpHcane::cmdCkts_Click);
}

wpHcane::~wpHcane() = default;

HurricaneFeature wpHcane::values() const {
    const auto& ui = *m_ui;
    HurricaneFeature f;
    f.stormName = ui.cmbName->currentText();
    f.positionType = m_positionType;
    f.category = ui.lblHCat->text();
    f.localTime = ui.lblLtimeZ->text();
    f.knots = ui.txtKnots->text();
    f.mph = ui.txtHwind->text();
    f.utcHour = hourText(m_hour);
    f.utcMonth = QString::number(m_month);
    f.utcDay = QString::number(m_day);
    f.reportDate = DateField::text(ui.meHEnter);
    f.utcTime = ui.lblUTC_Cat->text();
    f.at = m_form->location();
    return f;
}

// ---------------------------------------------------------------- UTC day and local time

void wpHcane::HscrHour_Change(int hour) {
    m_hour = hour;
    m_ui->lblsHour->setText(hourText(m_hour));
    ConvertUTC();
}

void wpHcane::HscrDay_Change(int day) {
    m_day = day;
    m_ui->lblDay->setText(QString::number(m_day));
    ConvertUTC();
}

void wpHcane::HscrMon_Change(int month) {
    m_month = month;
    m_ui->lblMon->setText(QString::number(m_month));
    daySetter(month);
    ConvertUTC();
}

void wpHcane::daySetter(int month) {
    const QSignalBlocker quiet(m_ui->HscrDay);  // the day label is corrected by ConvertUTC
    m_ui->HscrDay->setRange(1, daysInMonth(month, isLeapYear(m_services.clock.currentYear())));
}

void wpHcane::ConvertUTC() {
    auto& ui = *m_ui;
    const int year = m_services.clock.currentYear();
    if (m_month < 1 || m_month > 12) return;
    m_day = correctedDay(m_day, m_month, isLeapYear(year));
    ui.lblDay->setText(QString::number(m_day));
    ui.lblUTC_Cat->setText(utcText(m_month, m_day, year, hourText(m_hour)));
    const QDateTime utc(QDate(year, m_month, m_day), QTime(m_hour, 0), Qt::UTC);
    ui.lblLtimeZ->setText(localTimeText(utc, m_services.timeZone));
}

// ---------------------------------------------------------------- winds

void wpHcane::showWinds(int mph) {
    auto& ui = *m_ui;
    m_mph = mph;
    ui.lblHCat->setText(hurricaneCategory(mph));
    ui.txtKnots->setEnabled(true);
    ui.txtKnots->setText(QString::number(knotsFromMph(mph)));
}

void wpHcane::sldHwind_Change(int mph) {
    if (!m_boxDriving) m_ui->txtHwind->setText(QString::number(mph));
    showWinds(mph);
}

void wpHcane::followWindBox() {
    auto& ui = *m_ui;
    if (ui.txtHwind->text() == QLatin1String(" ")) ui.txtHwind->setText(QStringLiteral("0"));
    const std::optional<std::int64_t> mph = windsOnSlider(ui.txtHwind->text());
    if (!mph) return;  // checked when the box is left
    m_boxDriving = true;
    ui.sldHwind->setValue(static_cast<int>(*mph));
    m_boxDriving = false;
    showWinds(static_cast<int>(*mph));
}

std::optional<std::int64_t> wpHcane::windsOnSlider(const QString& text) const {
    return numbers::wholeWithin(numbers::parseLenient(text.toStdString()), m_ui->sldHwind->minimum(), m_ui->sldHwind->maximum());
}

void wpHcane::txtHwind_Validate() {
    auto& ui = *m_ui;
    const auto keepFocus = [&] {
        ui.txtHwind->setFocus();
        ui.txtHwind->selectAll();
    };
    if (ui.txtHwind->text().size() < 2) {
        ui.txtHwind->setText(QStringLiteral("23"));
        followWindBox();
        keepFocus();
        return;
    }
    if (!windsOnSlider(ui.txtHwind->text())) {
        m_services.prompter.message(QStringLiteral("Winds of %1 mph cannot be shown: use %2 to %3 mph%4.")
                                        .arg(ui.txtHwind->text())
                                        .arg(ui.sldHwind->minimum())
                                        .arg(ui.sldHwind->maximum())
                                        .arg(ui.sldHwind->maximum() == kHighestDepressionWind
                                                 ? QStringLiteral(" for an unnamed depression")
                                                 : QString()),
                                    kAppTitle, Prompter::Icon::Warning);
        ui.txtHwind->setText(QString::number(ui.sldHwind->value()));
        keepFocus();
        return;
    }
    followWindBox();
}

void wpHcane::cmbName_Change(const QString& name) {
    m_ui->sldHwind->setMaximum(name == kUnnamedDepression ? kHighestDepressionWind : kHighestWind);
}

void wpHcane::cmdCvrtKts_Click() {
    auto& ui = *m_ui;
    for (QWidget* w : std::initializer_list<QWidget*>{ui.frmKnots, ui.lblKnots, ui.txtKnots, ui.cmdCkts})
        w->setEnabled(true);
}

void wpHcane::cmdCkts_Click() {
    auto& ui = *m_ui;
    // Knots are checked before they are converted: a long row of digits is no speed.
    const std::optional<std::int64_t> knots = numbers::wholeWithin(numbers::parseLenient(ui.txtKnots->text().toStdString()), 0, kHighestKnots);
    const int mph = knots ? mphFromKnots(static_cast<double>(*knots)) : -1;
    if (mph < ui.sldHwind->minimum() || mph > ui.sldHwind->maximum()) {
        m_services.prompter.message((knots ? QStringLiteral("%1 knots are %2 mph, which the slider cannot show (%3 to %4 mph).")
                                               .arg(ui.txtKnots->text())
                                               .arg(mph)
                                         : QStringLiteral("%1 knots cannot be shown on the slider (%2 to %3 mph).")
                                               .arg(ui.txtKnots->text()))
                                        .arg(ui.sldHwind->minimum())
                                        .arg(ui.sldHwind->maximum()),
                                    kAppTitle, Prompter::Icon::Warning);
        return;
    }
    ui.txtHwind->setText(QString::number(mph));
    followWindBox();
    for (QWidget* w : std::initializer_list<QWidget*>{ui.lblKnots, ui.txtKnots, ui.cmdCkts}) w->setEnabled(false);
}

bool wpHcane::eventFilter(QObject* watched, QEvent* event) {
    auto& ui = *m_ui;
    if (event->type() == QEvent::KeyPress) {
        const auto code = typedCharacter(*static_cast<QKeyEvent*>(event));
        const bool speed = watched == ui.txtHwind;
        if (code && !isDigit(*code) && *code != kBackspace && !(speed && *code == u'.')) {
            m_services.prompter.beep();
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease && watched == ui.txtHwind) {
        followWindBox();
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- clearing

void wpHcane::clearPosition() {
    auto& ui = *m_ui;
    ui.cmbName->setCurrentIndex(-1);
    ui.cmbName->setEditText(QString());
    ui.lblUTC_Cat->clear();
    ui.lblLtimeZ->clear();
    ui.lblHCat->clear();
    ui.txtKnots->clear();
    ui.txtHwind->clear();
    m_hour = 0;
    ui.lblsHour->setText(hourText(m_hour));
}

}  // namespace waypost
