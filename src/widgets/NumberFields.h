#pragma once
// Number, percent and date fields as the feature windows check them.

#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <optional>

class QLineEdit;
class QSlider;

namespace waypost {

/// A number written with thousands separators and one decimal point
/// ("1,234.50" -> 1234.5, ".5" -> 0.5); nothing when \p text is no such number.
std::optional<double> readGroupedNumber(const QString& text);

/// A number of acres or miles: only digits, "." and "," may be typed (any
/// other key beeps and shows "Plese Enter Numbers Only"); leaving the field
/// with a text that is no number shows "Please Enter Numbers Only" ("Numbers
/// Only!", warning icon), puts \p refusedText ("0.00" unless given) in,
/// selects it and keeps the focus; a number is shown as "##,##0.00" once the
/// field is left.
class NumberField final : public QObject {
    Q_OBJECT
public:
    NumberField(Prompter& prompter, QLineEdit* field, QObject* parent,
                QString refusedText = QStringLiteral("0.00"));

signals:
    void focused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void validate();

    Prompter& m_prompter;
    QLineEdit* m_field;
    QString m_refusedText;
};

/// A slider from 0 to 100 and the box that shows its value as a percent
/// ("45.00%"). Moving the slider writes the box; leaving the box moves the
/// slider to the box's value rounded to a whole number. Digits, the decimal
/// point, "%" and Backspace may be typed; a value outside 0 to 100 is refused
/// with a message and the box shows the slider's value again. focused() tells
/// when the slider or its box is entered.
class PercentSlider final : public QObject {
    Q_OBJECT
public:
    PercentSlider(Prompter& prompter, QSlider* slider, QLineEdit* box, QObject* parent);

    /// The box's text for a slider value: 45 -> "45.00%".
    static QString percentText(int value);

signals:
    void focused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void boxLeft();

    Prompter& m_prompter;
    QSlider* m_slider;
    QLineEdit* m_box;
};

/// What a report date's check makes of a date field's text on a day.
enum class DateVerdict {
    Empty,     ///< nothing typed: accepted (the enable checks ask for what is needed)
    Invalid,   ///< not a date
    Accepted,  ///< from 365 days before the day to the day itself
    TooOld,    ///< more than 365 days before: to be confirmed
    Future,    ///< after the day: to be confirmed
};
DateVerdict judgeReportDate(const QString& text, const QString& format, const QDate& today);
/// \p text as a date in \p format; a two-digit year ("yy") lies from 1950 to 2049.
QDate readReportDate(const QString& text, const QString& format);

/// The questions of a report date field.
struct DateQuestions {
    QString tooOld{}, tooOldTitle{};
    QString future{}, futureTitle{};
    /// Checks of the year first, when set: a later year is refused with
    /// futureYear; a year more than one before asks yearsAgo (Yes goes on to
    /// the checks of the day, anything else keeps the focus).
    QString futureYear{};
    QString yearsAgo{}, yearsAgoTitle{};
    /// A text that is no date is replaced by today's date (else it stays).
    bool invalidBecomesToday = false;
    /// An empty field may be left (a date that may stay unknown); otherwise
    /// empty counts as no date, so an emptied date is never written.
    bool mayStayEmpty = false;
};

/// The questions about a wildfire report's entry and start dates (the
/// wildfire window and the drawing window ask the same).
DateQuestions wildfireEntryDateQuestions();
DateQuestions wildfireStartDateQuestions();

/// A masked date field ("00-00-0000" shown as "__-__-____"), checked when it
/// is left: a text that is no date beeps, says "You must enter a valid date"
/// and keeps the focus; a date more than a year old or in the future asks
/// (Yes/No, critical icon, No the default) and anything but Yes empties the
/// field and keeps the focus.
class DateField final : public QObject {
    Q_OBJECT
public:
    DateField(Prompter& prompter, const Clock& clock, QLineEdit* field, QString format, DateQuestions questions,
              QObject* parent);

    /// The field's text, or empty when no digit has been typed.
    static QString text(const QLineEdit* field);

signals:
    void focused();

private:
    void validate();

    Prompter& m_prompter;
    const Clock& m_clock;
    QLineEdit* m_field;
    QString m_format;
    DateQuestions m_questions;
};

}  // namespace waypost
