#include "conversion/wp_ddc_0306.h"

#include "widgets/AgencyAccess.h"
#include "widgets/BackgroundJob.h"

#include "agency/AgencySections.h"
#include "agency/AgencySettings.h"

#include "conversion/HandBack.h"
#include "database/Database.h"
#include "plss/SectionLookup.h"
#include "engine/AnyLocation.h"

#include <QFileInfo>
#include "map/MapPanel.h"
#include "widgets/MapTools.h"
#include "numbers/Numbers.h"
#include "widgets/FieldExit.h"
#include "widgets/Look.h"
#include "widgets/TypedKey.h"
#include "ui_wp_ddc_0306.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>

#include <functional>

namespace waypost {

using conversion::Coordinate;
using conversion::DegreeGroup;
using conversion::DegreePart;

namespace {

const QString kEnableQuarterQuarters = QStringLiteral("Enable 1/4 1/4 Sections");
const QString kDisableQuarterQuarters = QStringLiteral("Disable 1/4 1/4 Sections");
const QString kNoRecordsFound = QStringLiteral("No Records Found.");
/// The section search's progress runs from 0 to this.
constexpr int kSearchIterationLimit = 20;

// The quarter-quarter square is dark so that its white captions read well.
const QColor kQuarterQuarterGround(38, 70, 46);

// Text changes nest when a check resets its field or the pole lock zeroes the
// other fields; a deeper nesting than this would be a loop.
constexpr int kMaxChangeDepth = 8;
constexpr int kQuarterQuarterPointSize = 6;

std::size_t groupIndex(DegreeGroup group) { return static_cast<std::size_t>(group); }
std::size_t coordinateIndex(Coordinate coordinate) { return coordinate == Coordinate::Latitude ? 0 : 1; }
Coordinate otherCoordinate(Coordinate coordinate) {
    return coordinate == Coordinate::Latitude ? Coordinate::Longitude : Coordinate::Latitude;
}

/// Counts one level of text-change handling for as long as it lives.
class ChangeNesting {
public:
    explicit ChangeNesting(int& depth) : m_depth(depth) { ++m_depth; }
    ~ChangeNesting() { --m_depth; }
    ChangeNesting(const ChangeNesting&) = delete;
    ChangeNesting& operator=(const ChangeNesting&) = delete;
    bool tooDeep() const { return m_depth > kMaxChangeDepth; }

private:
    int& m_depth;
};

}  // namespace

wp_ddc_0306::wp_ddc_0306(const Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::wp_ddc_0306>()), m_services(services) {
    m_ui->setupUi(this);
    setUpFields();
    setUpLook();
    connectHandlers();

    // Nothing is chosen until the user picks a notation: the same state as after closing.
    setDegreeFieldsEnabled(false, nullptr);
    leaveTrsGroup();
    setQuarterQuartersShown(false);
    m_ui->cmdEnableqs->setText(kEnableQuarterQuarters);
    setUpMap({m_ui->mapPanel, m_ui->lblMapCursor, m_ui->cmdSaveMap, m_ui->cmdAddLayer, m_ui->cmdAgencyLayer, m_ui->cmdClearLayers}, m_services);
    m_ui->mapPanel->setSections([this](const engine::Extent& view) { return sectionsIn(view); });
    m_ui->cmdclipbrdUSNG->setEnabled(false);
    // The look-ups are enabled by choosing a group.
    m_ui->cmdTRS2dd->setEnabled(false);
    m_ui->cmdFindSTR->setEnabled(false);
}

wp_ddc_0306::~wp_ddc_0306() = default;

void wp_ddc_0306::setUpFields() {
    using G = DegreeGroup;
    using C = Coordinate;
    using P = DegreePart;
    const QString deg3 = QStringLiteral("000"), two = QStringLiteral("00"), four = QStringLiteral("0000");
    auto& ui = *m_ui;
    m_degreeFields = {{
        {ui.txtDDlongD, {G::DecimalDegrees, C::Longitude, P::Degrees}, deg3},
        {ui.txtDDLongDD, {G::DecimalDegrees, C::Longitude, P::DecimalDegreeDigits}, four},
        {ui.txtDDLatD, {G::DecimalDegrees, C::Latitude, P::Degrees}, two},
        {ui.txtDDLatDD, {G::DecimalDegrees, C::Latitude, P::DecimalDegreeDigits}, four},
        {ui.txtDMMlongdd, {G::DegreesDecimalMinutes, C::Longitude, P::Degrees}, deg3},
        {ui.txtDMMlongmm, {G::DegreesDecimalMinutes, C::Longitude, P::Minutes}, two},
        {ui.txtDMMlongdm, {G::DegreesDecimalMinutes, C::Longitude, P::DecimalMinuteDigits}, four},
        {ui.txtDMMlatdd, {G::DegreesDecimalMinutes, C::Latitude, P::Degrees}, two},
        {ui.txtDMMlatmm, {G::DegreesDecimalMinutes, C::Latitude, P::Minutes}, two},
        {ui.txtDMMlatdm, {G::DegreesDecimalMinutes, C::Latitude, P::DecimalMinuteDigits}, four},
        {ui.txtDMSlongdd, {G::DegreesMinutesSeconds, C::Longitude, P::Degrees}, deg3},
        {ui.txtDMSlongmm, {G::DegreesMinutesSeconds, C::Longitude, P::Minutes}, two},
        {ui.txtDMSlongss, {G::DegreesMinutesSeconds, C::Longitude, P::Seconds}, two},
        {ui.txtDMSlongssd, {G::DegreesMinutesSeconds, C::Longitude, P::Hundredths}, two},
        {ui.txtDMSlatdd, {G::DegreesMinutesSeconds, C::Latitude, P::Degrees}, two},
        {ui.txtDMSlatmm, {G::DegreesMinutesSeconds, C::Latitude, P::Minutes}, two},
        {ui.txtDMSlatss, {G::DegreesMinutesSeconds, C::Latitude, P::Seconds}, two},
        {ui.txtDMSlatssd, {G::DegreesMinutesSeconds, C::Latitude, P::Hundredths}, two},
    }};
    for (DegreeFieldSlot& slot : m_degreeFields) {
        m_slotByEdit.insert(slot.edit, &slot);
        slot.edit->installEventFilter(this);
        connect(new FieldExit(slot.edit, this), &FieldExit::entered, this,
                [this, edit = slot.edit] { degreeField_GotFocus(edit); });
    }
    for (QLineEdit* field : {ui.txtTown, ui.txtRange, ui.txtSection}) field->installEventFilter(this);
    // Leaving a field towards another control of the page validates it; a
    // click on a button takes the focus first, so it cannot skip this.
    const auto onExit = [this](QWidget* field, std::function<void()> entered, std::function<void()> left) {
        auto* exit = new FieldExit(field, this);
        if (entered) connect(exit, &FieldExit::entered, this, entered);
        connect(exit, &FieldExit::left, this, left);
    };
    onExit(ui.txtTown, [this] { txtTown_GotFocus(); }, [this] { txtTown_Validate(); txtTown_LostFocus(); });
    onExit(ui.txtRange, [this] { txtRange_GotFocus(); }, [this] { txtRange_Validate(); txtRange_LostFocus(); });
    onExit(ui.txtSection, [this] { txtSection_GotFocus(); }, [this] { txtSection_Validate(); txtSection_LostFocus(); });
    onExit(ui.optTnorth, std::function<void()>(), [this] { optTnorth_LostFocus(); });

    m_ddCaptions = {ui.lblDD, ui.lblDDlongCap, ui.lblDDlatCap};
    m_dmmCaptions = {ui.lblDMMM, ui.lblDMMlongCap, ui.lblDMMlatCap};
    m_dmsCaptions = {ui.lblDDMMSS, ui.lblDMSlongCap, ui.lblDMSlatCap};
    m_trsCaptions = {ui.lblenterTRS, ui.lblTwn, ui.lblRange, ui.lblSection};
    m_directionOptions = {ui.optTnorth, ui.optTSouth, ui.optRangeE, ui.optRangeW};
    for (const conversion::QuarterOption& option : conversion::quarterOptions()) {
        auto* button = findChild<QRadioButton*>(QLatin1String(option.optionName));
        Q_ASSERT(button);
        (option.quarterQuarter ? m_quarterQuarterOptions : m_nineQuarterOptions).push_back(button);
    }
}

void wp_ddc_0306::setUpLook() {
    auto& ui = *m_ui;
    makeHeading(ui.lblHeading);
    for (QLabel* caption : {ui.lblconRes, ui.lblDD, ui.lblDMMM, ui.lblDDMMSS, ui.lblenterTRS}) {
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
    }

    // Fields as wide as their longest text; read-outs in a fixed-width font.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF() * 1.1);
    std::vector<QLineEdit*> fields{ui.txtTown, ui.txtRange, ui.txtSection};
    for (const DegreeFieldSlot& slot : m_degreeFields) fields.push_back(slot.edit);
    for (QLineEdit* field : fields) {
        field->setFont(fixed);
        const QFontMetrics metrics(fixed);
        field->setFixedWidth(metrics.horizontalAdvance(QString(field->maxLength() + 1, QLatin1Char('0'))) + 14);
    }
    QFont readout = fixed;
    readout.setBold(true);
    for (QLabel* value : {ui.lblDDLat, ui.lblDDLong, ui.lblAlbersX, ui.lblAlbersY, ui.lblUTMCoord, ui.lblUSNG,
                          ui.lblTRSres, ui.lblTRScon}) {
        value->setFont(readout);
        value->setBackgroundRole(QPalette::Base);
        value->setAutoFillBackground(true);
        value->setMinimumHeight(QFontMetrics(readout).height() + 8);
    }

    QPalette ground = ui.fraQuarterQuarters->palette();
    ground.setColor(QPalette::Window, kQuarterQuarterGround);
    ui.fraQuarterQuarters->setPalette(ground);
    ui.fraQuarterQuarters->setAutoFillBackground(true);

    setCaptionsActive(m_ddCaptions, false);
    setCaptionsActive(m_dmmCaptions, false);
    setCaptionsActive(m_dmsCaptions, false);
    setCaptionsActive(m_trsCaptions, false);
}

void wp_ddc_0306::connectHandlers() {
    auto& ui = *m_ui;
    connect(ui.optDD, &QRadioButton::clicked, this, &wp_ddc_0306::optDD_Click);
    connect(ui.OptDDM, &QRadioButton::clicked, this, &wp_ddc_0306::OptDDM_Click);
    connect(ui.optDMS, &QRadioButton::clicked, this, &wp_ddc_0306::optDMS_Click);
    connect(ui.optTRS, &QRadioButton::clicked, this, &wp_ddc_0306::optTRS_Click);

    connect(ui.txtDDlongD, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDDlongD_Change);
    connect(ui.txtDDLongDD, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDDLongDD_Change);
    connect(ui.txtDDLatD, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDDLatD_Change);
    connect(ui.txtDDLatDD, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDDLatDD_Change);
    connect(ui.txtDMMlongdd, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMMlongdd_Change);
    connect(ui.txtDMMlongmm, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMMlongmm_Change);
    connect(ui.txtDMMlongdm, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMMlongdm_Change);
    connect(ui.txtDMMlatdd, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMMlatdd_Change);
    connect(ui.txtDMMlatmm, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMMlatmm_Change);
    connect(ui.txtDMMlatdm, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMMlatdm_Change);
    connect(ui.txtDMSlongdd, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlongdd_Change);
    connect(ui.txtDMSlongmm, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlongmm_Change);
    connect(ui.txtDMSlongss, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlongss_Change);
    connect(ui.txtDMSlongssd, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlongssd_Change);
    connect(ui.txtDMSlatdd, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlatdd_Change);
    connect(ui.txtDMSlatmm, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlatmm_Change);
    connect(ui.txtDMSlatss, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlatss_Change);
    connect(ui.txtDMSlatssd, &QLineEdit::textChanged, this, &wp_ddc_0306::txtDMSlatssd_Change);

    connect(ui.txtTown, &QLineEdit::textChanged, this, &wp_ddc_0306::txtTown_Change);
    connect(ui.txtRange, &QLineEdit::textChanged, this, &wp_ddc_0306::txtRange_Change);
    connect(ui.txtSection, &QLineEdit::textChanged, this, &wp_ddc_0306::txtSection_Change);
    connect(ui.optTnorth, &QRadioButton::clicked, this, &wp_ddc_0306::optTnorth_Click);
    connect(ui.optTSouth, &QRadioButton::clicked, this, &wp_ddc_0306::optTSouth_Click);
    connect(ui.optRangeE, &QRadioButton::clicked, this, &wp_ddc_0306::optRangeE_Click);
    connect(ui.optRangeW, &QRadioButton::clicked, this, &wp_ddc_0306::optRangeW_Click);
    for (const conversion::QuarterOption& option : conversion::quarterOptions()) {
        auto* button = findChild<QRadioButton*>(QLatin1String(option.optionName));
        connect(button, &QRadioButton::clicked, this, [this, &option] { frmsubSec_Click(option); });
    }
    connect(ui.cmdTRScon, &QPushButton::clicked, this, &wp_ddc_0306::cmdTRScon_Click);
    connect(ui.cmdResetTRS, &QPushButton::clicked, this, &wp_ddc_0306::cmdResetTRS_Click);
    connect(ui.cmdEnableqs, &QPushButton::clicked, this, &wp_ddc_0306::cmdEnableqs_Click);
    ui.txtAnyLocation->installEventFilter(this);
    connect(new FieldExit(ui.txtAnyLocation, this), &FieldExit::left, this, [this] {
        if (m_ui->txtAnyLocation->text() != m_anyLocationRead) readAnyLocation();
    });
    connect(ui.txtAnyLocation, &QLineEdit::textEdited, this, [this] { m_anyLocationRead.clear(); });
    connect(ui.cmdTRS2dd, &QPushButton::clicked, this, &wp_ddc_0306::cmdTRS2dd_Click);
    connect(ui.cmdFindSTR, &QPushButton::clicked, this, &wp_ddc_0306::cmdFindSTR_Click);
    connect(new FieldExit(ui.cmdFindSTR, this), &FieldExit::left, this, &wp_ddc_0306::cmdFindSTR_LostFocus);

    connect(ui.cmdclipbrdUSNG, &QPushButton::clicked, this, &wp_ddc_0306::cmdclipbrdUSNG_Click);
    // A Ctrl+click on the map is typed into the location box and read as it is.
    connect(ui.mapPanel, &MapPanel::locateRequested, this, [this](double latitude, double longitude) {
        m_ui->txtAnyLocation->setText(QStringLiteral("%1, %2").arg(latitude, 0, 'f', 6).arg(longitude, 0, 'f', 6));
        readAnyLocation();
    });
    connect(ui.cmdconClose, &QPushButton::clicked, this, &wp_ddc_0306::cmdconClose_Click);
}

// ---------------------------------------------------------------- the caller

void wp_ddc_0306::startLocatingFor(QObject* callerObject, LocationReceiver* receiver, const QString& callerName) {
    // The start texts are no location: while they are written nothing is
    // handed over, neither to the new caller nor to the one before.
    m_caller = nullptr;
    m_receiver = nullptr;
    m_CallerName.clear();
    for (const DegreeFieldSlot& slot : m_degreeFields) setFieldText(slot.edit, slot.startText);
    clearResults();
    m_caller = callerObject;
    m_receiver = receiver;
    m_CallerName = callerName;
}

// ---------------------------------------------------------------- notation options

void wp_ddc_0306::optDD_Click() { chooseDegreeGroup(DegreeGroup::DecimalDegrees); }
void wp_ddc_0306::OptDDM_Click() { chooseDegreeGroup(DegreeGroup::DegreesDecimalMinutes); }
void wp_ddc_0306::optDMS_Click() { chooseDegreeGroup(DegreeGroup::DegreesMinutesSeconds); }

void wp_ddc_0306::optTRS_Click() {
    enterTrsGroup();
    m_trs.townshipDirection = conversion::kNorth;
    m_trs.rangeDirection = conversion::kEast;
    m_trs.townshipNumber = 0;
    m_trs.rangeNumber = 0;
    m_trs.sectionNumber = 0;
    // No direction is shown as chosen: north and east hold until the user
    // picks one, and picking one opens its field.
    uncheckAll(m_directionOptions);
}

void wp_ddc_0306::chooseDegreeGroup(DegreeGroup group) {
    setDegreeFieldsEnabled(true, &group);
    setCaptionsActive(m_ddCaptions, group == DegreeGroup::DecimalDegrees);
    setCaptionsActive(m_dmmCaptions, group == DegreeGroup::DegreesDecimalMinutes);
    setCaptionsActive(m_dmsCaptions, group == DegreeGroup::DegreesMinutesSeconds);
    leaveTrsGroup();
    if (DegreeFieldSlot* first = findSlot(group, Coordinate::Longitude, DegreePart::Degrees))
        first->edit->setFocus(Qt::OtherFocusReason);
    m_ui->cmdFindSTR->setEnabled(true);
}

void wp_ddc_0306::setDegreeFieldsEnabled(bool enabled, const DegreeGroup* only) {
    for (const DegreeFieldSlot& slot : m_degreeFields)
        slot.edit->setEnabled(enabled && (!only || slot.field.group == *only));
}

wp_ddc_0306::DegreeFieldSlot* wp_ddc_0306::findSlot(DegreeGroup group, Coordinate coordinate, DegreePart part) {
    for (DegreeFieldSlot& slot : m_degreeFields)
        if (slot.field.group == group && slot.field.coordinate == coordinate && slot.field.part == part) return &slot;
    return nullptr;
}

// ---------------------------------------------------------------- degree fields

void wp_ddc_0306::txtDDlongD_Change() { degreeFieldChanged(m_degreeFields[0]); }
void wp_ddc_0306::txtDDLongDD_Change() { degreeFieldChanged(m_degreeFields[1]); }
void wp_ddc_0306::txtDDLatD_Change() { degreeFieldChanged(m_degreeFields[2]); }
void wp_ddc_0306::txtDDLatDD_Change() { degreeFieldChanged(m_degreeFields[3]); }
void wp_ddc_0306::txtDMMlongdd_Change() { degreeFieldChanged(m_degreeFields[4]); }
void wp_ddc_0306::txtDMMlongmm_Change() { degreeFieldChanged(m_degreeFields[5]); }
void wp_ddc_0306::txtDMMlongdm_Change() { degreeFieldChanged(m_degreeFields[6]); }
void wp_ddc_0306::txtDMMlatdd_Change() { degreeFieldChanged(m_degreeFields[7]); }
void wp_ddc_0306::txtDMMlatmm_Change() { degreeFieldChanged(m_degreeFields[8]); }
void wp_ddc_0306::txtDMMlatdm_Change() { degreeFieldChanged(m_degreeFields[9]); }
void wp_ddc_0306::txtDMSlongdd_Change() { degreeFieldChanged(m_degreeFields[10]); }
void wp_ddc_0306::txtDMSlongmm_Change() { degreeFieldChanged(m_degreeFields[11]); }
void wp_ddc_0306::txtDMSlongss_Change() { degreeFieldChanged(m_degreeFields[12]); }
void wp_ddc_0306::txtDMSlongssd_Change() { degreeFieldChanged(m_degreeFields[13]); }
void wp_ddc_0306::txtDMSlatdd_Change() { degreeFieldChanged(m_degreeFields[14]); }
void wp_ddc_0306::txtDMSlatmm_Change() { degreeFieldChanged(m_degreeFields[15]); }
void wp_ddc_0306::txtDMSlatss_Change() { degreeFieldChanged(m_degreeFields[16]); }
void wp_ddc_0306::txtDMSlatssd_Change() { degreeFieldChanged(m_degreeFields[17]); }

bool wp_ddc_0306::degreeField_KeyPress(char16_t code) {
    if (conversion::acceptsDegreeCharacter(code)) return false;
    m_services.prompter.beep();
    return true;
}

void wp_ddc_0306::degreeField_GotFocus(QLineEdit* edit) { edit->selectAll(); }

void wp_ddc_0306::degreeFieldChanged(DegreeFieldSlot& slot) {
    const ChangeNesting nesting(m_changeDepth);
    if (nesting.tooDeep()) return;
    QLineEdit* edit = slot.edit;
    const QString text = edit->text();

    // Pasted or dropped text meets the key filter too: what it refuses is dropped.
    if (const QString kept = conversion::keepDegreeCharacters(text); kept != text) {
        m_services.prompter.beep();
        setFieldText(edit, kept);  // its own change handling checks and converts it
        return;
    }

    const conversion::FieldCheck check = conversion::checkDegreeField(slot.field, text);
    if (!check.accepted) {
        m_services.prompter.message(check.message);
        setFieldText(edit, check.resetText);  // the reset text is checked and converted in turn
        edit->selectAll();                     // ready to be typed over
    }

    const Coordinate coordinate = slot.field.coordinate;
    if (check.accepted) {
        storeFieldValue(slot, text);
        if (slot.field.part == DegreePart::Degrees &&
            conversion::locksCoordinate(coordinate, conversion::fieldValue(text)))
            lockCoordinate(slot.field.group, coordinate);
        recomputeTotal(slot.field.group, coordinate);
        autoAdvance(edit);
    }
    recomputeTotal(slot.field.group, otherCoordinate(coordinate));
    locatePoint();
}

void wp_ddc_0306::storeFieldValue(const DegreeFieldSlot& slot, const QString& text) {
    CoordinateParts& parts = m_parts[groupIndex(slot.field.group)][coordinateIndex(slot.field.coordinate)];
    const double value = conversion::fieldValue(text);
    switch (slot.field.part) {
    case DegreePart::Degrees:
        parts.degrees = conversion::wholeValue(value);
        break;
    case DegreePart::DecimalDegreeDigits:
    case DegreePart::DecimalMinuteDigits:
        parts.fraction = conversion::digitsFraction(text);
        break;
    case DegreePart::Minutes:
        parts.minutes = conversion::wholeValue(value);
        parts.minutesTerm = conversion::minutesTerm(parts.minutes);
        break;
    case DegreePart::Seconds:
        parts.seconds = conversion::wholeValue(value);
        parts.secondsTerm = conversion::secondsTerm(parts.seconds);
        break;
    case DegreePart::Hundredths:
        parts.hundredths = conversion::wholeValue(value);
        parts.hundredthsTerm = conversion::hundredthsTerm(parts.hundredths);
        break;
    }
}

void wp_ddc_0306::lockCoordinate(DegreeGroup group, Coordinate coordinate) {
    for (const conversion::LockedField& locked : conversion::lockedFields(group, coordinate)) {
        if (DegreeFieldSlot* slot = findSlot(group, coordinate, locked.part)) {
            setFieldText(slot->edit, locked.text);
            slot->edit->setEnabled(false);  // until the group is chosen again
        }
    }
}

void wp_ddc_0306::recomputeTotal(DegreeGroup group, Coordinate coordinate) {
    const CoordinateParts& p = m_parts[groupIndex(group)][coordinateIndex(coordinate)];
    const bool latitude = coordinate == Coordinate::Latitude;
    double total = 0;
    switch (group) {
    case DegreeGroup::DecimalDegrees:
        total = latitude ? conversion::decimalDegreesLatitude(p.degrees, p.fraction)
                         : conversion::decimalDegreesLongitude(p.degrees, p.fraction);
        break;
    case DegreeGroup::DegreesDecimalMinutes:
        total = latitude ? conversion::decimalMinutesLatitude(p.degrees, p.minutes, p.fraction)
                         : conversion::decimalMinutesLongitude(p.degrees, p.minutes, p.fraction);
        break;
    case DegreeGroup::DegreesMinutesSeconds:
        total = latitude
                    ? conversion::minutesSecondsLatitude(p.degrees, p.minutesTerm, p.secondsTerm, p.hundredthsTerm)
                    : conversion::minutesSecondsLongitude(p.degrees, p.minutesTerm, p.secondsTerm, p.hundredthsTerm);
        break;
    }
    (latitude ? m_latitude : m_longitude) = total;
}

void wp_ddc_0306::autoAdvance(QLineEdit* edit) {
    // A text the page writes leaves the caret at its start: only typing advances.
    if (m_pageWriting > 0 || !edit->hasFocus()) return;
    const QString text = edit->text();
    if (text.size() == edit->maxLength() && edit->cursorPosition() == text.size()) focusNextChild();
}

void wp_ddc_0306::setFieldText(QLineEdit* edit, const QString& text) {
    ++m_pageWriting;
    edit->setText(text);
    --m_pageWriting;
}

// ---------------------------------------------------------------- result routines

void wp_ddc_0306::locatePoint() {
    // A section found before stays with the location; it is shown and handed
    // on only while the point is the one it was found for.
    std::optional<engine::FoundSection> section = m_location ? m_location->section : std::nullopt;
    m_location = engine::locate(m_engine, m_latitude, m_longitude);
    m_location->section = std::move(section);
    showLocation();
    handBack();
}

void wp_ddc_0306::showLocation() {
    auto& ui = *m_ui;
    ui.lblddlatraw->setText(conversion::fullPrecisionText(m_latitude));
    ui.lblddlongraw->setText(conversion::fullPrecisionText(m_longitude));
    if (!m_location) return;
    const engine::Location& at = *m_location;
    const std::pair<QLabel*, std::string> shown[] = {
        {ui.lblDDLat, at.latitudeText()}, {ui.lblDDLong, at.longitudeText()}, {ui.lblAlbersX, at.albersXText()},
        {ui.lblAlbersY, at.albersYText()}, {ui.lblUSNG, at.usng},          {ui.lblUTMCoord, at.utm}};
    for (const auto& [label, text] : shown) label->setText(QString::fromStdString(text));
    ui.cmdclipbrdUSNG->setEnabled(true);
    ui.mapPanel->setFoundSection(at.sectionApplies() ? m_foundKey : std::string());
    ui.mapPanel->setPoint(std::pair(at.longitude, at.latitude), QString::fromStdString(at.usng));
}

void wp_ddc_0306::handBack() {
    if (!m_caller || !m_receiver) return;  // no caller, or it has gone
    const std::optional<SectionHandover> handover = conversion::handBackFor(m_CallerName);
    if (!handover) return;
    std::optional<engine::Location> location = m_location;
    if (location && *handover == SectionHandover::KeptByWindow) location->section.reset();
    m_receiver->receiveLocation(location, *handover);
}

void wp_ddc_0306::clearResults() {
    auto& ui = *m_ui;
    for (QLabel* label : {ui.lblDDLong, ui.lblDDLat, ui.lblAlbersX, ui.lblAlbersY, ui.lblUSNG, ui.lblUTMCoord,
                          ui.lblTRSres})
        label->clear();
    // Nothing to copy until a reference is shown again, and no search shown.
    m_location.reset();
    ui.mapPanel->setPoint(std::nullopt, QString());
    ui.strProgress->setVisible(false);
    ui.lblPercent->setVisible(false);
    ui.cmdclipbrdUSNG->setEnabled(false);
}

void wp_ddc_0306::cmdclipbrdUSNG_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_location ? QString::fromStdString(m_location->usng) : QString());
}

