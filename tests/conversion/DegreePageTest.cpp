// The conversion page with degree entry: groups, key filter, checks, lock,
// totals, auto-advance, results, hand-back to the caller, clipboard and closing.
// Every test types into real widgets offscreen and answers prompts with the
// scripted prompter.

#include "PageFixture.h"

#include "engine/lltoAlbers.h"

#include <QRegularExpression>

#include <cmath>

using namespace waypost;
using waypost::testing::PageFixture;
using waypost::testing::RecordingReceiver;

namespace {

const QString& kLat = conversion::kLatitudeRangeMessage;

// Expected label texts, written with printf so that they do not share code with the page.
QString latitudeText(double v) { return QString::asprintf("%09.6f", v); }
QString longitudeText(double v) { return v == 0 ? QStringLiteral("000.000000") : QString::asprintf("%011.6f", v); }
/// The value a twelve-decimal label holds.
double twelveDecimals(double v) { return QString::number(v, 'f', 12).toDouble(); }

}  // namespace

class DegreePageTest : public QObject {
    Q_OBJECT

private slots:
    // Refused keys are dropped with a beep and no message; backspace, the decimal
    // point and the navigation keys pass. A refused value, typed or pasted, gets its
    // message and the field's reset text, selected and not advanced from, and never
    // reaches the totals.
    void keysAndRefusedValues() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));
        f.typeAll({"txtDDlongD=12\b", "txtDDLatD=8.", "txtDDLongDD=x123y"});
        QCOMPARE(f.texts({"txtDDlongD", "txtDDLatD", "txtDDLongDD"}), QStringList({"1", "8.", "123"}));
        QCOMPARE(f.prompter.beeps(), 2);
        // A full field with the caret before its end does not advance.
        QLineEdit* digits = f.edit("txtDDLongDD");
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_4}) QTest::keyClick(digits, key);
        QCOMPARE(digits->text(), QStringLiteral("4123"));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLongDD"));
        QCOMPARE(f.page->longitude(), -1.4123);
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_Delete}) QTest::keyClick(digits, key);
        QTest::keyClick(digits, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(digits->selectedText(), QStringLiteral("123"));
        // Return and Escape type control characters the filter refuses.
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(digits, key);
        QCOMPARE(f.prompter.beeps(), 4);
        QVERIFY(f.prompter.messageTexts().isEmpty());

        f.typeInto("txtDDLatD", QStringLiteral("9"));
        f.typeOn(QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{kLat});
        QCOMPARE(f.texts({"txtDDLatD", "lblDDLat", "lblddlatraw"}), QStringList({"00", "00.000000", "00.000000000000"}));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLatD"));  // a reset does not advance
        f.typeOn(QStringLiteral("3"));  // the reset text is selected: the next key types over it
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("3"));
        f.paste("txtDDLatD", QStringLiteral("95"));
        QCOMPARE(f.prompter.messageTexts(), QStringList({kLat, kLat}));
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("00"));
        QCOMPARE(f.page->latitude(), 0.0);
        f.paste("txtDDLatD", QStringLiteral("4a"));
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("4"));
        QCOMPARE(f.prompter.beeps(), 5);
        QCOMPARE(f.prompter.messageTexts().size(), 2);  // a refused character beeps only
        QCOMPARE(f.page->latitude(), 4.0);
    }

    // Degrees of 90 (latitude) or 180 (longitude) zero and disable the rest of
    // the coordinate until the group is chosen again. Choosing a group, here from
    // the township group, opens its own fields only; texts stay as they were.
    void poleAndAntimeridianLockAndChoosingAGroup() {
        const struct {
            const char *option, *group, *degrees, *keys;
            QStringList locked, texts;
            double latitude, longitude;
        } cases[] = {
            {"optDD", "txtDD", "txtDDLatD", "90", {"txtDDLatDD"}, {"0000"}, 90, 0},
            {"OptDDM", "txtDMM", "txtDMMlatdd", "90", {"txtDMMlatmm", "txtDMMlatdm"}, {"00", "0000"}, 90, -0.0},
            {"optDMS", "txtDMS", "txtDMSlongdd", "180", {"txtDMSlongmm", "txtDMSlongss", "txtDMSlongssd"},
             {"00", "00", "0"}, 0, -180},
        };
        for (const auto& c : cases) {
            PageFixture f;
            QVERIFY(f.choose(c.option));
            // Something in the other fields first, so that the lock has to zero them.
            for (const QString& name : c.locked) f.edit(qPrintable(name))->setText(QStringLiteral("7"));
            f.typeInto(c.degrees, QString::fromLatin1(c.keys));
            QCOMPARE(f.texts(c.locked), c.texts);
            QCOMPARE(f.enabled(c.locked), QStringList());
            QCOMPARE(f.page->latitude(), c.latitude);
            QCOMPARE(f.page->longitude(), c.longitude);
            f.typeInto(c.degrees, QStringLiteral("45"));
            QCOMPARE(f.enabled(c.locked), QStringList());
            f.click("optTRS");
            f.click(c.option);
            const auto fields = f.page->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^txtD")));
            QCOMPARE(fields.size(), 18);
            for (QLineEdit* field : fields) QCOMPARE(field->isEnabled(), field->objectName().startsWith(c.group));
            QCOMPARE(f.texts(c.locked), c.texts);
        }
    }

    // Coordinate totals of the notations, typed key by key from the group's first
    // field without a Tab: a full field hands the focus on with the next text
    // selected. (D.D is worked out in resultsAfterEveryKey.)
    void coordinateTotals() {
        const struct {
            const char *option, *keys;  // the blanks only separate the fields
            double latitude, longitude;
        } cases[] = {
            {"OptDDM", "081 30 0000 30 15 5", 30 + 15.5 / 60, -81.5},
            {"optDMS", "084 16 50 52 30 15 30 50", 30 + 15.0 / 60 + 30.5 / 3600, -(84 + 16.0 / 60 + 50.52 / 3600)},
            // Minutes and seconds of 60 are accepted, so this lies just past the pole; it is still converted.
            {"optDMS", "000 00 00 00 89 60 60 99", 89 + 1 + 1.0 / 60 + 0.99 / 3600, 0},
            // A typed decimal point in degrees: the whole number, a half to even.
            {"optDD", "8.5", 0, -8},
        };
        for (const auto& c : cases) {
            PageFixture f;
            QVERIFY(f.choose(c.option));
            f.typeOn(QString::fromLatin1(c.keys).remove(QLatin1Char(' ')));
            QVERIFY2(std::abs(f.page->latitude() - c.latitude) < 1e-12, c.keys);
            QVERIFY2(std::abs(f.page->longitude() - c.longitude) < 1e-12, c.keys);
            QCOMPARE(f.texts({"lblDDLat", "lblDDLong", "lblddlatraw"}),
                     QStringList({latitudeText(c.latitude), longitudeText(c.longitude),
                                  QString::asprintf("%015.12f", c.latitude)}));
            QVERIFY(f.prompter.calls().empty());
        }
    }

    // Every handed-back value, after every key, against values worked out here; a
    // full field hands the focus on, so the whole location is typed without a Tab.
    void resultsAfterEveryKey() {
        PageFixture f;
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        QVERIFY(f.choose("optDD"));
        engine::lltoAlbers oracle;
        for (const QChar key : QStringLiteral("084" "2500" "30" "5000")) {
            const std::size_t before = caller.received.size();
            f.typeOn(QString(key));
            QVERIFY(caller.received.size() > before && caller.received.back().location);
            const testing::Handed& handed = caller.received.back();
            const engine::Location& got = *handed.location;
            // Every field holds digits only here.
            const double lat = f.text("txtDDLatD").toDouble() + ("0." + f.text("txtDDLatDD")).toDouble();
            const double lon = -f.text("txtDDlongD").toDouble() - ("0." + f.text("txtDDLongDD")).toDouble();
            QCOMPARE(handed.latitude(), latitudeText(lat));
            QCOMPARE(handed.longitude(), longitudeText(lon));
            oracle.ProjectAlbers(lat, lon);
            QCOMPARE(got.albersX, std::trunc(oracle.AlbersX));
            QCOMPARE(got.albersY, std::trunc(oracle.AlbersY));
            QCOMPARE(got.usng, oracle.USNGFromLatLong(twelveDecimals(lat), twelveDecimals(lon)));
            QCOMPARE(got.utm, oracle.UTMText);
            QCOMPARE(handed.section, SectionHandover::KeptByWindow);  // the facilities window
            QCOMPARE(got, *f.page->location());
            // What the page shows is the value it handed on.
            QCOMPARE(f.texts({"lblAlbersY", "lblUSNG"}),
                     QStringList({QString::fromStdString(got.albersYText()), QString::fromStdString(got.usng)}));
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

    // A pasted grid reference fills the degrees-minutes-seconds fields, and the
    // page goes on as if they had been typed; a text not read says why, with no box.
    // A new caller: the fields get their start texts, which are handed to no one; a
    // caller gone, or one the page has no hand-back for, receives nothing while the
    // page goes on converting. Closing hides the page, unchooses every option and
    // keeps what was typed and converted, and the caller, for the next opening.
    void anyLocationCallersAndClosing() {
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver first;
        auto second = std::make_unique<RecordingReceiver>();
        f.page->startLocating(&first, QStringLiteral("wpFac"));
        const QString reference = QStringLiteral("16R GU 61158 70495");
        f.paste("txtAnyLocation", reference);
        QLineEdit* any = f.edit("txtAnyLocation");
        QTest::keyClick(any, Qt::Key_Return);
        QCOMPARE(f.text("lblAnyStatus"), QStringLiteral("Read as US National Grid, 1 m"));
        QVERIFY(f.child<QRadioButton>("optDMS")->isChecked());
        QCOMPARE(f.texts({"txtDMSlatdd", "txtDMSlatmm", "txtDMSlatss", "txtDMSlatssd", "txtDMSlongdd", "txtDMSlongmm",
                          "txtDMSlongss", "txtDMSlongssd"}),
                 QStringList({"30", "26", "17", "87", "084", "16", "50", "52"}));
        // The results lead back to the reference, which stays in its field to be compared.
        QCOMPARE(f.texts({"lblUSNG", "txtAnyLocation"}), QStringList({reference, reference}));
        QVERIFY(!first.received.empty() && first.received.back().latitude() == f.text("lblDDLat"));
        any->setText(QStringLiteral("N30 61 W84"));
        QTest::keyClick(any, Qt::Key_Return);
        QVERIFY(f.text("lblAnyStatus").startsWith(QStringLiteral("Not read: 61 minutes")));
        QCOMPARE(f.prompter.messageTexts(), QStringList());
        QTest::keyClick(any, Qt::Key_Escape);
        QCOMPARE(any->text(), QString());

        const std::size_t firstCount = first.received.size();
        f.page->startLocating(second.get(), QStringLiteral("frmDBMan"));
        QCOMPARE(first.received.size(), firstCount);  // the window before keeps its location: no zeros
        QVERIFY(second->received.empty());
        QCOMPARE(f.texts({"txtDMSlatdd", "txtDMSlongdd", "lblDDLat", "lblUSNG", "lblTRSres"}),
                 QStringList({"00", "000", "", "", ""}));
        QVERIFY(!f.child("cmdclipbrdUSNG")->isEnabled());
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("2"));
        QCOMPARE(first.received.size(), firstCount);
        QVERIFY(!second->received.empty());
        QCOMPARE(second->received.back().latitude(), QStringLiteral("02.000000"));
        QCOMPARE(second->received.back().section, SectionHandover::Carried);  // the wildfire window
        second.reset();
        QCOMPARE(f.page->caller(), nullptr);
        f.typeInto("txtDDLatDD", QStringLiteral("5"));
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("02.500000"));
        RecordingReceiver other;
        f.page->startLocating(&other, QStringLiteral("frmAbout"));
        f.typeAll({"txtDDLatD=30", "txtDDLatDD=5"});
        QVERIFY(other.received.empty());

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
        QCOMPARE(f.page->CallerName(), QStringLiteral("frmAbout"));
    }
};

QTEST_MAIN(DegreePageTest)
#include "DegreePageTest.moc"
