// The conversion page driven through its widgets offscreen, prompts answered
// by the scripted prompter. Degree entry: groups, key filter, checks, lock,
// totals, auto-advance, results, hand-back to the caller, clipboard and
// closing. The township, range and section group: fields and their filters,
// the checks on leaving and on entering a field, the keys, the preview, the
// reset, the parts of the section and the quarter-quarter toggle. Then the
// section look-ups over small databases: "&Convert" from the fields and
// "Find STR" from the degrees.

#include "PageFixture.h"

#include "engine/lltoAlbers.h"
#include "plss/SampleGrid.h"

#include <QRegularExpression>

#include <cmath>

using namespace waypost;
using waypost::testing::PageFixture;
using waypost::testing::RecordingReceiver;

namespace {
/// The value a twelve-decimal label holds.
double twelveDecimals(double v) { return QString::number(v, 'f', 12).toDouble(); }

const QString& kNorth = conversion::kNorthTownshipMessage;
const QString kNoRecords = QStringLiteral("No Records Found.");
const QStringList kTrsFields{"txtTown", "txtRange", "txtSection"};

/// Clicks the preview button with the mouse (the focus moves to it first) or
/// directly (as the page's own code would), and reads the preview.
QString preview(const PageFixture& f, bool mouse = true) {
    if (mouse) f.mouseClick("cmdTRScon");
    else f.click("cmdTRScon");
    return f.text("lblTRScon");
}

/// A data folder holding two sections.
struct SectionData {
    QTemporaryDir data;
    SectionData() {
        plss::writeSectionDatabases({{"T01N R01E S01", -84.25, 30.5, 640}, {"T01N R01E S02", -84.2505, 30.5005, 700}},
                                    (data.path() + QStringLiteral("/databases")).toStdString());
    }
};

/// The page over the two sections.
struct LookupFixture : SectionData, PageFixture {
    LookupFixture() : PageFixture(data.path()) {}
    /// The TRS group with north township 1, east range 1 and \p section typed.
    void typeTrs(const QString& section) {
        QVERIFY(choose("optTRS", "optTnorth", "optRangeE"));
        typeAll({"txtTown=1", "txtRange=1", "txtSection=" + section});
    }
    /// The decimal-degree group showing 30.4997 N, 84.2498 W.
    void typeDegrees() {
        QVERIFY(choose("optDD"));
        typeAll({"txtDDlongD=084", "txtDDLongDD=2498", "txtDDLatD=30", "txtDDLatDD=4997"});
    }
};

}  // namespace

class ConversionPageTest : public QObject {
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

    // Entering the group: start texts; township and range wait for a direction, the
    // sixteen for the toggle, the degrees for a degree group. Leaving it for a degree
    // group closes the fields (a click does not open one) but not the section search,
    // and keeps the keys; on entering again north and east hold, though no direction
    // is shown as chosen. The page becoming active clears the preview.
    void enteringAndLeavingTheGroup() {
        PageFixture f;
        QVERIFY(f.choose("optTRS"));
        QCOMPARE(f.enabled({"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd", "txtTown",
                            "txtRange", "optNWNW", "cmdFindSTR", "txtDDlongD"}),
                 QStringList({"txtSection", "optTSouth", "optNW", "cmdTRScon", "cmdResetTRS", "cmdTRS2dd"}));
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("34"));
        f.click("optRangeW");

        f.click("optDD");
        QCOMPARE(f.enabled({"txtTown", "optTSouth", "frmsubSec", "cmdTRScon", "cmdResetTRS", "cmdFindSTR"}),
                 QStringList{"cmdFindSTR"});
        for (const QString& name : kTrsFields) QTest::mouseClick(f.edit(qPrintable(name)), Qt::LeftButton);
        QCOMPARE(f.enabled(kTrsFields), QStringList());
        f.click("optTRS");
        QVERIFY(!f.child<QRadioButton>("optTSouth")->isChecked());
        QCOMPARE(f.texts(kTrsFields), QStringList({"00", "00", "0000"}));
        QCOMPARE(preview(f), QStringLiteral("T34N RE S "));  // the key kept, north and east holding

