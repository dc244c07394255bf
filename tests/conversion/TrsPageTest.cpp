// The conversion page's township, range and section group: fields and their
// filters, the checks on leaving and on entering a field, the keys, the
// preview, the reset, the parts of the section and the quarter-quarter toggle.

#include "PageFixture.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>

using namespace waypost;
using waypost::testing::PageFixture;

namespace {

const QString kNumbersOnly = QStringLiteral("Plese Enter Numbers Only");
const QString kNorth = QStringLiteral("North Township Must be Less Than 8");
const QString kSouth = QStringLiteral("South Township Must be Less Than 68");
const QString kEast = QStringLiteral("East Range Must be Less Than 44");
const QString kWest = QStringLiteral("West Range Must be Less Than 35");
const QString kSection = QStringLiteral(" Must Be Less Than 8030");

/// The page with the TRS group chosen.
void enterTrs(PageFixture& f) {
    QVERIFY(f.show());
    f.click("optTRS");
}

}  // namespace

class TrsPageTest : public QObject {
    Q_OBJECT

private slots:
    void enteringTheGroup() {
        PageFixture f;
        enterTrs(f);
        QCOMPARE(QStringList({f.text("txtTown"), f.text("txtRange"), f.text("txtSection")}),
                 QStringList({"00", "00", "0000"}));
        for (const char* name : {"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd"})
            QVERIFY2(f.child(name)->isEnabled(), name);
        // Township and range wait for a direction; the sixteen for the toggle;
        // the section search and the degrees for a degree group.
        for (const char* name : {"txtTown", "txtRange", "optNWNW", "cmdFindSTR", "txtDDlongD"})
            QVERIFY2(!f.child(name)->isEnabled(), name);
        QVERIFY(!f.child<QRadioButton>("optTnorth")->isChecked());

        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipDirection, QStringLiteral("N"));
        QCOMPARE(trs.rangeDirection, QStringLiteral("E"));
        // The section field already showed its start text: no change, no key yet.
        QCOMPARE(trs.sectionKey, QString());

