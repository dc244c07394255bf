#include "widgets/NumberFields.h"

#include "numbers/Numbers.h"
#include "widgets/FieldExit.h"
#include "widgets/TypedKey.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>

#include <cmath>

namespace waypost {
namespace {

constexpr char16_t kBackspace = 8;
constexpr int kDaysInAYear = 365;
constexpr int kPercentMaximum = 100;

const QString kNumbersOnlyKey = QStringLiteral("Plese Enter Numbers Only");

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<double> readGroupedNumber(const QString& text) {
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d[\d,]*)?(\.\d*)?\s*$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(2).size() < 2)) return std::nullopt;
    QString plain = text.trimmed();
    plain.remove(u',');
    return numbers::parseLenient(plain.toStdString());
}

// ---------------------------------------------------------------- NumberField

NumberField::NumberField(Prompter& prompter, QLineEdit* field, QObject* parent, QString refusedText)
    : QObject(parent), m_prompter(prompter), m_field(field), m_refusedText(std::move(refusedText)) {
    field->installEventFilter(this);
    auto* exit = new FieldExit(field, this);
    connect(exit, &FieldExit::entered, this, &NumberField::focused);
    connect(exit, &FieldExit::left, this, &NumberField::validate);
}

bool NumberField::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto code = typedCharacter(*static_cast<QKeyEvent*>(event));
        if (code && !isDigit(*code) && *code != u'.' && *code != u',' && *code != kBackspace) {
            m_prompter.beep();
            m_prompter.message(kNumbersOnlyKey);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void NumberField::validate() {
    const std::optional<double> value = readGroupedNumber(m_field->text());
    if (!value) {
        m_prompter.message(QStringLiteral("Please Enter Numbers Only"), QStringLiteral("Numbers Only!"),
                           Prompter::Icon::Warning);
        m_field->setText(m_refusedText);
        m_field->setFocus();
        m_field->selectAll();
        return;
    }
    m_field->setText(QString::fromStdString(numbers::formatPattern(*value, "##,##0.00")));
}

// ---------------------------------------------------------------- PercentSlider

PercentSlider::PercentSlider(Prompter& prompter, QSlider* slider, QLineEdit* box, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_slider(slider), m_box(box) {
    slider->setRange(0, kPercentMaximum);
    box->installEventFilter(this);
    connect(slider, &QSlider::valueChanged, this, [this](int value) { m_box->setText(percentText(value)); });
    auto* boxExit = new FieldExit(box, this);
    connect(boxExit, &FieldExit::left, this, &PercentSlider::boxLeft);
    connect(boxExit, &FieldExit::entered, this, &PercentSlider::focused);
    connect(new FieldExit(slider, this), &FieldExit::entered, this, &PercentSlider::focused);
}

QString PercentSlider::percentText(int value) {
    return QString::fromStdString(numbers::formatPercent(static_cast<double>(value) / kPercentMaximum));
}

bool PercentSlider::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto code = typedCharacter(*static_cast<QKeyEvent*>(event));
        if (code && !isDigit(*code) && *code != u'.' && *code != u'%' && *code != kBackspace) {
            m_prompter.beep();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PercentSlider::boxLeft() {
    const double value = numbers::parseLenient(m_box->text().toStdString());
    if (!numbers::wholeWithin(value, 0, kPercentMaximum)) {
        m_prompter.message(QStringLiteral("Percent Contained must be from 0 to 100; %1 cannot be shown on the slider.")
                               .arg(m_box->text()),
                           kAppTitle, Prompter::Icon::Warning);
        m_box->setText(percentText(m_slider->value()));
        m_box->setFocus();
        m_box->selectAll();
        return;
    }
    const int whole = static_cast<int>(*numbers::wholeWithin(value, 0, kPercentMaximum));
    if (whole == m_slider->value())
        m_box->setText(percentText(whole));
    else
        m_slider->setValue(whole);  // the box follows
}

// ---------------------------------------------------------------- DateField

QDate readReportDate(const QString& text, const QString& format) {
    QDate date = QDate::fromString(text, format);
    // A two-digit year is read from 1950 to 2049.
    if (date.isValid() && !format.contains(QLatin1String("yyyy")) && date.year() < 1950) date = date.addYears(100);
    return date;
}

DateVerdict judgeReportDate(const QString& text, const QString& format, const QDate& today) {
    if (text.isEmpty()) return DateVerdict::Empty;
    const QDate date = readReportDate(text, format);
    if (!date.isValid()) return DateVerdict::Invalid;
    const qint64 days = today.daysTo(date);
    if (days < -kDaysInAYear) return DateVerdict::TooOld;
    if (days > 0) return DateVerdict::Future;
    return DateVerdict::Accepted;
}

DateField::DateField(Prompter& prompter, const Clock& clock, QLineEdit* field, QString format,
                     DateQuestions questions, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_clock(clock), m_field(field), m_format(std::move(format)),
      m_questions(std::move(questions)) {
    auto* exit = new FieldExit(field, this);
    connect(exit, &FieldExit::entered, this, &DateField::focused);
    connect(exit, &FieldExit::left, this, &DateField::validate);
}

QString DateField::text(const QLineEdit* field) {
    const QString shown = field->text();
    for (const QChar c : shown)
        if (c.isDigit()) return shown;
    return QString();
}

void DateField::validate() {
    const auto keepFocus = [this] {
        m_field->setFocus();
        m_field->selectAll();
    };
    const QDate today = m_clock.today();
    const DateVerdict verdict = judgeReportDate(text(m_field), m_format, today);
    if (verdict != DateVerdict::Empty && verdict != DateVerdict::Invalid && !m_questions.futureYear.isEmpty()) {
        const int years = readReportDate(text(m_field), m_format).year() - today.year();
        if (years >= 1) {
            m_prompter.beep();
            m_prompter.message(m_questions.futureYear);
            keepFocus();
            return;
        }
        if (years < -1 && m_prompter.question(m_questions.yearsAgo, m_questions.yearsAgoTitle) != Prompter::Answer::Yes) {
            keepFocus();
            return;
        }
    }
    if (verdict == DateVerdict::Empty && m_questions.mayStayEmpty) return;
    switch (verdict) {
    case DateVerdict::Accepted: return;
    case DateVerdict::Empty:  // an emptied date would be written empty
    case DateVerdict::Invalid:
        m_prompter.beep();
        m_prompter.message(QStringLiteral("You must enter a valid date"));
        if (m_questions.invalidBecomesToday) m_field->setText(today.toString(m_format));
        keepFocus();
        return;
    case DateVerdict::TooOld:
    case DateVerdict::Future: {
        const bool old = verdict == DateVerdict::TooOld;
        const Prompter::Answer answer =
            m_prompter.question(old ? m_questions.tooOld : m_questions.future,
                                old ? m_questions.tooOldTitle : m_questions.futureTitle, Prompter::Icon::Critical,
                                Prompter::Answer::No);
        if (answer != Prompter::Answer::Yes) {
            m_field->clear();
            keepFocus();
        }
        return;
    }
    }
}

DateQuestions wildfireEntryDateQuestions() {
    return {QStringLiteral("Entry Date more than one year old! Accept?"), QStringLiteral("Confirm Entry Start Date"),
            QStringLiteral("Entry Date in the future! Accept?"), QStringLiteral("Confirm Fire Start Date")};
}

DateQuestions wildfireStartDateQuestions() {
    return {QStringLiteral("Fire Start Date more than one year old! Accept?"), QStringLiteral("Confirm Fire Start Date"),
            QStringLiteral("Fire Start Date in the future! Accept?"), QStringLiteral("Confirm Fire Start Date")};
}

}  // namespace waypost
