#include "features/wpHcane.h"

#include "features/HurricaneFields.h"
#include "numbers/Numbers.h"
#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "ui_wpHcane.h"
#include "widgets/FieldExit.h"
#include "widgets/FocusNotifier.h"
#include "widgets/LocationLink.h"
#include "widgets/Look.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/NumberFields.h"
#include "widgets/OutputButtons.h"
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

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

wpHcane::wpHcane(const Services& services, WindowRegistry& registry, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::wpHcane>()), m_services(services), m_kml(services),
      m_outputs(services, {QStringLiteral("ph"), QStringLiteral("Hurricane"), kWgs84PrjFile}, hurricaneFields()) {
    auto& ui = *m_ui;
    ui.setupUi(this);
    makeHeading(ui.lblHeading);
    colourAsUsable({ui.cmdHcoordCon, ui.cmdEnableWriteFile, ui.cmdClear, ui.cmdHexit});
    m_outputButtons = new OutputButtons({ui.cmdAdNewHFac, ui.cmdAppendFile, ui.cmdWriteHShape, ui.appendHShape,
                                         ui.cmdKML},
                                        ui.cmdWriteHShape, ui.appendHShape, this);
    m_location = new LocationLink(registry, this, windowName::wpHcane,
                                  {ui.lblhDDLat, ui.lblhDDLong, ui.lblhAlbersX, ui.lblhAlbersY, ui.lblUTMCoord,
                                   ui.lblUSNG, nullptr});
    m_location->labels().setEnabled(false);

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
    ui.lblMon->setText(QString::number(today.month()));
    ui.lblDay->setText(QString::number(today.day()));
    ui.HscrMon->setValue(today.month());
    daySetter(today.month());
    ui.HscrDay->setValue(today.day());
    ConvertUTC();

    const auto disable = [this] { m_outputButtons->disable(); };
    connect(new NameFieldGuard(m_services.prompter, ui.cmbName, this), &NameFieldGuard::focused, this, disable);
    connect(new DateField(m_services.prompter, m_services.clock, ui.meHEnter, kDateFormat,
                          {QStringLiteral("Date more than one year old! Accept?"),
                           QStringLiteral("Confirm Fire Start Date"), QStringLiteral("Date in the future! Accept?"),
                           QStringLiteral("Confirm Fire Start Date"),
                           QStringLiteral("Year is in the future - you must enter a valid date"),
                           QStringLiteral("Year is  more than One year ago - Accept?"), QStringLiteral("Accept Date?"),
                           true},
                          this),
            &DateField::focused, this, disable);
    for (QWidget* input : std::initializer_list<QWidget*>{ui.optActual, ui.optFcast, ui.HscrHour, ui.HscrDay,
                                                          ui.HscrMon, ui.sldHwind, ui.txtHwind, ui.txtKnots})
        input->installEventFilter(new FocusNotifier(input, disable));

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
    connect(ui.cmdHcoordCon, &QPushButton::clicked, this, &wpHcane::cmdHcoordCon_Click);
    connect(ui.cmdEnableWriteFile, &QPushButton::clicked, this, &wpHcane::cmdEnableWriteFile_Click);
    connect(ui.cmdAdNewHFac, &QPushButton::clicked, this, &wpHcane::cmdAdNewHFac_Click);
    connect(ui.cmdAppendFile, &QPushButton::clicked, this, &wpHcane::cmdAppendFile_Click);
    connect(ui.cmdWriteHShape, &QPushButton::clicked, this, [this] { writeShape(false); });
    connect(ui.appendHShape, &QPushButton::clicked, this, [this] { writeShape(true); });
    connect(ui.cmdKML, &QPushButton::clicked, this, &wpHcane::cmdKML_Click);
    connect(ui.cmdClear, &QPushButton::clicked, this, &wpHcane::clearPosition);
    connect(ui.cmdHexit, &QPushButton::clicked, this, &wpHcane::cmdHexit_Click);
}

wpHcane::~wpHcane() = default;

HurricaneFeature wpHcane::values() const {
    const auto& ui = *m_ui;
    const LocationTexts at = m_location->texts();
    HurricaneFeature f;
    f.stormName = ui.cmbName->currentText();
    f.positionType = m_positionType;
    f.category = ui.lblHCat->text();
    f.localTime = ui.lblLtimeZ->text();
    f.knots = ui.txtKnots->text();
    f.mph = ui.txtHwind->text();
    f.utcHour = ui.lblsHour->text();
    f.utcMonth = ui.lblMon->text();
    f.utcDay = ui.lblDay->text();
    f.latitude = at.latitude;
    f.longitude = at.longitude;
    f.reportDate = DateField::text(ui.meHEnter);
    f.utcTime = ui.lblUTC_Cat->text();
    f.albersX = at.albersX;
    f.albersY = at.albersY;
    f.utm = at.utm;
    f.usng = at.usng;
    return f;
}