        f.click("optTSouth");
        QVERIFY(f.field("txtTown")->isEnabled());
        QCOMPARE(f.page->trsEntry().townshipDirection, QStringLiteral("S"));
        f.click("optRangeW");
        QVERIFY(f.field("txtRange")->isEnabled());
        QCOMPARE(f.page->trsEntry().rangeDirection, QStringLiteral("W"));
        QVERIFY(f.prompter.calls().empty());
    }

    void keystrokes_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("beeps");
        const QStringList none;
        QTest::newRow("letter after a digit") << "txtTown" << "3N" << "3" << QStringList{kNumbersOnly} << 1;
        QTest::newRow("two refused keys") << "txtRange" << "-+" << "00" << QStringList{kNumbersOnly, kNumbersOnly} << 2;
        QTest::newRow("backspace") << "txtTown" << "\b" << "" << none << 0;
        QTest::newRow("section 8029") << "txtSection" << "8029" << "8029" << none << 0;
    }
    void keystrokes() {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QStringList, messages);
        QFETCH(int, beeps);
        PageFixture f;
        enterTrs(f);
        f.click("optTSouth");
        f.click("optRangeW");
        f.typeInto(qPrintable(field), keys);
        QCOMPARE(f.text(qPrintable(field)), text);
        QCOMPARE(f.prompter.messageTexts(), messages);
        QCOMPARE(f.prompter.beeps(), beeps);
        for (const auto& message : f.prompter.messages()) {
            QCOMPARE(message.title, QStringLiteral("Waypost"));
            QCOMPARE(message.buttons, Prompter::Buttons::Ok);
        }
    }

    void sectionCheckRunsOnEveryKey() {
        PageFixture f;
        enterTrs(f);
        f.typeInto("txtSection", QStringLiteral("803"));
        QVERIFY(f.prompter.messageTexts().isEmpty());
        QCOMPARE(f.page->trsEntry().sectionNumber, 803);
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("803"));
        QTest::keyClicks(f.field("txtSection"), QStringLiteral("0"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{kSection});
        QCOMPARE(f.text("txtSection"), QString());
        QCOMPARE(f.page->trsEntry().sectionNumber, 0);
        QCOMPARE(f.focusName(), QStringLiteral("txtSection"));  // an emptied field does not advance
    }

    void northTownshipEight() {
        PageFixture f;
        enterTrs(f);
        f.click("optTnorth");
        f.typeInto("txtTown", QStringLiteral("5"));
        f.tab();
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));
        f.typeInto("txtTown", QStringLiteral("8"));
        f.tab();
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNorth});
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QVERIFY(f.focusName() != QLatin1String("txtTown"));  // the focus is never held back
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));  // the key stays as it was
    }

    void southTownships_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");  // entering the field accepted "00" first
        QTest::newRow("68") << "68" << QStringList{kSouth} << "00" << "00";
        QTest::newRow("8") << "8" << QStringList{} << "8" << "08";
    }
    void southTownships() {
        QFETCH(QString, keys);
        QFETCH(QStringList, messages);
        QFETCH(QString, text);
        QFETCH(QString, key);
        PageFixture f;
        enterTrs(f);
        f.click("optTSouth");
        f.typeInto("txtTown", keys);
        if (f.focusName() == QLatin1String("txtTown")) f.tab();  // two digits leave the field by themselves
        QCOMPARE(f.prompter.messageTexts(), messages);
        QCOMPARE(f.text("txtTown"), text);
        QCOMPARE(f.page->trsEntry().townshipKey, key);
        QCOMPARE(f.page->trsEntry().townshipNumber, messages.isEmpty() ? keys.toInt() : 0);
    }

    void ranges_data() {
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("texts");  // township, range, section afterwards
        QTest::newRow("east 44") << "optRangeE" << "44" << QStringList{kEast} << "00" << QStringList{"00", "00", "0000"};
        QTest::newRow("west 34") << "optRangeW" << "34" << QStringList{} << "34" << QStringList{"05", "34", "12"};
        QTest::newRow("east 9") << "optRangeE" << "9" << QStringList{} << "09" << QStringList{"05", "9", "12"};
    }
    void ranges() {
        QFETCH(QString, direction);
        QFETCH(QString, keys);
        QFETCH(QStringList, messages);
        QFETCH(QString, key);
        QFETCH(QStringList, texts);
        PageFixture f;
        enterTrs(f);
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("05"));
        f.typeInto("txtSection", QStringLiteral("12"));
        f.click(qPrintable(direction));
        f.typeInto("txtRange", keys);
        if (f.focusName() == QLatin1String("txtRange")) f.tab();
        QCOMPARE(f.prompter.messageTexts(), messages);
        QCOMPARE(f.page->trsEntry().rangeKey, key);
        QCOMPARE(QStringList({f.text("txtTown"), f.text("txtRange"), f.text("txtSection")}), texts);
        // The field reset opens all three fields and the directions.
        if (!messages.isEmpty())
            for (const char* name : {"txtTown", "txtSection", "optRangeW"}) QVERIFY2(f.child(name)->isEnabled(), name);
    }

    // A switched direction does not check its number again; entering the field
    // does, and then only that field goes back to its start text.
    void aSwitchedDirectionIsCheckedOnEnteringTheField() {
        PageFixture f;
        enterTrs(f);
        f.click("optRangeE");
        f.typeInto("txtRange", QStringLiteral("40"));  // accepted east, leaves by itself
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("20"));  // accepted south, leaves by itself
        f.typeInto("txtSection", QStringLiteral("9"));
        f.mouseClick("cmdTRScon");
        f.click("optRangeW");
        f.click("optTnorth");
        QVERIFY(f.prompter.messageTexts().isEmpty());
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipDirection, QStringLiteral("N"));
        QCOMPARE(trs.townshipNumber, 20);
        QCOMPARE(trs.townshipKey, QStringLiteral("20"));
        QCOMPARE(trs.rangeKey, QStringLiteral("40"));

        f.field("txtRange")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList{kWest});
        QCOMPARE(QStringList({f.text("txtTown"), f.text("txtRange"), f.text("txtSection")}),
                 QStringList({"20", "00", "9"}));
        QCOMPARE(f.focusName(), QStringLiteral("txtRange"));  // the focus stays, the text selected
        QCOMPARE(f.field("txtRange")->selectedText(), QStringLiteral("00"));

        f.field("txtTown")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList({kWest, kNorth}));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.focusName(), QStringLiteral("txtTown"));
        QCOMPARE(f.page->trsEntry().townshipNumber, 0);
    }

    void emptyFieldsGetTheirStartTextsWhenLeft() {
        PageFixture f;
        enterTrs(f);
        f.click("optTnorth");
        f.typeInto("txtTown", QStringLiteral("\b"));
        QCOMPARE(f.text("txtTown"), QString());
        f.tab();
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("00"));
        f.typeInto("txtSection", QStringLiteral("\b"));
        f.tab();
        QCOMPARE(f.text("txtSection"), QStringLiteral("0000"));
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("0"));
        QVERIFY(f.prompter.messageTexts().isEmpty());
    }

    void sectionKeyIsPaddedOnlyWhenTheFieldIsLeft() {
        PageFixture f;
        enterTrs(f);
        f.click("optTnorth");
        f.typeInto("txtTown", QStringLiteral("1"));
        f.tab();
        f.click("optRangeW");
        f.typeInto("txtRange", QStringLiteral("5"));
        f.tab();
        f.typeInto("txtSection", QStringLiteral("5"));
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

    void clickingAButtonDoesNotSkipTheCheck() {
        PageFixture f;
        enterTrs(f);
        f.click("optTnorth");
        f.typeInto("txtTown", QStringLiteral("9"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNorth});
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T00N RE S "));  // what entering the field accepted
    }

    void partsOfTheSection_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("longitudeOffset");
        QTest::addColumn<double>("latitudeOffset");
        QTest::newRow("a quarter") << "optNW" << "NW1/4" << -400 << 0.0036;
        QTest::newRow("a half") << "optSH" << "S1/2" << 0 << -0.0036;
        QTest::newRow("the centre") << "optSecC" << "CENTER" << 0 << 0.0;
        // The quarter-quarters are described in two ways, with and without a blank.
        QTest::newRow("quarter-quarter with a blank") << "optSWNE" << "NE1/4 SW1/4" << -200 << -0.0018;
        QTest::newRow("quarter-quarter without") << "optNESE" << "SE1/4NE1/4" << 600 << 0.0018;
    }
    void partsOfTheSection() {
        QFETCH(QString, option);
        QFETCH(QString, description);
        QFETCH(int, longitudeOffset);
        QFETCH(double, latitudeOffset);
        PageFixture f;
        enterTrs(f);
        QCOMPARE(f.page->trsEntry().quarterDescription, QString());
        f.mouseClick("cmdEnableqs");
        auto* button = f.child<QRadioButton>(qPrintable(option));
        QVERIFY(button->isEnabled());
        button->click();
        QVERIFY(button->isChecked());
        QCOMPARE(f.page->trsEntry().quarterDescription, description);
        QCOMPARE(f.page->trsEntry().quarterLongitudeOffsetMetres, longitudeOffset);
        QCOMPARE(f.page->trsEntry().quarterLatitudeOffsetDegrees, latitudeOffset);
        // One part at a time, across the two squares.
        const char* other = conversion::findQuarterOption(option)->quarterQuarter ? "optSecC" : "optNWNW";
        f.click(other);
        QVERIFY(!button->isChecked());
    }

    void quarterQuarterToggle() {
        PageFixture f;
        enterTrs(f);
        auto* toggle = f.child<QPushButton>("cmdEnableqs");
        QCOMPARE(toggle->text(), QStringLiteral("Enable 1/4 1/4 Sections"));
        f.mouseClick("cmdEnableqs");
        QCOMPARE(toggle->text(), QStringLiteral("Disable 1/4 1/4 Sections"));
        // The sixteen show their captions only while they can be chosen.
        for (const char* name : {"optNWNW", "optSESE"}) {
            QVERIFY2(f.child(name)->isEnabled(), name);
            QVERIFY2(!f.child<QRadioButton>(name)->text().isEmpty(), name);
        }
        f.click("optSESW");
        f.mouseClick("cmdEnableqs");
        QCOMPARE(toggle->text(), QStringLiteral("Enable 1/4 1/4 Sections"));
        for (const char* name : {"optNWNW", "optSESE"}) {
            QVERIFY2(!f.child(name)->isEnabled(), name);
            QCOMPARE(f.child<QRadioButton>(name)->text(), QString());
        }
        // Disabling keeps the part already chosen.
        QCOMPARE(f.page->trsEntry().quarterDescription, QStringLiteral("SW1/4 SE1/4"));
        QCOMPARE(f.page->trsEntry().quarterLongitudeOffsetMetres, 200);
    }

    void optionsSitInTheSectionSquareWhereTheirOffsetsPutThem() {
        PageFixture f;
        auto* quarters = f.page->findChild<QGridLayout*>(QStringLiteral("layQuarters"));
        auto* quarterQuarters = f.page->findChild<QGridLayout*>(QStringLiteral("layQuarterQuarters"));
        QVERIFY(quarters && quarterQuarters);
        for (const conversion::QuarterOption& option : conversion::quarterOptions()) {
            auto* button = f.child<QRadioButton>(option.optionName);
            QVERIFY2(button, option.optionName);
            QGridLayout* grid = option.quarterQuarter ? quarterQuarters : quarters;
            const int index = grid->indexOf(button);
            QVERIFY2(index >= 0, option.optionName);
            int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
            // The sixteen have a gap between the quarters (grid row and column 2).
            const int gap = option.quarterQuarter ? 1 : 0;
            QCOMPARE(row, option.row + (option.row >= 2 ? gap : 0));
            QCOMPARE(column, option.column + (option.column >= 2 ? gap : 0));
        }
    }

    void resetTrsWhenTheFieldsAlreadyShowTheirStartTexts() {
        PageFixture f;
        enterTrs(f);
        f.click("optTnorth");
        f.child<QLineEdit>("txtSection")->setEnabled(true);
        f.child<QLineEdit>("txtSection")->setFocus(Qt::TabFocusReason);
        f.tab();  // left without typing: the key is padded
        QCOMPARE(f.text("txtSection"), QStringLiteral("0000"));
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("00"));
        f.mouseClick("cmdResetTRS");
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("0"));
        QCOMPARE(f.page->trsEntry().sectionNumber, 0);
        f.mouseClick("cmdTRScon");
        QVERIFY2(f.text("lblTRScon").contains(QStringLiteral(" S0 ")), qPrintable(f.text("lblTRScon")));
    }

    void clickingADisabledTrsFieldDoesNotEnableIt() {
        PageFixture f;
        QVERIFY(f.show());
        f.click("optDD");  // the TRS fields are disabled while degrees are entered
        for (const char* name : {"txtTown", "txtRange", "txtSection"}) {
            auto* edit = f.child<QLineEdit>(name);
            QVERIFY2(!edit->isEnabled(), name);
            QTest::mouseClick(edit, Qt::LeftButton);
            QVERIFY2(!edit->isEnabled(), name);
        }
    }

    void resetTrs() {
        PageFixture f;
        QVERIFY(f.show());
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("30"));
        f.typeInto("txtDDlongD", QStringLiteral("084"));
        QVERIFY(!f.text("lblDDLat").isEmpty());
        f.click("optTRS");
        f.click("optTnorth");
        f.typeInto("txtTown", QStringLiteral("5"));
        f.tab();
        f.click("optRangeE");
        f.typeInto("txtRange", QStringLiteral("12"));
        f.typeInto("txtSection", QStringLiteral("8"));
        f.tab();
        f.click("optNW");
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T05N R12E S08 NW1/4"));

        f.mouseClick("cmdResetTRS");
        QCOMPARE(QStringList({f.text("txtTown"), f.text("txtRange"), f.text("txtSection")}),
                 QStringList({"00", "00", "0000"}));
        for (const char* name : {"txtTown", "txtRange", "optTSouth"}) QVERIFY2(f.child(name)->isEnabled(), name);
        QCOMPARE(f.text("lblTRScon"), QString());
        QCOMPARE(f.text("lblDDLat"), QString());
        const auto& trs = f.page->trsEntry();
        QCOMPARE(trs.townshipNumber, 0);
        QCOMPARE(trs.rangeNumber, 0);
        QCOMPARE(trs.sectionNumber, 0);
        QCOMPARE(trs.sectionKey, QStringLiteral("0"));
        // Keys and the part of the section are left as they were.
        QCOMPARE(trs.townshipKey, QStringLiteral("05"));
        QCOMPARE(trs.rangeKey, QStringLiteral("12"));
        QCOMPARE(trs.quarterDescription, QStringLiteral("NW1/4"));
        QVERIFY(f.child<QRadioButton>("optNW")->isChecked());
        QVERIFY(f.prompter.messageTexts().isEmpty());
    }

    void pastedTextIsRefusedLikeTypedText() {
        PageFixture f;
        enterTrs(f);
        f.click("optTSouth");
        QGuiApplication::clipboard()->setText(QStringLiteral("1a"));
        f.field("txtTown")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f.field("txtTown"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.text("txtTown"), QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNumbersOnly});
        QCOMPARE(f.prompter.beeps(), 1);
        QCOMPARE(f.page->trsEntry().townshipNumber, 1);
    }

    void twoDigitsMoveOnAndAreChecked() {
        PageFixture f;
        enterTrs(f);
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("12"));
        QVERIFY(f.focusName() != QLatin1String("txtTown"));
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("12"));
        f.click("optRangeE");
        f.typeInto("txtRange", QStringLiteral("43"));
        QVERIFY(f.focusName() != QLatin1String("txtRange"));
        QCOMPARE(f.page->trsEntry().rangeKey, QStringLiteral("43"));
        f.typeInto("txtSection", QStringLiteral("0012"));
        QVERIFY(f.focusName() != QLatin1String("txtSection"));
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("12"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T12S R43E S12 "));
    }

    void becomingActiveClearsThePreview() {
        PageFixture f;
        enterTrs(f);
        f.mouseClick("cmdTRScon");
        QVERIFY(!f.text("lblTRScon").isEmpty());
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!f.text("lblTRScon").isEmpty());
        f.page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.page.get()));
        QCOMPARE(f.text("lblTRScon"), QString());
    }

    void leavingTheGroupKeepsTheKeys() {
        PageFixture f;
        enterTrs(f);
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("34"));
        f.click("optDD");
        for (const char* name : {"txtTown", "frmsubSec", "cmdResetTRS"}) QVERIFY2(!f.child(name)->isEnabled(), name);
        f.click("optTRS");
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("34"));
        QCOMPARE(f.page->trsEntry().townshipDirection, QStringLiteral("N"));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        f.mouseClick("cmdTRScon");
        QCOMPARE(f.text("lblTRScon"), QStringLiteral("T34N RE S "));
    }
};

QTEST_MAIN(TrsPageTest)
#include "TrsPageTest.moc"
