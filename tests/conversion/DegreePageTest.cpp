// The conversion page with degree entry: key filter, checks, lock, totals,
// auto-advance, results, hand-back to the caller, clipboard and closing.
// Every test types into real widgets offscreen and answers prompts with the
// scripted prompter.

#include "PageFixture.h"

#include "engine/lltoAlbers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cmath>
#include <tuple>

using namespace waypost;
using waypost::testing::PageFixture;
using waypost::testing::RecordingReceiver;

namespace {

const QString kLat = QStringLiteral("Latitude must be between 00 and 90");

// Expected label texts, written with printf so that they do not share code with the page.
QString latitudeText(double v) { return QString::asprintf("%09.6f", v); }
QString longitudeText(double v) { return v == 0 ? QStringLiteral("000.000000") : QString::asprintf("%011.6f", v); }
/// The value a twelve-decimal label holds.
double twelveDecimals(double v) { return QString::number(v, 'f', 12).toDouble(); }
/// The leading digits (and one point) of a field's text; empty is 0.
double leading(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\d*\\.?\\d*"));
    return number.match(text).captured().toDouble();
}

}  // namespace

class DegreePageTest : public QObject {
    Q_OBJECT

private slots:
    // A pasted grid reference fills the degrees-minutes-seconds fields, and the
    // page goes on as if they had been typed: totals, results, hand-back.
    void aLocationInAnyFormFillsTheDegreesFields() {
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        QLineEdit* any = f.field("txtAnyLocation");
        any->setFocus();
        const QString reference = QStringLiteral("16R GU 61158 70495");
        QGuiApplication::clipboard()->setText(reference);
        QTest::keyClick(any, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(any, Qt::Key_Return);
        QCOMPARE(f.text("lblAnyStatus"), QStringLiteral("Read as US National Grid, 1 m"));
        QVERIFY(f.child<QRadioButton>("optDMS")->isChecked());
        QCOMPARE(f.texts({"txtDMSlatdd", "txtDMSlatmm", "txtDMSlatss", "txtDMSlatssd", "txtDMSlongdd", "txtDMSlongmm",
                          "txtDMSlongss", "txtDMSlongssd"}),
                 QStringList({"30", "26", "17", "87", "084", "16", "50", "52"}));
        // The results lead back to the reference, which stays in its field to be compared.
        QCOMPARE(f.texts({"lblUSNG", "txtAnyLocation"}), QStringList({reference, reference}));
        QVERIFY(!caller.received.empty());
        QCOMPARE(caller.received.back().latitude(), f.text("lblDDLat"));

        any->setText(QStringLiteral("N30 61 W84"));
        QTest::keyClick(any, Qt::Key_Return);
        QVERIFY(f.text("lblAnyStatus").startsWith(QStringLiteral("Not read: 61 minutes")));
        QCOMPARE(f.prompter.messageTexts(), QStringList());  // no message box
        QTest::keyClick(any, Qt::Key_Escape);
        QCOMPARE(any->text(), QString());
    }

    // A group opens its own fields only and leaves the township group; the
    // focus goes to its longitude degrees, and texts stay as they were.
    void choosingAGroup() {
        PageFixture f;
        f.field("txtDMSlatdd")->setText(QStringLiteral("12"));
        QVERIFY(f.show());
        const auto degreeFields = f.page->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^txtD")));
        QCOMPARE(degreeFields.size(), 18);
        for (const auto& [option, prefix, first] : {std::tuple{"optDD", "txtDD", "txtDDlongD"},
                                                    {"OptDDM", "txtDMM", "txtDMMlongdd"},
                                                    {"optDMS", "txtDMS", "txtDMSlongdd"}}) {
            f.click("optTRS");
            f.click(option);
            for (QLineEdit* field : degreeFields) QCOMPARE(field->isEnabled(), field->objectName().startsWith(prefix));
            QCOMPARE(f.focusName(), QString::fromLatin1(first));
            // The section search works from the degrees.
            QCOMPARE(f.enabled({"txtTown", "optTSouth", "frmsubSec", "cmdTRScon", "cmdFindSTR"}), QStringList{"cmdFindSTR"});
        }
        QCOMPARE(f.text("txtDMSlatdd"), QStringLiteral("12"));
    }

    // Refused keys are dropped with a beep and no message; backspace, the
    // decimal point and the navigation keys pass.
    void keystrokes() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));
        f.typeAll({"txtDDlongD=12\b", "txtDDLatD=8.", "txtDDLongDD=x123y"});
        QLineEdit* digits = f.field("txtDDLongDD");
        QCOMPARE(f.texts({"txtDDlongD", "txtDDLatD", "txtDDLongDD"}), QStringList({"1", "8.", "123"}));
        QCOMPARE(f.prompter.beeps(), 2);
        // A full field with the caret before its end does not advance.
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_4}) QTest::keyClick(digits, key);
        QCOMPARE(digits->text(), QStringLiteral("4123"));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLongDD"));
        QCOMPARE(f.page->longitude(), -1.4123);
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_Delete}) QTest::keyClick(digits, key);
        QTest::keyClick(digits, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(digits->selectedText(), QStringLiteral("123"));
        QCOMPARE(f.prompter.beeps(), 2);
        // Return and Escape type control characters the filter refuses.
        QTest::keyClick(digits, Qt::Key_Return);
        QTest::keyClick(digits, Qt::Key_Escape);
        QCOMPARE(f.prompter.beeps(), 4);
        QVERIFY(f.prompter.messageTexts().isEmpty());
        // A refused value: the message, then the field's reset text (empty here, the start text in D.D).
        f.click("OptDDM");
        f.typeInto("txtDMMlatdd", QStringLiteral("91"));
        QCOMPARE(f.text("txtDMMlatdd"), QString());
        QCOMPARE(f.prompter.messageTexts(), QStringList{kLat});
    }

    // A refused value, typed or pasted, is reset and never reaches the totals.
    void aRefusedValueNeverReachesTheTotals() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));
        QLineEdit* degrees = f.field("txtDDLatD");
        f.typeInto("txtDDLatD", QStringLiteral("9"));
        QCOMPARE(f.page->latitude(), 9.0);
        f.typeOn(QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{kLat});
        QCOMPARE(f.texts({"txtDDLatD", "lblDDLat", "lblddlatraw"}), QStringList({"00", "00.000000", "00.000000000000"}));
        QCOMPARE(f.page->latitude(), 0.0);
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLatD"));  // a reset does not advance
        f.typeOn(QStringLiteral("3"));  // the reset text is selected: the next key types over it
        QCOMPARE(degrees->text(), QStringLiteral("3"));
        QCOMPARE(f.page->latitude(), 3.0);

        QGuiApplication::clipboard()->setText(QStringLiteral("95"));
        degrees->selectAll();
        QTest::keyClick(degrees, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.prompter.messageTexts(), QStringList({kLat, kLat}));
        QCOMPARE(degrees->text(), QStringLiteral("00"));
        QCOMPARE(f.page->latitude(), 0.0);
        QGuiApplication::clipboard()->setText(QStringLiteral("4a"));
        degrees->selectAll();
        QTest::keyClick(degrees, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(degrees->text(), QStringLiteral("4"));
        QCOMPARE(f.prompter.beeps(), 1);
        QCOMPARE(f.prompter.messageTexts().size(), 2);  // a refused character beeps only
        QCOMPARE(f.page->latitude(), 4.0);
    }

    // Degrees of 90 (latitude) or 180 (longitude) zero and disable the rest of
    // the coordinate until the group is chosen again.
    void poleAndAntimeridianLock() {
        const struct {
            const char* option;
            const char* degrees;
            QString keys;
            QStringList locked, texts;
            double latitude, longitude;
        } cases[] = {
            {"OptDDM", "txtDMMlatdd", "90", {"txtDMMlatmm", "txtDMMlatdm"}, {"00", "0000"}, 90, -0.0},
            {"optDMS", "txtDMSlongdd", "180", {"txtDMSlongmm", "txtDMSlongss", "txtDMSlongssd"}, {"00", "00", "0"}, 0,
             -180},
        };
        for (const auto& c : cases) {
            PageFixture f;
            QVERIFY(f.choose(c.option));
            // Something in the other fields first, so that the lock has to zero them.
            for (const QString& name : c.locked) f.field(qPrintable(name))->setText(QStringLiteral("7"));
            f.typeInto(c.degrees, c.keys);
            QCOMPARE(f.texts(c.locked), c.texts);
            QCOMPARE(f.enabled(c.locked), QStringList());
            QCOMPARE(f.page->latitude(), c.latitude);
            QCOMPARE(f.page->longitude(), c.longitude);
            QVERIFY(f.prompter.messageTexts().isEmpty());
            f.typeInto(c.degrees, QStringLiteral("45"));
            QCOMPARE(f.enabled(c.locked), QStringList());
            f.click(c.option);
            QCOMPARE(f.enabled(c.locked), c.locked);
        }
    }

    // Coordinate totals of the notations, typed key by key (D.D in resultsAfterEveryKey).
    void coordinateTotals() {
        const struct {
            const char* option;
            QStringList typing;
            double latitude, longitude;
        } cases[] = {
            {"OptDDM", {"txtDMMlongdd=081", "txtDMMlongmm=30", "txtDMMlatdd=30", "txtDMMlatmm=15", "txtDMMlatdm=5"},
             30 + 15.5 / 60, -81.5},
            {"optDMS",
             {"txtDMSlongdd=084", "txtDMSlongmm=16", "txtDMSlongss=50", "txtDMSlongssd=52", "txtDMSlatdd=30",
              "txtDMSlatmm=15", "txtDMSlatss=30", "txtDMSlatssd=50"},
             30 + 15.0 / 60 + 30.5 / 3600, -(84 + 16.0 / 60 + 50.52 / 3600)},
            // Minutes and seconds of 60 are accepted, so this lies just past the pole; it is still converted.
            {"optDMS", {"txtDMSlatdd=89", "txtDMSlatmm=60", "txtDMSlatss=60", "txtDMSlatssd=99"},
             89 + 1 + 1.0 / 60 + 0.99 / 3600, 0},
            // A typed decimal point in degrees: the whole number, a half to even.
            {"optDD", {"txtDDlongD=8.5"}, 0, -8},
        };
        for (const auto& c : cases) {
            PageFixture f;
            RecordingReceiver caller;
            f.page->startLocating(&caller, QStringLiteral("wpFac"));
            QVERIFY(f.choose(c.option));
            f.typeAll(c.typing);
            QVERIFY2(std::abs(f.page->latitude() - c.latitude) < 1e-12, qPrintable(c.typing.join(' ')));
            QVERIFY2(std::abs(f.page->longitude() - c.longitude) < 1e-12, qPrintable(c.typing.join(' ')));
            QCOMPARE(f.texts({"lblDDLat", "lblDDLong", "lblddlatraw"}),
                     QStringList({latitudeText(c.latitude), longitudeText(c.longitude),
                                  QString::asprintf("%015.12f", c.latitude)}));
            QVERIFY(!f.text("lblUSNG").isEmpty());
            QVERIFY(!caller.received.empty());
            QCOMPARE(caller.received.back().latitude(), latitudeText(c.latitude));
            QVERIFY(f.prompter.calls().empty());
        }
    }

    // A full field with the caret at its end hands the focus on, with the next text selected.
    void autoAdvance() {
        PageFixture f;
        QVERIFY(f.show());
        const char* const cases[][4] = {
            // option, field, keys, the field with the focus afterwards
            {"optDD", "txtDDLongDD", "25", "txtDDLongDD"},  // not full
            {"OptDDM", "txtDMMlongmm", "60", "txtDMMlongdm"},
            {"OptDDM", "txtDMMlatmm", "61", "txtDMMlatmm"},  // refused
            {"optDMS", "txtDMSlongssd", "52", "txtDMSlatdd"},
        };
        for (const auto& [option, field, keys, focus] : cases) {
            f.click(option);
            f.typeInto(field, QString::fromLatin1(keys));
            QCOMPARE(f.focusName(), QString::fromLatin1(focus));
            if (QLatin1String(focus) != QLatin1String(field)) QCOMPARE(f.field(focus)->selectedText(), f.text(focus));
        }
    }

    // Every handed-back value, after every key, against values worked out here; a
    // full field hands the focus on, so the whole location is typed without a Tab.
    void resultsAfterEveryKey() {
        PageFixture f;
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        QVERIFY(caller.received.empty());
        QVERIFY(f.choose("optDD"));
        QVERIFY(!f.child("cmdclipbrdUSNG")->isEnabled());  // nothing to copy until a reference is shown
        engine::lltoAlbers oracle;
        for (const QString& entry : {"txtDDlongD=084", "txtDDLongDD=2500", "txtDDLatD=30", "txtDDLatDD=5000"}) {
            QCOMPARE(f.focusName(), entry.section('=', 0, 0));
            for (QChar key : entry.section('=', 1)) {
                const std::size_t before = caller.received.size();
                f.typeOn(QString(key));
                QVERIFY2(caller.received.size() > before && caller.received.back().location, qPrintable(entry));
                const engine::Location& got = *caller.received.back().location;
                const double lat = leading(f.text("txtDDLatD")) + leading("0." + f.text("txtDDLatDD"));
                const double lon = -leading(f.text("txtDDlongD")) - leading("0." + f.text("txtDDLongDD"));
                QCOMPARE(caller.received.back().latitude(), latitudeText(lat));
                QCOMPARE(caller.received.back().longitude(), longitudeText(lon));
                oracle.ProjectAlbers(lat, lon);
                QCOMPARE(got.albersX, std::trunc(oracle.AlbersX));
                QCOMPARE(got.albersY, std::trunc(oracle.AlbersY));
                QCOMPARE(got.usng, oracle.USNGFromLatLong(twelveDecimals(lat), twelveDecimals(lon)));
                QCOMPARE(got.utm, oracle.UTMText);
                QCOMPARE(caller.received.back().section, SectionHandover::KeptByWindow);  // the facilities window
                QCOMPARE(got, *f.page->location());
                // What the page shows is the value it handed on.
                QCOMPARE(f.texts({"lblAlbersY", "lblUSNG"}),
                         QStringList({QString::fromStdString(got.albersYText()), QString::fromStdString(got.usng)}));
                QVERIFY(f.child("cmdclipbrdUSNG")->isEnabled());
            }
        }
        QVERIFY(!f.focusName().startsWith(QLatin1String("txtDD")));
        const testing::Handed& last = caller.received.back();
        QCOMPARE(QStringList({last.latitude(), last.longitude(), last.usng()}),
                 QStringList({"30.500000", "-084.250000", "16R GU 63941 77408"}));
        QCOMPARE(last.location->utm, std::string("16R 763941 3377408"));
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        f.mouseClick("cmdclipbrdUSNG");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("16R GU 63941 77408"));
    }

    void startLocatingResetsWithoutHandingTheStartTextsOn() {
        PageFixture f;
        RecordingReceiver first;
        auto second = std::make_unique<RecordingReceiver>();
        f.page->startLocating(&first, QStringLiteral("wpFac"));
        QVERIFY(f.choose("optDD"));
        f.typeAll({"txtDDLatD=30", "txtDDlongD=084"});
        const std::size_t firstCount = first.received.size();
        QVERIFY(firstCount > 0);

        f.page->startLocating(second.get(), QStringLiteral("frmDBMan"));
        QCOMPARE(f.page->caller(), static_cast<QObject*>(second.get()));
        QCOMPARE(f.page->CallerName(), QStringLiteral("frmDBMan"));
        QCOMPARE(first.received.size(), firstCount);  // the window before keeps its location: no zeros
        QVERIFY(second->received.empty());
        // The fields show their start texts again, the results nothing.
        QCOMPARE(f.texts({"txtDDLatD", "txtDDlongD", "lblDDLat", "lblUSNG", "lblTRSres"}),
                 QStringList({"00", "000", "", "", ""}));
        QVERIFY(!f.child("cmdclipbrdUSNG")->isEnabled());

        f.typeInto("txtDDLatD", QStringLiteral("2"));
        QCOMPARE(first.received.size(), firstCount);
        QVERIFY(!second->received.empty());
        QCOMPARE(second->received.back().latitude(), QStringLiteral("02.000000"));
        QCOMPARE(second->received.back().section, SectionHandover::Carried);  // the wildfire window

        // A caller destroyed while locating receives nothing more; the page goes on converting.
        second.reset();
        QCOMPARE(f.page->caller(), nullptr);
        f.typeInto("txtDDLatDD", QStringLiteral("5"));
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("02.500000"));

        // A window the page has no hand-back for receives nothing.
        RecordingReceiver other;
        f.page->startLocating(&other, QStringLiteral("frmAbout"));
        f.typeInto("txtDDLatD", QStringLiteral("3"));
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("03.000000"));
        QVERIFY(other.received.empty());
    }

    // Closing hides the page and keeps what was typed and converted for the next opening.
    void closingSequence() {
        PageFixture f;
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        QVERIFY(f.choose("optDD"));
        f.typeAll({"txtDDLatD=30", "txtDDLatDD=5"});
        f.click("optTRS");
        f.click("optTSouth");
        f.typeAll({"txtTown=12", "txtSection=5"});
        f.mouseClick("cmdconClose");
        QVERIFY(!f.page->isVisible());
        for (const char* option : {"optDD", "OptDDM", "optDMS", "optTRS"})
            QVERIFY2(!f.child<QRadioButton>(option)->isChecked(), option);
        QCOMPARE(f.enabled({"txtDDLatD", "txtDMSlongdd", "txtTown", "optTSouth", "frmsubSec", "cmdclipbrdUSNG",
                            "cmdFindSTR"}),
                 QStringList());
        QCOMPARE(f.texts({"txtTown", "txtSection", "txtDDLatD", "lblDDLat"}), QStringList({"00", "0000", "30", "30.500000"}));
        QCOMPARE(f.page->latitude(), 30.5);
        QCOMPARE(f.page->CallerName(), QStringLiteral("wpFac"));
    }
};

QTEST_MAIN(DegreePageTest)
#include "DegreePageTest.moc"