void wp_ddc_0306::cmdconClose_Click() {
    auto& ui = *m_ui;
    ui.cmdFindSTR->setEnabled(false);
    ui.cmdFindSTR->setPalette(QPalette());
    resetTrsFields();
    uncheckAll({ui.optDD, ui.OptDDM, ui.optDMS, ui.optTRS});
    setDegreeFieldsEnabled(false, nullptr);
    setCaptionsActive(m_ddCaptions, false);
    setCaptionsActive(m_dmmCaptions, false);
    setCaptionsActive(m_dmsCaptions, false);
    leaveTrsGroup();
    ui.cmdclipbrdUSNG->setEnabled(false);
    hide();
}

void wp_ddc_0306::Form_Activate() { m_ui->lblTRScon->clear(); }

// ---------------------------------------------------------------- township, range and section

void wp_ddc_0306::enterTrsGroup() {
    auto& ui = *m_ui;
    setDegreeFieldsEnabled(false, nullptr);
    setCaptionsActive(m_ddCaptions, false);
    setCaptionsActive(m_dmmCaptions, false);
    setCaptionsActive(m_dmsCaptions, false);
    setFieldText(ui.txtTown, QStringLiteral("00"));
    setFieldText(ui.txtRange, QStringLiteral("00"));
    setFieldText(ui.txtSection, QStringLiteral("0000"));
    ui.lblTRScon->clear();
    ui.txtSection->setEnabled(true);
    for (QAbstractButton* option : m_directionOptions) option->setEnabled(true);
    ui.frmsubSec->setEnabled(true);
    for (QRadioButton* option : m_nineQuarterOptions) option->setEnabled(true);
    ui.cmdTRScon->setEnabled(true);
    ui.cmdResetTRS->setEnabled(true);
    ui.cmdTRS2dd->setEnabled(true);
    setCaptionsActive(m_trsCaptions, true);
}

