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

/// The value a twelve-decimal label holds.
double twelveDecimals(double v) { return QString::number(v, 'f', 12).toDouble(); }

}  // namespace

class DegreePageTest : public QObject {
    Q_OBJECT

private slots:
    // Refused keys are dropped with a beep and no message (which keys the filter
    // takes is ConversionRulesTest's); the navigation keys pass. A refused value gets
    // its message and the field's reset text, selected and not advanced from, and
    // never reaches the totals; a refused character pasted is dropped with a beep.
    void keysAndRefusedValues() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));
        f.typeInto("txtDDLongDD", QStringLiteral("x123y"));
        QLineEdit* digits = f.edit("txtDDLongDD");
        QCOMPARE(digits->text(), QStringLiteral("123"));
        // A full field with the caret before its end does not advance.
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left, Qt::Key_4}) QTest::keyClick(digits, key);
        QCOMPARE(digits->text(), QStringLiteral("4123"));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLongDD"));
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_Delete}) QTest::keyClick(digits, key);
        QTest::keyClick(digits, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(digits->selectedText(), QStringLiteral("123"));

        f.typeInto("txtDDLatD", QStringLiteral("9"));
        f.typeOn(QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{conversion::kLatitudeRangeMessage});
        QCOMPARE(f.texts({"txtDDLatD", "lblDDLat", "lblddlatraw"}), QStringList({"00", "00.000000", "00.000000000000"}));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLatD"));  // a reset does not advance
        f.typeOn(QStringLiteral("3"));  // the reset text is selected: the next key types over it
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("3"));
        f.paste("txtDDLatD", QStringLiteral("4a"));
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("4"));
        QCOMPARE(f.prompter.beeps(), 3);  // x, y and the a pasted
        QCOMPARE(f.prompter.messageTexts().size(), 1);  // the refused value's: a refused character beeps only
    }

    // Degrees of 90 (latitude) or 180 (longitude) zero and disable the rest of
    // the coordinate until the group is chosen again. Choosing a group, here from
    // the township group, opens its own fields only; texts stay as they were.
    void poleAndAntimeridianLockAndChoosingAGroup() {
        const struct {
            const char *option, *group, *degrees, *keys;
            QStringList locked, texts;
        } cases[] = {
            {"optDD", "txtDD", "txtDDLatD", "90", {"txtDDLatDD"}, {"0000"}},
            {"OptDDM", "txtDMM", "txtDMMlatdd", "90", {"txtDMMlatmm", "txtDMMlatdm"}, {"00", "0000"}},
            {"optDMS", "txtDMS", "txtDMSlongdd", "180", {"txtDMSlongmm", "txtDMSlongss", "txtDMSlongssd"},
             {"00", "00", "0"}},
        };
        for (const auto& c : cases) {
            PageFixture f;
            QVERIFY(f.choose(c.option));
            // Something in the other fields first, so that the lock has to zero them.
            for (const QString& name : c.locked) f.edit(qPrintable(name))->setText(QStringLiteral("7"));
            f.typeInto(c.degrees, QString::fromLatin1(c.keys));
            f.typeInto(c.degrees, QStringLiteral("45"));  // no longer the pole or the antimeridian: still locked
            QCOMPARE(f.enabled(c.locked), QStringList());
            f.click("optTRS");
            f.click(c.option);
            const auto fields = f.page->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^txtD")));
            for (QLineEdit* field : fields) QCOMPARE(field->isEnabled(), field->objectName().startsWith(c.group));
            QCOMPARE(f.texts(c.locked), c.texts);  // as the lock zeroed them
        }
    }

    // Coordinate totals of the notations, typed key by key from the group's first
    // field without a Tab: a full field hands the focus on with the next text
    // selected. (D.D is worked out in resultsAfterEveryKey, which also checks the
    // texts of the results.)
    void coordinateTotals() {
        const struct {
            const char *option, *keys;  // the blanks only separate the fields
            double latitude, longitude;
        } cases[] = {
            {"OptDDM", "081 30 0000 30 15 5", 30 + 15.5 / 60, -81.5},
            {"optDMS", "084 16 50 52 30 15 30 50", 30 + 15.0 / 60 + 30.5 / 3600, -(84 + 16.0 / 60 + 50.52 / 3600)},
            // Minutes and seconds of 60 are accepted, so this lies just past the pole; it is still converted.
            {"optDMS", "000 00 00 00 89 60 60 99", 89 + 1 + 1.0 / 60 + 0.99 / 3600, 0},
        };
        for (const auto& c : cases) {
            PageFixture f;
            QVERIFY(f.choose(c.option));
            f.typeOn(QString::fromLatin1(c.keys).remove(QLatin1Char(' ')));
            QVERIFY2(std::abs(f.page->latitude() - c.latitude) < 1e-12, c.keys);
            QVERIFY2(std::abs(f.page->longitude() - c.longitude) < 1e-12, c.keys);
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
            // The texts written with printf, so that they do not share code with the page.
            QCOMPARE(handed.latitude(), QString::asprintf("%09.6f", lat));
            QCOMPARE(handed.longitude(), lon == 0 ? QStringLiteral("000.000000") : QString::asprintf("%011.6f", lon));
            oracle.ProjectAlbers(lat, lon);
            QCOMPARE(got.albersX, std::trunc(oracle.AlbersX));
            QCOMPARE(got.albersY, std::trunc(oracle.AlbersY));
            QCOMPARE(got.usng, oracle.USNGFromLatLong(twelveDecimals(lat), twelveDecimals(lon)));
            QCOMPARE(got.utm, oracle.UTMText);
            // What the page shows is the value it handed on.
            QCOMPARE(f.texts({"lblAlbersY", "lblUSNG"}),
                     QStringList({QString::fromStdString(got.albersYText()), QString::fromStdString(got.usng)}));
        }
        // The grid reference of 30.5 N, 84.25 W: every full field handed the focus on to the next.
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        f.mouseClick("cmdclipbrdUSNG");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("16R GU 63941 77408"));
    }

    // A pasted grid reference fills the degrees-minutes-seconds fields, and the
    // page goes on as if they had been typed; a text not read says why, with no box.
    // A new caller: the fields get their start texts, which are handed to no one; a
    // caller gone receives nothing while the page goes on converting (a caller the
    // page has no hand-back for is ConversionRulesTest's). Closing hides the page,
    // unchooses every option and keeps what was typed and converted, and the
    // caller, for the next opening.
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
        QVERIFY(second->received.empty());
        QCOMPARE(f.texts({"txtDMSlatdd", "txtDMSlongdd", "lblDDLat", "lblUSNG", "lblTRSres"}),
                 QStringList({"00", "000", "", "", ""}));
        QVERIFY(!f.child("cmdclipbrdUSNG")->isEnabled());
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("2"));
        QCOMPARE(first.received.size(), firstCount);  // the window before keeps its location: no zeros, nothing new
        QVERIFY(!second->received.empty());
        QCOMPARE(second->received.back().latitude(), QStringLiteral("02.000000"));
        second.reset();
        QCOMPARE(f.page->caller(), nullptr);
        f.typeInto("txtDDLatDD", QStringLiteral("5"));
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("02.500000"));

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
        QCOMPARE(f.texts({"txtTown", "txtSection", "txtDDLatD", "lblDDLat"}), QStringList({"00", "0000", "2", "02.500000"}));
        QCOMPARE(f.page->CallerName(), QStringLiteral("frmDBMan"));
    }
};

QTEST_MAIN(DegreePageTest)
#include "DegreePageTest.moc"
