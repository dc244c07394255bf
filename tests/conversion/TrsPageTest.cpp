// The conversion page's township, range and section group: fields and their
// filters, the checks on leaving and on entering a field, the keys, the
// preview, the reset, the parts of the section and the quarter-quarter toggle.

#include "PageFixture.h"

using namespace waypost;
using waypost::testing::PageFixture;

namespace {

const QString& kNorth = conversion::kNorthTownshipMessage;
const QString& kWest = conversion::kWestRangeMessage;
const QStringList kTrsFields{"txtTown", "txtRange", "txtSection"};

}  // namespace

class TrsPageTest : public QObject {
    Q_OBJECT

private slots:
    // Entering the group: start texts; township and range wait for a direction, the
    // sixteen for the toggle, the degrees for a degree group. Leaving it closes the
    // fields (a click does not open one) and keeps the keys; on entering again north
    // and east hold, though no direction is shown as chosen. The page becoming
    // active clears the preview.
    void enteringAndLeavingTheGroup() {
        PageFixture f;
        QVERIFY(f.choose("optTRS"));
        QCOMPARE(f.texts(kTrsFields), QStringList({"00", "00", "0000"}));
        QCOMPARE(f.enabled({"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd", "txtTown",
                            "txtRange", "optNWNW", "cmdFindSTR", "txtDDlongD"}),
                 QStringList({"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd"}));
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipDirection + trs.rangeDirection, QStringLiteral("NE"));
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("34"));
        f.click("optRangeW");
        QCOMPARE(f.enabled({"txtTown", "txtRange"}).size(), 2);
        QCOMPARE(trs.townshipDirection + trs.rangeDirection, QStringLiteral("SW"));
        QVERIFY(f.prompter.calls().empty());

        f.click("optDD");
        QCOMPARE(f.enabled({"txtTown", "frmsubSec", "cmdResetTRS"}), QStringList());
        for (const QString& name : kTrsFields) QTest::mouseClick(f.edit(qPrintable(name)), Qt::LeftButton);
        QCOMPARE(f.enabled(kTrsFields), QStringList());
        f.click("optTRS");
        QCOMPARE(trs.townshipKey, QStringLiteral("34"));
        QCOMPARE(trs.townshipDirection + trs.rangeDirection, QStringLiteral("NE"));
        QVERIFY(!f.child<QRadioButton>("optTSouth")->isChecked());
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T34N RE S "));

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!f.text("lblTRScon").isEmpty());
        QVERIFY(f.show());
        QCOMPARE(f.text("lblTRScon"), QString());
    }

    // Anything but digits, typed or pasted, is dropped with a beep and a message.
    // The section is checked on every key; a refused one empties the field, which
    // keeps the focus. A field left empty gets its start text (backspace passes the
    // filter); the section left as it shows is padded, and the reset runs the change
    // handling of a field that already shows its start text.
    void refusedKeysSectionCheckAndEmptyFields() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTnorth", "optRangeW"));
        f.typeAll({"txtTown=3N", "txtRange=-+", "txtSection=5x"});
        QCOMPARE(f.texts(kTrsFields), QStringList({"3", "00", "5"}));
        QCOMPARE(f.prompter.messageTexts(), QStringList(4, conversion::kNumbersOnlyMessage));
        QCOMPARE(f.prompter.beeps(), 4);
        f.paste("txtTown", QStringLiteral("1a"));
        QCOMPARE(f.text("txtTown"), QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList(5, conversion::kNumbersOnlyMessage));
        QCOMPARE(f.prompter.beeps(), 5);
        QCOMPARE(f.page->trsEntry().townshipNumber, 1);

        f.prompter.clearCalls();
        f.typeInto("txtSection", QStringLiteral("803"));
        QCOMPARE(f.page->trsEntry().sectionNumber, 803);
        f.typeOn(QStringLiteral("0"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{conversion::kSectionTooLargeMessage});
        QCOMPARE(f.text("txtSection"), QString());
        QCOMPARE(f.page->trsEntry().sectionNumber, 0);
        QCOMPARE(f.focusName(), QStringLiteral("txtSection"));
        f.tab();
        QCOMPARE(f.text("txtSection"), QStringLiteral("0000"));
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("0"));
        f.typeInto("txtTown", QStringLiteral("\b"));
        QCOMPARE(f.text("txtTown"), QString());
        f.tab();
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("00"));
        QCOMPARE(f.prompter.calls().size(), std::size_t(1));  // the section's message only

        f.edit("txtSection")->setFocus(Qt::TabFocusReason);
        f.tab();
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("00"));
        f.mouseClick("cmdResetTRS");
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("0"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T00N R00W S0 "));
    }

    // The township is checked when its field is left (a click on a button leaves it
    // first): a refusal resets it, keeps the key and never holds the focus back. A
    // range refused on leaving resets all three fields. A switched direction does not
    // check its number again; entering the field does, and then only that field goes
    // back to its start text, the focus staying in it.
    void checksOnLeavingAndEntering() {
        PageFixture f;
        QVERIFY(f.choose("optTRS", "optTnorth"));
        f.typeInto("txtTown", QStringLiteral("5"));
        f.tab();
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));
        f.typeInto("txtTown", QStringLiteral("8"));
        f.tab();
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNorth});
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QVERIFY(f.focusName() != QLatin1String("txtTown"));
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));
        f.typeInto("txtTown", QStringLiteral("9"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.prompter.messageTexts(), QStringList({kNorth, kNorth}));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T00N RE S "));  // what entering the field accepted

        f.prompter.clearCalls();
        f.click("optRangeE");
        f.typeAll({"txtTown=05", "txtSection=12", "txtRange=44"});  // two digits leave the field by themselves
        QCOMPARE(f.prompter.messageTexts(), QStringList{conversion::kEastRangeMessage});
        QCOMPARE(f.page->trsEntry().rangeKey, QStringLiteral("00"));  // what entering the field accepted
        QCOMPARE(f.texts(kTrsFields), QStringList({"00", "00", "0000"}));

        f.prompter.clearCalls();
        f.click("optTSouth");
        f.typeAll({"txtRange=40", "txtTown=20", "txtSection=9"});  // accepted east and south
        f.mouseClick("cmdTRScon");
        f.click("optRangeW");
        f.click("optTnorth");
        QVERIFY(f.prompter.messageTexts().isEmpty());
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipNumber, 20);
        QCOMPARE(QStringList({trs.townshipKey, trs.rangeKey}), QStringList({"20", "40"}));
        f.edit("txtRange")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList{kWest});
        QCOMPARE(f.texts(kTrsFields), QStringList({"20", "00", "9"}));
        QCOMPARE(f.focusName(), QStringLiteral("txtRange"));
        QCOMPARE(f.edit("txtRange")->selectedText(), QStringLiteral("00"));
        f.edit("txtTown")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList({kWest, kNorth}));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.focusName(), QStringLiteral("txtTown"));
        QCOMPARE(trs.townshipNumber, 0);
    }

    // Two digits of township or range and four of section move on and are checked.
    // The section key is padded only when its field is left, and a mouse click on a
    // button leaves it first. The part of the section follows the key, one part at a
    // time across the two squares, and stays chosen when the sixteen are disabled.
    // The reset clears numbers, fields, preview and location but keeps keys and part.
    void keysPreviewPartsAndReset() {
        PageFixture f;
        QVERIFY(f.choose("optDD"));
        f.typeInto("txtDDLatD", QStringLiteral("30"));
        QVERIFY(f.page->location());
        QVERIFY(f.choose("optTRS", "optTSouth", "optRangeE"));
        for (const QString& entry : {"txtTown=12", "txtRange=43"}) {
            f.typeAll({entry});
            QVERIFY2(f.focusName() != entry.section('=', 0, 0), qPrintable(entry));
        }
        f.typeInto("txtSection", QStringLiteral("5"));
        f.click("cmdTRScon");  // the focus stays in the section field
        QCOMPARE(f.focusName(), QStringLiteral("txtSection"));
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S5 "));
        f.tab();
        f.click("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S05 "));
        f.typeInto("txtSection", QStringLiteral("7"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S07 "));
        f.typeInto("txtSection", QStringLiteral("0012"));
        f.click("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S12 "));

        f.mouseClick("cmdEnableqs");
        const char* const parts[] = {"optNW", "optSWNE", "optSecC", "optNESE"};
        for (std::size_t i = 0; i < std::size(parts); ++i) {
            f.click(parts[i]);
            if (i > 0) QVERIFY2(!f.child<QRadioButton>(parts[i - 1])->isChecked(), parts[i]);
        }
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S12 SE1/4NE1/4"));
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.trsKey, QStringLiteral("T12S R43E S12"));
        f.mouseClick("cmdEnableqs");
        QCOMPARE(f.enabled({"optNWNW", "optNESE", "optSESE"}), QStringList());

        f.mouseClick("cmdResetTRS");
        QCOMPARE(f.texts({"txtTown", "txtRange", "txtSection", "lblTRScon", "lblDDLat"}),
                 QStringList({"00", "00", "0000", "", ""}));
        QVERIFY(!f.page->location());
        QCOMPARE(QList<int>({trs.townshipNumber, trs.rangeNumber, trs.sectionNumber}), QList<int>({0, 0, 0}));
        QCOMPARE(trs.sectionKey, QStringLiteral("0"));
        QCOMPARE(QStringList({trs.townshipKey, trs.rangeKey, trs.quarterDescription}),
                 QStringList({"12", "43", "SE1/4NE1/4"}));
        QVERIFY(f.child<QRadioButton>("optNESE")->isChecked());
        QVERIFY(f.prompter.messageTexts().isEmpty());
    }
};

QTEST_MAIN(TrsPageTest)
#include "TrsPageTest.moc"