void wp_ddc_0306::leaveTrsGroup() {
    auto& ui = *m_ui;
    for (QWidget* control : {static_cast<QWidget*>(ui.txtTown), static_cast<QWidget*>(ui.txtRange),
                             static_cast<QWidget*>(ui.txtSection), static_cast<QWidget*>(ui.frmsubSec),
                             static_cast<QWidget*>(ui.cmdTRScon), static_cast<QWidget*>(ui.cmdTRS2dd),
                             static_cast<QWidget*>(ui.cmdResetTRS)})
        control->setEnabled(false);
    for (QAbstractButton* option : m_directionOptions) option->setEnabled(false);
    for (QRadioButton* option : m_nineQuarterOptions) option->setEnabled(false);
    setCaptionsActive(m_trsCaptions, false);
}

void wp_ddc_0306::resetTrsFields() {
    auto& ui = *m_ui;
    // A field that already shows its start text raises no change of its own;
    // the reset still runs the change handling, so the numbers and the
    // section key are those of the start texts.
    const auto reset = [this](QLineEdit* edit, const QString& text, void (wp_ddc_0306::*changed)()) {
        if (edit->text() != text) {
            setFieldText(edit, text);
            return;
        }
        ++m_pageWriting;
        (this->*changed)();
        --m_pageWriting;
    };
    reset(ui.txtTown, QStringLiteral("00"), &wp_ddc_0306::txtTown_Change);
    reset(ui.txtRange, QStringLiteral("00"), &wp_ddc_0306::txtRange_Change);
    reset(ui.txtSection, QStringLiteral("0000"), &wp_ddc_0306::txtSection_Change);
    ui.txtTown->setEnabled(true);
    ui.txtRange->setEnabled(true);
    ui.txtSection->setEnabled(true);
    for (QAbstractButton* option : m_directionOptions) option->setEnabled(true);
}