// ---------------------------------------------------------------- UTC day and local time

void wpHcane::HscrHour_Change(int hour) {
    m_ui->lblsHour->setText(QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
    ConvertUTC();
}

void wpHcane::HscrDay_Change(int day) {
    m_ui->lblDay->setText(QString::number(day));
    ConvertUTC();
}

void wpHcane::HscrMon_Change(int month) {
    m_ui->lblMon->setText(QString::number(month));
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
    const int month = ui.lblMon->text().toInt();
    if (month < 1 || month > 12) return;
    const int day = correctedDay(ui.lblDay->text().toInt(), month, isLeapYear(year));
    ui.lblDay->setText(QString::number(day));
    const int hour = ui.lblsHour->text().left(2).toInt();
    ui.lblUTC_Cat->setText(utcText(month, day, year, ui.lblsHour->text()));
    const QDateTime utc(QDate(year, month, day), QTime(hour, 0), Qt::UTC);
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
    return numbers::wholeWithin(labelValue(text), m_ui->sldHwind->minimum(), m_ui->sldHwind->maximum());
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
    const std::optional<std::int64_t> knots = numbers::wholeWithin(labelValue(ui.txtKnots->text()), 0, kHighestKnots);
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

// ---------------------------------------------------------------- location and outputs

void wpHcane::cmdHcoordCon_Click() {
    m_outputButtons->disable();
    m_location->open();
}

void wpHcane::cmdEnableWriteFile_Click() {
    if (passEnableChecks(m_services.prompter, this, hurricaneRequirements(values()))) m_outputButtons->enable();
    else m_outputButtons->disable();
}

void wpHcane::cmdAdNewHFac_Click() {
    if (!m_outputs.newRecordFile(hurricaneRow(values()))) return;
    m_ui->cmbName->setCurrentIndex(-1);
    m_ui->cmbName->setEditText(QString());
    m_location->clear();
    m_ui->cmbName->setFocus();
}

void wpHcane::cmdAppendFile_Click() { m_outputs.appendRecordFile(hurricaneRow(values())); }

void wpHcane::writeShape(bool append) {
    const HurricaneFeature v = values();
    if (const std::optional<QString> problem = hurricaneShapefileProblem(v)) {
        m_services.prompter.message(*problem, kAppTitle, Prompter::Icon::Warning);
        return;
    }
    // A geographic shapefile: the point is longitude, latitude.
    if (append)
        m_outputs.appendShapefile(hurricaneRow(v), labelValue(v.longitude), labelValue(v.latitude));
    else
        m_outputs.newShapefile(hurricaneRow(v), labelValue(v.longitude), labelValue(v.latitude));
}

void wpHcane::cmdKML_Click() {
    const HurricaneFeature v = values();
    const KmlPlacemark placemark = hurricanePlacemark(v);
    // A GPS unit's waypoint carries the position's UTC time ("8/29/2026 15:00:00 UTC").
    QDateTime utc = QDateTime::fromString(v.utcTime.section(u' ', 0, 1), QStringLiteral("M/d/yyyy HH:mm:ss"));
    utc.setTimeSpec(Qt::UTC);
    m_kml.write(placemark, pointFeature(QStringLiteral("Hurricane"), placemark, hurricaneFields(), hurricaneRow(v),
                                        utc.isValid() ? std::optional<QDateTime>(utc) : std::nullopt));
}

void wpHcane::clearPosition() {
    auto& ui = *m_ui;
    ui.cmbName->setCurrentIndex(-1);
    ui.cmbName->setEditText(QString());
    ui.lblUTC_Cat->clear();
    ui.lblLtimeZ->clear();
    m_location->clear();
    ui.lblHCat->clear();
    ui.txtKnots->clear();
    ui.txtHwind->clear();
    ui.lblsHour->setText(QStringLiteral("00:00"));
    m_outputButtons->disable();
}

void wpHcane::cmdHexit_Click() {
    m_location->labels().setInUse(false);
    clearPosition();
    close();
}

}  // namespace waypost
