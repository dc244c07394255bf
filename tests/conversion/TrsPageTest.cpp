// The conversion page's township, range and section group: fields and their
// filters, the checks on leaving and on entering a field, the keys, the
// preview, the reset, the parts of the section and the quarter-quarter toggle.

#include "PageFixture.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace waypost;
using waypost::testing::PageFixture;

namespace {

const QString kNumbersOnly = QStringLiteral("Plese Enter Numbers Only");
const QString kNorth = QStringLiteral("North Township Must be Less Than 8");
const QString kWest = QStringLiteral("West Range Must be Less Than 35");
const QStringList kTrsFields{"txtTown", "txtRange", "txtSection"};

}  // namespace

class TrsPageTest : public QObject {
    Q_OBJECT

private slots:
    void enteringTheGroup() {
        PageFixture f;
        QVERIFY(f.choose("optTRS"));
        QCOMPARE(f.texts(kTrsFields), QStringList({"00", "00", "0000"}));
        // Township and range wait for a direction, the sixteen for the toggle, the
        // section search and the degrees for a degree group.
        QCOMPARE(f.enabled({"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd", "txtTown",
                            "txtRange", "optNWNW", "cmdFindSTR", "txtDDlongD"}),
                 QStringList({"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd"}));
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipDirection + trs.rangeDirection, QStringLiteral("NE"));
        f.click("optTSouth");
        f.click("optRangeW");
        QCOMPARE(f.enabled({"txtTown", "txtRange"}).size(), 2);
        QCOMPARE(trs.townshipDirection + trs.rangeDirection, QStringLiteral("SW"));
        QVERIFY(f.prompter.calls().empty());
    }

    // Anything but digits, typed or pasted, is dropped with a beep and a message.
    void refusedKeysBeepWithAMessageEach() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTSouth", "optRangeW"));
        f.typeAll({"txtTown=3N", "txtRange=-+", "txtSection=5x"});
        QCOMPARE(f.texts(kTrsFields), QStringList({"3", "00", "5"}));
        QCOMPARE(f.prompter.messageTexts(), QStringList(4, kNumbersOnly));
        QCOMPARE(f.prompter.beeps(), 4);
        QGuiApplication::clipboard()->setText(QStringLiteral("1a"));
        f.field("txtTown")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f.field("txtTown"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.text("txtTown"), QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList(5, kNumbersOnly));
        QCOMPARE(f.prompter.beeps(), 5);
        QCOMPARE(f.page->trsEntry().townshipNumber, 1);
    }

    void sectionCheckRunsOnEveryKey() {
        PageFixture f;
        QVERIFY(f.choose("optTRS"));
        f.typeInto("txtSection", QStringLiteral("803"));
        QVERIFY(f.prompter.messageTexts().isEmpty());
        QCOMPARE(f.page->trsEntry().sectionNumber, 803);
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("803"));
        f.typeOn(QStringLiteral("0"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral(" Must Be Less Than 8030")});
        QCOMPARE(f.text("txtSection"), QString());
        QCOMPARE(f.page->trsEntry().sectionNumber, 0);
        QCOMPARE(f.focusName(), QStringLiteral("txtSection"));  // an emptied field does not advance
    }

    void northTownshipEight() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTnorth"));
        f.typeInto("txtTown", QStringLiteral("5"));
        f.tab();
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));
        f.typeInto("txtTown", QStringLiteral("8"));
        f.tab();
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNorth});
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QVERIFY(f.focusName() != QLatin1String("txtTown"));              // the focus is never held back
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));  // the key stays as it was
        // A click on a button leaves the field first, so it cannot skip the check.
        f.typeInto("txtTown", QStringLiteral("9"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.prompter.messageTexts(), QStringList({kNorth, kNorth}));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T00N RE S "));  // what entering the field accepted
    }

    // A range refused on leaving resets all three fields, not only its own.
    void aRefusedRangeResetsTheWholeGroup() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTSouth", "optRangeE"));
        f.typeAll({"txtTown=05", "txtSection=12", "txtRange=44"});  // two digits leave the field by themselves
        QCOMPARE(f.prompter.messageTexts(), QStringList{QStringLiteral("East Range Must be Less Than 44")});
        QCOMPARE(f.page->trsEntry().rangeKey, QStringLiteral("00"));  // what entering the field accepted
        QCOMPARE(f.texts(kTrsFields), QStringList({"00", "00", "0000"}));
    }

    // A switched direction does not check its number again; entering the field
    // does, and then only that field goes back to its start text.
    void aSwitchedDirectionIsCheckedOnEnteringTheField() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optRangeE", "optTSouth"));
        f.typeAll({"txtRange=40", "txtTown=20", "txtSection=9"});  // accepted east and south
        f.mouseClick("cmdTRScon");
        f.click("optRangeW");
        f.click("optTnorth");
        QVERIFY(f.prompter.messageTexts().isEmpty());
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipDirection, QStringLiteral("N"));
        QCOMPARE(trs.townshipNumber, 20);
        QCOMPARE(QStringList({trs.townshipKey, trs.rangeKey}), QStringList({"20", "40"}));

        f.field("txtRange")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList{kWest});
        QCOMPARE(f.texts(kTrsFields), QStringList({"20", "00", "9"}));
        QCOMPARE(f.focusName(), QStringLiteral("txtRange"));  // the focus stays, the text selected
        QCOMPARE(f.field("txtRange")->selectedText(), QStringLiteral("00"));

        f.field("txtTown")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList({kWest, kNorth}));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.focusName(), QStringLiteral("txtTown"));
        QCOMPARE(trs.townshipNumber, 0);
    }

    void emptyFieldsGetTheirStartTextsWhenLeft() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTnorth"));
        f.typeInto("txtTown", QStringLiteral("\b"));  // backspace passes the filter
        QCOMPARE(f.text("txtTown"), QString());
        f.tab();
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("00"));
        f.typeInto("txtSection", QStringLiteral("\b"));
        f.tab();
        QCOMPARE(f.text("txtSection"), QStringLiteral("0000"));
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("0"));
        QVERIFY(f.prompter.calls().empty());

        // Left without typing, the start text is padded; the reset still runs the
        // change handling of a field that already shows its start text.
        f.field("txtSection")->setFocus(Qt::TabFocusReason);
        f.tab();
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("00"));
        f.mouseClick("cmdResetTRS");
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("0"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T00N RE S0 "));
    }

    void twoDigitsMoveOnAndAreChecked() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTSouth", "optRangeE"));
        for (const QString& entry : {"txtTown=12", "txtRange=43", "txtSection=0012"}) {
            f.typeAll({entry});
            QVERIFY2(f.focusName() != entry.section('=', 0, 0), qPrintable(entry));
        }
        const auto& trs = f.page->trsEntry();
        QCOMPARE(QStringList({trs.townshipKey, trs.rangeKey, trs.sectionKey}), QStringList({"12", "43", "12"}));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S12 "));
    }

    void sectionKeyIsPaddedOnlyWhenTheFieldIsLeft() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTnorth", "optRangeW"));
        f.typeAll({"txtTown=1", "txtRange=5", "txtSection=5"});
        f.click("cmdTRScon");  // the focus stays in the section field
        QCOMPARE(f.focusName(), QStringLiteral("txtSection"));
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T01N R05W S5 "));
        f.tab();
        f.click("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T01N R05W S05 "));
        // A mouse click on the button leaves the field first, so it is checked first.
        f.typeInto("txtSection", QStringLiteral("7"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T01N R05W S07 "));
        // The part of the section follows the key and is never part of it.
        f.click("optNE");
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T01N R05W S07 NE1/4"));
        f.mouseClick("cmdEnableqs");
        f.click("optNENE");
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T01N R05W S07 NE1/4NE1/4"));
        QCOMPARE(f.page->trsEntry().trsKey, QStringLiteral("T01N R05W S07"));
    }

    // One part of the section at a time, across the two squares; the sixteen
    // can be chosen only while enabled, and disabling keeps the part chosen.
    void partsOfTheSection() {
        PageFixture f;
        QVERIFY(f.choose("optTRS"));
        f.mouseClick("cmdEnableqs");
        const struct {
            const char* option;
            const char* description;
            int longitudeOffset;
            double latitudeOffset;
        } parts[] = {
            {"optNW", "NW1/4", -400, 0.0036},
            // The quarter-quarters are described in two ways, with and without a blank.
            {"optSWNE", "NE1/4 SW1/4", -200, -0.0018},
            {"optSH", "S1/2", 0, -0.0036},
            {"optSecC", "CENTER", 0, 0},
            {"optNESE", "SE1/4NE1/4", 600, 0.0018},
        };
        const char* previous = nullptr;
        for (const auto& part : parts) {
            f.click(part.option);
            const auto& trs = f.page->trsEntry();
            QCOMPARE(trs.quarterDescription, QString::fromLatin1(part.description));
            QCOMPARE(trs.quarterLongitudeOffsetMetres, part.longitudeOffset);
            QCOMPARE(trs.quarterLatitudeOffsetDegrees, part.latitudeOffset);
            if (previous) QVERIFY2(!f.child<QRadioButton>(previous)->isChecked(), previous);
            previous = part.option;
        }
        f.mouseClick("cmdEnableqs");
        QCOMPARE(f.enabled({"optNWNW", "optNESE", "optSESE"}), QStringList());
        QCOMPARE(f.page->trsEntry().quarterDescription, QStringLiteral("SE1/4NE1/4"));
    }

    void resetTrs() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));
        f.typeAll({"txtDDLatD=30", "txtDDlongD=084"});
        QVERIFY(f.page->location());
        QVERIFY(f.choose("optTRS", "optTnorth", "optRangeE"));
        f.typeAll({"txtTown=5", "txtRange=12", "txtSection=8"});
        f.tab();
        f.click("optNW");
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T05N R12E S08 NW1/4"));

        f.mouseClick("cmdResetTRS");
        QCOMPARE(f.texts({"txtTown", "txtRange", "txtSection", "lblTRScon", "lblDDLat"}),
                 QStringList({"00", "00", "0000", "", ""}));
        QVERIFY(!f.page->location());
        const auto& trs = f.page->trsEntry();
        QCOMPARE(QList<int>({trs.townshipNumber, trs.rangeNumber, trs.sectionNumber}), QList<int>({0, 0, 0}));
        QCOMPARE(trs.sectionKey, QStringLiteral("0"));
        // Keys and the part of the section are left as they were.
        QCOMPARE(QStringList({trs.townshipKey, trs.rangeKey, trs.quarterDescription}),
                 QStringList({"05", "12", "NW1/4"}));
        QVERIFY(f.child<QRadioButton>("optNW")->isChecked());
        QVERIFY(f.prompter.messageTexts().isEmpty());
    }

    void clickingADisabledTrsFieldDoesNotEnableIt() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));  // the township fields are disabled while degrees are entered
        for (const QString& name : kTrsFields) QTest::mouseClick(f.field(qPrintable(name)), Qt::LeftButton);
        QCOMPARE(f.enabled(kTrsFields), QStringList());
    }

    void becomingActiveClearsThePreview() {
        PageFixture f;
        QVERIFY(f.choose("optTRS"));
        f.mouseClick("cmdTRScon");
        QVERIFY(!f.text("lblTRScon").isEmpty());
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!f.text("lblTRScon").isEmpty());
        QVERIFY(f.show());
        QCOMPARE(f.text("lblTRScon"), QString());
    }

    void leavingTheGroupKeepsTheKeys() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTSouth"));
        f.typeInto("txtTown", QStringLiteral("34"));
        f.click("optDD");
        QCOMPARE(f.enabled({"txtTown", "frmsubSec", "cmdResetTRS"}), QStringList());
        f.click("optTRS");
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("34"));
        // North holds again, though no direction is shown as chosen.
        QCOMPARE(f.page->trsEntry().townshipDirection, QStringLiteral("N"));
        QVERIFY(!f.child<QRadioButton>("optTSouth")->isChecked());
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T34N RE S "));
    }
};

QTEST_MAIN(TrsPageTest)
#include "TrsPageTest.moc"