void wp_ddc_0306::refuseTrsKey() {
    m_services.prompter.beep();
    m_services.prompter.message(conversion::kNumbersOnlyMessage);
}

bool wp_ddc_0306::refuseTrsPaste(QLineEdit* edit) {
    const QString text = edit->text();
    const QString kept = conversion::keepTrsCharacters(text);
    if (kept == text) return false;
    refuseTrsKey();
    setFieldText(edit, kept);
    return true;
}

bool wp_ddc_0306::txtTown_KeyPress(char16_t code) {
    if (conversion::acceptsTrsCharacter(code)) return false;
    refuseTrsKey();
    return true;
}
bool wp_ddc_0306::txtRange_KeyPress(char16_t code) { return txtTown_KeyPress(code); }
bool wp_ddc_0306::txtSection_KeyPress(char16_t code) { return txtTown_KeyPress(code); }

void wp_ddc_0306::txtTown_Change() {
    const ChangeNesting nesting(m_changeDepth);
    if (nesting.tooDeep() || refuseTrsPaste(m_ui->txtTown)) return;
    m_trs.townshipNumber = conversion::trsNumber(m_ui->txtTown->text());
    autoAdvance(m_ui->txtTown);
}

void wp_ddc_0306::txtRange_Change() {
    const ChangeNesting nesting(m_changeDepth);
    if (nesting.tooDeep() || refuseTrsPaste(m_ui->txtRange)) return;
    m_trs.rangeNumber = conversion::trsNumber(m_ui->txtRange->text());
    autoAdvance(m_ui->txtRange);
}