        QWidget other;
        QVERIFY(test::activate(&other));
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
        f.paste("txtTown", QStringLiteral("1a"));
        QCOMPARE(f.text("txtTown"), QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList(5, conversion::kNumbersOnlyMessage));  // four typed, one pasted
        QCOMPARE(f.prompter.beeps(), 5);

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
        f.tab();
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.prompter.calls().size(), std::size_t(1));  // the section's message only

        f.edit("txtSection")->setFocus(Qt::TabFocusReason);
        f.tab();
        QCOMPARE(f.page->trsEntry().sectionKey, QStringLiteral("00"));
        f.mouseClick("cmdResetTRS");
        QCOMPARE(preview(f), QStringLiteral("T00N R00W S0 "));  // the keys of the start texts
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
        f.typeInto("txtTown", QStringLiteral("8"));
        f.tab();
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNorth});
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QVERIFY(f.focusName() != QLatin1String("txtTown"));
        QCOMPARE(f.page->trsEntry().townshipKey, QStringLiteral("05"));  // the key of the 5 accepted before
        f.typeInto("txtTown", QStringLiteral("9"));
        QCOMPARE(preview(f), QStringLiteral("T00N RE S "));  // what entering the field accepted, 9 refused

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
        f.edit("txtRange")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList{conversion::kWestRangeMessage});
        QCOMPARE(f.texts(kTrsFields), QStringList({"20", "00", "9"}));
        QCOMPARE(f.focusName(), QStringLiteral("txtRange"));
        f.edit("txtTown")->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.prompter.messageTexts(), QStringList({conversion::kWestRangeMessage, kNorth}));
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.focusName(), QStringLiteral("txtTown"));
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
        for (const QString entry : {"txtTown=12", "txtRange=43"}) {
            f.typeAll({entry});
            QVERIFY2(f.focusName() != entry.section('=', 0, 0), qPrintable(entry));
        }
        f.typeInto("txtSection", QStringLiteral("5"));
        QCOMPARE(preview(f, false), QStringLiteral("T12S R43E S5 "));  // a direct click leaves the field focused
        f.tab();
        QCOMPARE(preview(f, false), QStringLiteral("T12S R43E S05 "));
        f.typeInto("txtSection", QStringLiteral("7"));
        QCOMPARE(preview(f), QStringLiteral("T12S R43E S07 "));
        f.typeInto("txtSection", QStringLiteral("0012"));
        QCOMPARE(preview(f, false), QStringLiteral("T12S R43E S12 "));

        f.mouseClick("cmdEnableqs");
        const char* const parts[] = {"optNW", "optSWNE", "optSecC", "optNESE"};
        for (std::size_t i = 0; i < std::size(parts); ++i) {
            f.click(parts[i]);
            if (i > 0) QVERIFY2(!f.child<QRadioButton>(parts[i - 1])->isChecked(), parts[i]);
        }
        QCOMPARE(preview(f), QStringLiteral("T12S R43E S12 SE1/4NE1/4"));
        f.mouseClick("cmdEnableqs");
        QCOMPARE(f.enabled({"optNWNW", "optNESE", "optSESE"}), QStringList());

        f.mouseClick("cmdResetTRS");
        QCOMPARE(f.texts({"txtTown", "txtRange", "txtSection", "lblTRScon", "lblDDLat"}),
                 QStringList({"00", "00", "0000", "", ""}));
        QVERIFY(!f.page->location());
        const auto& trs = f.page->trsEntry();
        QCOMPARE(QList<int>({trs.townshipNumber, trs.rangeNumber, trs.sectionNumber}), QList<int>({0, 0, 0}));
        QCOMPARE(QStringList({trs.townshipKey, trs.rangeKey, trs.quarterDescription}),
                 QStringList({"12", "43", "SE1/4NE1/4"}));
        QVERIFY(f.child<QRadioButton>("optNESE")->isChecked());
    }

    // "&Convert" looks up what the fields name now, not an earlier preview; it shows
    // the part's centre, hands it back and resets the fields. A key not in the
    // database keeps what was typed and leaves the page without a location, so
    // coming back to the window no longer shows the one before.
    void convertFromTheFields() {
        LookupFixture f;
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("frmDBMan"));
        f.typeTrs(QStringLiteral("2"));
        QCOMPARE(preview(f), QStringLiteral("T01N R01E S02 "));
        f.typeInto("txtSection", QStringLiteral("1"));
        f.click("optNE");
        f.mouseClick("cmdTRS2dd");
        QCOMPARE(f.texts({"lblDDLat", "lblDDLong", "lblTRScon", "txtTown", "txtRange", "txtSection"}),
                 QStringList({"30.503600", "-084.245800", "T01N R01E S01", "00", "00", "0000"}));
        QVERIFY(!caller.received.empty());
        QCOMPARE(caller.received.back().latitude(), QStringLiteral("30.503600"));

        f.typeTrs(QStringLiteral("9"));
        f.mouseClick("cmdTRS2dd");
        QCOMPARE(f.prompter.messageTexts(), QStringList{kNoRecords});
        QCOMPARE(f.texts({"lblDDLat", "lblDDLong", "txtTown"}), QStringList({"00", "00", "1"}));
        QVERIFY(!f.page->location());
        f.page->handBackAgain();
        QVERIFY(!caller.received.back().location);
    }

    // Section databases that cannot be read are named, what was typed is kept and no
    // half result is shown.
    void unreadableDatabasesAreNamedAndLeaveNoHalfResult() {
        LookupFixture f;
        QVERIFY(QDir(f.data.filePath(QStringLiteral("databases"))).removeRecursively());
        f.typeTrs(QStringLiteral("1"));
        f.mouseClick("cmdTRS2dd");
        QCOMPARE(f.texts({"lblDDLat", "txtTown"}), QStringList({"", "1"}));
        f.typeDegrees();
        f.mouseClick("cmdFindSTR");
        QCOMPARE(f.text("lblTRSres"), QString());
        // One message for each look-up, naming its missing database.
        const QStringList said = f.prompter.messageTexts();
        QCOMPARE(said.size(), 2);
        for (int i : {0, 1})
            QVERIFY2(said[i].contains(QLatin1String(i ? "PLSS_2010_LL.sqlite" : "PLSS_KOVA_DEC_2010.sqlite")) &&
                         said[i].contains(QLatin1String("does not exist")),
                     qPrintable(said.join('\n')));
    }

    void findStr_data() {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<bool>("copied");   // the result of the search
        QTest::addColumn<bool>("carried");  // the section in the hand-back
        QTest::newRow("facilities") << "wpFac" << true << false;
        QTest::newRow("wildfires") << "frmDBMan" << true << true;
        QTest::newRow("hurricanes") << "wpHcane" << false << false;
    }
    // "Find STR" without a location says so. The section found is described, logged
    // and copied to the windows that take it, and goes back only with the point it
    // was found for; leaving the button hides the progress. No section near says so.
    void findStr() {
        QFETCH(QString, caller);
        QFETCH(bool, copied);
        QFETCH(bool, carried);
        LookupFixture f;
        RecordingReceiver window;
        f.page->startLocating(&window, caller);
        QVERIFY(f.choose("optDD"));
        f.mouseClick("cmdFindSTR");
        QCOMPARE(f.prompter.messageTexts(), QStringList({"No Search Coordinates - Exiting Search Routine"}));
        f.typeDegrees();
        f.mouseClick("cmdFindSTR");
        // 30.4997 N 84.2498 W: both centres lie in the first window; S01 is nearer.
        const QString found = QStringLiteral("T01N R01E S01 NW 1/4 of the SE 1/4");
        QCOMPARE(f.texts({"lblTRSres", "lblPercent"}), QStringList({found, "STR found on iteration 2"}));
        QVERIFY(f.child("strProgress")->isVisible());
        QVERIFY(test::readAll(f.paths.logDir() + QStringLiteral("/search_results.txt"))
                    .startsWith("CONVERSION RESULTS:\r\nNumber of Search Iterations:\r\n\r\n1:30.5007,-84.2488, "));
        QCOMPARE(window.foundSections.size(), copied ? 1U : 0U);
        if (copied) QCOMPARE(QString::fromStdString(window.foundSections.front().sectionText()), found);
        f.page->handBackAgain();
        QCOMPARE(window.received.back().section_(), carried ? found : QString());
        // Away from the point and back: the section goes along again.
        for (const auto& [typing, withSection] :
             {std::pair{"txtDDLatDD=3000", false}, {"txtDDLatDD=4997", true}, {"txtDDLongDD=1000", false}}) {
            window.received.clear();
            f.typeAll({typing});
            QVERIFY2(!window.received.empty(), typing);
            QCOMPARE(window.received.back().section_(), withSection && carried ? found : QString());
        }
        QVERIFY(!f.child("strProgress")->isVisible());

        f.typeInto("txtDDLatD", QStringLiteral("29"));  // a degree away from both sections
        f.mouseClick("cmdFindSTR");
        QCOMPARE(f.prompter.lastMessage(), kNoRecords);
        QCOMPARE(f.text("lblTRSres"), QStringLiteral("No Record"));
    }
};

QTEST_MAIN(ConversionPageTest)
#include "ConversionPageTest.moc"