void wp_ddc_0306::txtSection_Change() {
    const ChangeNesting nesting(m_changeDepth);
    QLineEdit* section = m_ui->txtSection;
    if (nesting.tooDeep() || refuseTrsPaste(section)) return;
    const conversion::TrsCheck check = conversion::checkSection(section->text());
    if (check.accepted) {
        m_trs.sectionNumber = check.number;
        m_trs.sectionKey = check.key;
    } else {
        m_services.prompter.message(check.message);
        setFieldText(section, QString());
        m_trs.sectionNumber = 0;
        section->selectAll();
    }
    autoAdvance(section);
}

void wp_ddc_0306::townshipCheck(CheckForm form) {
    QLineEdit* town = m_ui->txtTown;
    const conversion::TrsCheck check = conversion::checkTownship(town->text(), m_trs.townshipDirection);
    if (!check.accepted) {
        m_services.prompter.message(check.message);
        setFieldText(town, QStringLiteral("00"));
        if (form == CheckForm::Focus) town->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_trs.townshipNumber = check.number;
    m_trs.townshipKey = check.key;
}

void wp_ddc_0306::rangeCheck(CheckForm form) {
    QLineEdit* range = m_ui->txtRange;
    const conversion::TrsCheck check = conversion::checkRange(range->text(), m_trs.rangeDirection);
    if (!check.accepted) {
        m_services.prompter.message(check.message);
        if (form == CheckForm::Validation) {
            resetTrsFields();
        } else {
            setFieldText(range, QStringLiteral("00"));
            range->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    m_trs.rangeNumber = check.number;
    m_trs.rangeKey = check.key;
}

void wp_ddc_0306::txtTown_GotFocus() {
    trsNumberEntered(m_ui->txtTown, m_trs.townshipNumber, [this] { townshipCheck(CheckForm::Focus); });
}

void wp_ddc_0306::txtRange_GotFocus() {
    trsNumberEntered(m_ui->txtRange, m_trs.rangeNumber, [this] { rangeCheck(CheckForm::Focus); });
}

void wp_ddc_0306::trsNumberEntered(QLineEdit* field, std::int16_t& number, const std::function<void()>& check) {
    // A field with a text is checked again; an empty one starts at "00".
    if (!field->text().isEmpty()) check();
    else setFieldText(field, QStringLiteral("00"));
    number = conversion::trsNumber(field->text());
    field->selectAll();
}

void wp_ddc_0306::txtSection_GotFocus() { m_ui->txtSection->selectAll(); }

void wp_ddc_0306::txtTown_Validate() { townshipCheck(CheckForm::Validation); }
void wp_ddc_0306::txtRange_Validate() { rangeCheck(CheckForm::Validation); }

void wp_ddc_0306::txtSection_Validate() {
    const conversion::TrsCheck check = conversion::sectionKeyOnLeaving(m_ui->txtSection->text());
    m_trs.sectionNumber = check.number;
    m_trs.sectionKey = check.key;
}

void wp_ddc_0306::txtTown_LostFocus() {
    if (m_ui->txtTown->text().isEmpty()) setFieldText(m_ui->txtTown, QStringLiteral("00"));
}
void wp_ddc_0306::txtRange_LostFocus() {
    if (m_ui->txtRange->text().isEmpty()) setFieldText(m_ui->txtRange, QStringLiteral("00"));
}
void wp_ddc_0306::txtSection_LostFocus() {
    if (m_ui->txtSection->text().isEmpty()) setFieldText(m_ui->txtSection, QStringLiteral("0000"));
}

void wp_ddc_0306::txtTown_Click() { m_ui->txtTown->setEnabled(true); }
void wp_ddc_0306::txtRange_Click() { m_ui->txtRange->setEnabled(true); }
void wp_ddc_0306::txtSection_Click() { m_ui->txtSection->setEnabled(true); }

void wp_ddc_0306::optTnorth_Click() {
    m_trs.townshipDirection = conversion::kNorth;
    m_ui->txtTown->setEnabled(true);
    m_trs.townshipNumber = conversion::trsNumber(m_ui->txtTown->text());
}

void wp_ddc_0306::optTSouth_Click() {
    m_trs.townshipDirection = conversion::kSouth;
    m_ui->txtTown->setEnabled(true);
    m_trs.townshipNumber = conversion::trsNumber(m_ui->txtTown->text());
}

void wp_ddc_0306::optTnorth_LostFocus() { m_trs.townshipNumber = conversion::trsNumber(m_ui->txtTown->text()); }

void wp_ddc_0306::optRangeE_Click() {
    m_trs.rangeDirection = conversion::kEast;
    m_ui->txtRange->setEnabled(true);
}

void wp_ddc_0306::optRangeW_Click() {
    m_trs.rangeDirection = conversion::kWest;
    m_ui->txtRange->setEnabled(true);
}

void wp_ddc_0306::frmsubSec_Click(const conversion::QuarterOption& option) {
    m_trs.quarterDescription = QString::fromLatin1(option.description);
    m_trs.quarterLongitudeOffsetMetres = option.longitudeOffsetMetres;
    m_trs.quarterLatitudeOffsetDegrees = option.latitudeOffsetDegrees;
}

void wp_ddc_0306::cmdTRScon_Click() {
    m_trs.trsKey = conversion::trsKey(m_trs.townshipKey, m_trs.townshipDirection, m_trs.rangeKey,
                                      m_trs.rangeDirection, m_trs.sectionKey);
    m_ui->lblTRScon->setText(m_trs.trsKey + QLatin1Char(' ') + m_trs.quarterDescription);
}

void wp_ddc_0306::cmdResetTRS_Click() {
    resetTrsFields();
    m_ui->lblTRScon->clear();
    m_ui->lblDDLat->clear();
    m_ui->lblDDLong->clear();
    m_location.reset();
}

void wp_ddc_0306::cmdEnableqs_Click() {
    QPushButton* toggle = m_ui->cmdEnableqs;
    if (toggle->text() == kEnableQuarterQuarters) {
        setQuarterQuartersShown(true);
        toggle->setText(kDisableQuarterQuarters);
    } else if (toggle->text() == kDisableQuarterQuarters) {
        setQuarterQuartersShown(false);
        toggle->setText(kEnableQuarterQuarters);
    }
}

// ---------------------------------------------------------------- a location in any form

void wp_ddc_0306::showAnyStatus(const QString& text, bool refused) {
    m_ui->lblAnyStatus->setText(text);
    setTextColour(m_ui->lblAnyStatus, refused ? QColor(160, 0, 0) : kActiveLocationColour);
}

void wp_ddc_0306::readAnyLocation() {
    if (m_fillingFromAnyLocation) return;
    auto& ui = *m_ui;
    const QString text = ui.txtAnyLocation->text();
    m_anyLocationRead = text;
    if (text.trimmed().isEmpty()) {
        showAnyStatus(QString(), false);
        return;
    }
    const engine::LocationReading reading = engine::readAnyLocation(text.toStdString());
    if (!reading.ok) {
        showAnyStatus(QStringLiteral("Not read: %1").arg(QString::fromStdString(reading.error)), true);
        return;
    }
    if (reading.latitude < 0 || reading.longitude > 0) {
        showAnyStatus(QStringLiteral("Read as %1, but the page takes northern latitudes and western longitudes only")
                          .arg(QString::fromStdString(reading.form)),
                      true);
        return;
    }
    // Into the degrees-minutes-seconds fields, as if typed: the totals, the
    // results and the hand-back follow from there.
    m_fillingFromAnyLocation = true;
    ui.optDMS->setChecked(true);
    optDMS_Click();
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const engine::DmsParts& lon = reading.longitudeParts;
    const engine::DmsParts& lat = reading.latitudeParts;
    const std::pair<QLineEdit*, QString> fields[] = {
        {ui.txtDMSlongdd, QStringLiteral("%1").arg(lon.degrees, 3, 10, QLatin1Char('0'))},
        {ui.txtDMSlongmm, two(lon.minutes)}, {ui.txtDMSlongss, two(lon.seconds)}, {ui.txtDMSlongssd, two(lon.hundredths)},
        {ui.txtDMSlatdd, two(lat.degrees)},  {ui.txtDMSlatmm, two(lat.minutes)},  {ui.txtDMSlatss, two(lat.seconds)},
        {ui.txtDMSlatssd, two(lat.hundredths)}};
    for (const auto& [field, value] : fields) setFieldText(field, value);
    ui.txtAnyLocation->setFocus();
    m_fillingFromAnyLocation = false;
    showAnyStatus(QStringLiteral("Read as %1").arg(QString::fromStdString(reading.form)), false);
}

// ---------------------------------------------------------------- PLSS look-ups

std::optional<QString> wp_ddc_0306::currentTrsKey() {
    auto& ui = *m_ui;
    // From what the fields hold now: a key left over from an earlier preview
    // or check must not be converted in their place.
    const conversion::TrsCheck township = conversion::checkTownship(ui.txtTown->text(), m_trs.townshipDirection);
    const conversion::TrsCheck range = conversion::checkRange(ui.txtRange->text(), m_trs.rangeDirection);
    for (const conversion::TrsCheck* check : {&township, &range}) {
        if (!check->accepted) {
            m_services.prompter.message(check->message);
            return std::nullopt;
        }
    }
    const conversion::TrsCheck section = conversion::sectionKeyOnLeaving(ui.txtSection->text());
    m_trs.townshipNumber = township.number;
    m_trs.townshipKey = township.key;
    m_trs.rangeNumber = range.number;
    m_trs.rangeKey = range.key;
    m_trs.sectionNumber = section.number;
    m_trs.sectionKey = section.key;
    return conversion::trsKey(m_trs.townshipKey, m_trs.townshipDirection, m_trs.rangeKey, m_trs.rangeDirection,
                              m_trs.sectionKey);
}

void wp_ddc_0306::showLookupFailure(const QString& file, const QString& reason) {
    m_services.prompter.message(QStringLiteral("The section database cannot be read:\n%1\n\n%2").arg(file, reason),
                                kAppTitle, Prompter::Icon::Critical);
}

void wp_ddc_0306::cmdTRS2dd_Click() {
    auto& ui = *m_ui;
    const std::optional<QString> key = currentTrsKey();
    if (!key) return;
    ui.lblTRScon->setText(*key);
    m_trs.trsKey = *key;

    plss::SectionPosition position;
    if (const std::optional<std::pair<double, double>> centre = sectionCentreOnServer(key->toStdString()))
        position = plss::positionFromCentre(centre->first, centre->second, m_trs.quarterLongitudeOffsetMetres,
                                            m_trs.quarterLatitudeOffsetDegrees);
    else try {
        position = plss::positionOfSection(plss::SectionDatabases::in(m_services.paths.databasesDir().toStdString()),
                                           key->toStdString(), m_trs.quarterLongitudeOffsetMetres,
                                           m_trs.quarterLatitudeOffsetDegrees);
    } catch (const database::DatabaseError& failure) {
        showLookupFailure(QString::fromStdString(failure.file()), QString::fromStdString(failure.reason()));
        return;
    }
    if (!position.found) {
        m_services.prompter.message(kNoRecordsFound);
        ui.lblDDLat->setText(QStringLiteral("00"));
        ui.lblDDLong->setText(QStringLiteral("00"));
        // The page no longer has a location: what it showed before is not this section's.
        m_location.reset();
        return;
    }
    // The section's corner as shown, to six decimals.
    m_latitude = numbers::roundFixed(position.latitude, 6);
    m_longitude = numbers::roundFixed(position.longitude, 6);
    locatePoint();
    resetTrsFields();
}

void wp_ddc_0306::cmdFindSTR_Click() {
    auto& ui = *m_ui;
    ui.strProgress->setVisible(true);
    ui.lblPercent->setVisible(true);
    FindSTR();
    if (m_location && m_caller && m_receiver && conversion::receivesFoundSection(m_CallerName))
        m_receiver->receiveFoundSection(*m_location);
}

void wp_ddc_0306::cmdFindSTR_LostFocus() {
    m_ui->strProgress->setVisible(false);
    m_ui->lblPercent->setVisible(false);
}

void wp_ddc_0306::showSectionSearchProgress(int iteration) {
    auto& ui = *m_ui;
    ui.strProgress->setValue(iteration);
    ui.lblPercent->setText(QStringLiteral("Searching for closest STR: Iteration %1").arg(iteration));
    ui.strProgress->repaint();
    ui.lblPercent->repaint();
}

void wp_ddc_0306::FindSTR() {
    auto& ui = *m_ui;
    if (!m_location) {
        m_services.prompter.message(QStringLiteral("No Search Coordinates - Exiting Search Routine"));
        return;
    }
    const double longitude = m_location->longitude;
    const double latitude = m_location->latitude;
    ui.strProgress->setRange(0, kSearchIterationLimit);
    ui.strProgress->setValue(0);

    // Nothing of an earlier point's section stays in view while this one is searched.
    ui.lblTRSres->clear();
    // The agency's section polygons first, when chosen: the section that holds the point.
    if (const std::optional<plss::FoundSection> held = sectionOnServer(latitude, longitude)) {
        m_location->section = engine::FoundSection{held->description, latitude, longitude};
        m_foundKey = held->key;
        ui.mapPanel->setFoundSection(m_foundKey);
        ui.lblTRSres->setText(QString::fromStdString(held->description));
        ui.strProgress->setValue(kSearchIterationLimit);
        ui.lblPercent->setText(QStringLiteral("STR found in the agency database"));
        return;
    }
    if (!m_location || m_location->latitude != latitude || m_location->longitude != longitude) return;

    // A statewide search runs off the interface thread; its iterations show as it goes.
    plss::SectionSearch search;
    const std::string databases = m_services.paths.databasesDir().toStdString();
    try {
        const auto found = BackgroundJob::run<plss::SectionSearch>(
            this, [this](std::int64_t iteration) { if (iteration > 0) showSectionSearchProgress(static_cast<int>(iteration)); },
            [databases, latitude, longitude](JobProgress& iteration) {
                return plss::findSection(plss::SectionDatabases::in(databases), latitude, longitude,
                                         [&iteration](int i) { iteration.store(i); });
            });
        if (!found) return;  // the page has gone
        search = *found;
    } catch (const database::DatabaseError& failure) {
        showLookupFailure(QString::fromStdString(failure.file()), QString::fromStdString(failure.reason()));
        return;
    }
    // A log that cannot be written does not stop the search.
    if (search.widened())
        plss::appendToSearchLog((m_services.paths.logDir() + QStringLiteral("/search_results.txt")).toStdString(),
                                plss::searchLogBlock(search));
    if (!m_location || m_location->latitude != latitude || m_location->longitude != longitude) return;
    const std::string found = search.section ? search.section->description : std::string("No Record");
    m_location->section = engine::FoundSection{found, latitude, longitude};
    ui.lblTRSres->setText(QString::fromStdString(found));
    if (!search.section) {
        m_services.prompter.message(kNoRecordsFound);
        return;
    }
    ui.strProgress->setValue(kSearchIterationLimit);
    ui.lblPercent->setText(QStringLiteral("STR found on iteration %1").arg(search.iteration));
    m_foundKey = search.section->key;
    ui.mapPanel->setFoundSection(m_foundKey);
}

template <class Result>
std::optional<Result> wp_ddc_0306::askAgencyDatabase(std::function<std::optional<Result>(agency::Connection&)> ask) {
    if (!agency::savedSettings().lookUps) return std::nullopt;
    try {
        const auto answer = withAgencyDatabase<std::optional<Result>>(
            m_services.prompter, this, [&ask](const std::string& connection) {
                agency::Connection server(connection);
                return ask(server);
            });
        return answer ? *answer : std::nullopt;
    } catch (const agency::AgencyError& failure) {
        m_services.prompter.message(
            failure.words() + QStringLiteral("\n\nThe section databases of this desk are used instead."), kAppTitle,
            Prompter::Icon::Warning);
        return std::nullopt;
    }
}

std::optional<plss::FoundSection> wp_ddc_0306::sectionOnServer(double latitude, double longitude) {
    return askAgencyDatabase<plss::FoundSection>(
        [=](agency::Connection& server) { return agency::sectionContaining(server, latitude, longitude); });
}

std::optional<std::pair<double, double>> wp_ddc_0306::sectionCentreOnServer(const std::string& key) {
    return askAgencyDatabase<std::pair<double, double>>(
        [&key](agency::Connection& server) { return agency::sectionCentre(server, key); });
}

std::vector<SectionMark> wp_ddc_0306::sectionsIn(const engine::Extent& view) {
    std::vector<SectionMark> marks;
    try {
        if (!m_sectionCentres)
            m_sectionCentres = std::make_unique<database::Database>(
                plss::SectionDatabases::in(m_services.paths.databasesDir().toStdString()).search.string(),
                database::Database::Mode::ReadOnly);
        database::Statement centres = m_sectionCentres->prepare(
            "SELECT \"TRS\", \"LONGITUDE\", \"LATITUDE\" FROM \"PLSS\" WHERE \"LONGITUDE\" BETWEEN ? AND ? AND "
            "\"LATITUDE\" BETWEEN ? AND ? LIMIT 400");
        centres.bind(1, view.west).bind(2, view.east).bind(3, view.south).bind(4, view.north);
        while (centres.step()) marks.push_back({centres.columnText(0), centres.columnDouble(1), centres.columnDouble(2)});
    } catch (const database::DatabaseError&) {
        // Without the section database the map shows no keys.
    }
    return marks;
}

void wp_ddc_0306::setQuarterQuartersShown(bool shown) {
    std::size_t i = 0;
    for (const conversion::QuarterOption& option : conversion::quarterOptions()) {
        if (!option.quarterQuarter) continue;
        QRadioButton* button = m_quarterQuarterOptions[i++];
        button->setEnabled(shown);
        if (shown) {
            QPalette white = button->palette();
            white.setColor(QPalette::WindowText, Qt::white);
            white.setColor(QPalette::ButtonText, Qt::white);
            button->setPalette(white);
            QFont small = button->font();
            small.setPointSize(kQuarterQuarterPointSize);
            button->setFont(small);
            button->setText(QLatin1String(option.caption));
        } else {
            button->setText(QString());
        }
    }
}

// ---------------------------------------------------------------- look and events

void wp_ddc_0306::setCaptionsActive(const std::vector<QLabel*>& captions, bool active) {
    for (QLabel* caption : captions) setTextColour(caption, active ? kActiveLocationColour : kInactiveLocationColour);
}

void wp_ddc_0306::uncheckAll(const std::vector<QAbstractButton*>& buttons) {
    for (QAbstractButton* button : buttons) {
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(exclusive);
    }
}

bool wp_ddc_0306::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Form_Activate();
    return QWidget::event(event);
}

bool wp_ddc_0306::eventFilter(QObject* watched, QEvent* event) {
    auto& ui = *m_ui;
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (watched == ui.txtAnyLocation) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                readAnyLocation();
                return true;
            }
            if (key == Qt::Key_Escape) {
                ui.txtAnyLocation->clear();
                m_anyLocationRead.clear();
                showAnyStatus(QString(), false);
                return true;
            }
            break;
        }
        const auto code = typedCharacter(*static_cast<QKeyEvent*>(event));
        if (!code) break;
        if (m_slotByEdit.contains(watched)) return degreeField_KeyPress(*code);
        if (watched == ui.txtTown) return txtTown_KeyPress(*code);
        if (watched == ui.txtRange) return txtRange_KeyPress(*code);
        if (watched == ui.txtSection) return txtSection_KeyPress(*code);
        break;
    }
    case QEvent::MouseButtonRelease:
        // A disabled field sees the mouse here too, but is not clicked.
        if (!static_cast<QWidget*>(watched)->isEnabled()) break;
        if (watched == ui.txtTown) txtTown_Click();
        else if (watched == ui.txtRange) txtRange_Click();
        else if (watched == ui.txtSection) txtSection_Click();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace waypost
