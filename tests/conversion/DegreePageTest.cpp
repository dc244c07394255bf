// The conversion page with degree entry: fields, key filter, checks, lock,
// totals, auto-advance, results, hand-back to the caller, clipboard and closing.
// Every test types into real widgets offscreen and answers prompts with the
// scripted prompter.

#include "PageFixture.h"

#include "engine/AnyLocation.h"
#include "engine/lltoAlbers.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cmath>

using namespace waypost;
using waypost::testing::PageFixture;
using waypost::testing::RecordingReceiver;


namespace {

const QString kLat = QStringLiteral("Latitude must be between 00 and 90");
const QString kLon = QStringLiteral("Longitude must be between 000 and 180");
const QString kSixty = QStringLiteral(" Must Be Less Than 60");

const QStringList kDegreeFields{
    "txtDDlongD",   "txtDDLongDD",  "txtDDLatD",    "txtDDLatDD",    "txtDMMlongdd", "txtDMMlongmm",
    "txtDMMlongdm", "txtDMMlatdd",  "txtDMMlatmm",  "txtDMMlatdm",   "txtDMSlongdd", "txtDMSlongmm",
    "txtDMSlongss", "txtDMSlongssd", "txtDMSlatdd", "txtDMSlatmm",   "txtDMSlatss",  "txtDMSlatssd"};

// Expected label texts, written with printf so that they do not share code with the page.
QString latitudeText(double v) { return QString::asprintf("%09.6f", v); }
QString longitudeText(double v) {
    if (v == 0) return QStringLiteral("000.000000");
    return v < 0 ? QString::asprintf("%011.6f", v) : QString::asprintf("%010.6f", v);
}
/// The value a twelve-decimal label holds.
double twelveDecimals(double v) { return QString::number(v, 'f', 12).toDouble(); }
double leading(const QString& text) {
    // The leading digits (and one point) of a field's text; empty is 0.
    QString number;
    bool point = false;
    for (QChar c : text) {
        if (c.isDigit()) number += c;
        else if (c == QLatin1Char('.') && !point) number += c, point = true;
        else break;
    }
    return number.isEmpty() ? 0.0 : number.toDouble();
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
        f.field("txtAnyLocation")->setFocus();
        QGuiApplication::clipboard()->setText(QStringLiteral("16R GU 61158 70495"));
        QTest::keyClick(f.field("txtAnyLocation"), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(f.field("txtAnyLocation"), Qt::Key_Return);
        QCOMPARE(f.text("lblAnyStatus"), QStringLiteral("Read as US National Grid, 1 m"));
        QVERIFY(f.child<QRadioButton>("optDMS")->isChecked());
        const engine::LocationReading r = engine::readAnyLocation("16R GU 61158 70495");
        QCOMPARE(QStringList({f.text("txtDMSlatdd"), f.text("txtDMSlatmm"), f.text("txtDMSlatss"),
                              f.text("txtDMSlatssd"), f.text("txtDMSlongdd")}),
                 QStringList({"30", "26", QString::number(r.latitudeParts.seconds),
                              QStringLiteral("%1").arg(r.latitudeParts.hundredths, 2, 10, QLatin1Char('0')), "084"}));
        QCOMPARE(f.text("lblUSNG"), QStringLiteral("16R GU 61158 70495"));  // back where it came from
        QVERIFY(!caller.received.empty());
        QCOMPARE(caller.received.back().latitude(), f.text("lblDDLat"));
        QCOMPARE(f.text("txtAnyLocation"), QStringLiteral("16R GU 61158 70495"));  // kept to compare

        f.field("txtAnyLocation")->setText(QStringLiteral("N30 61 W84"));
        QTest::keyClick(f.field("txtAnyLocation"), Qt::Key_Return);
        QVERIFY(f.text("lblAnyStatus").startsWith(QStringLiteral("Not read: 61 minutes")));
        QCOMPARE(f.prompter.messageTexts(), QStringList());  // no message box
        QTest::keyClick(f.field("txtAnyLocation"), Qt::Key_Escape);
        QCOMPARE(f.text("txtAnyLocation"), QString());
    }

    void choosingAGroup_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("prefix");  // of the group's fields
        QTest::addColumn<QString>("first");   // its longitude degrees
        QTest::newRow("D.D") << "optDD" << "txtDD" << "txtDDlongD";
        QTest::newRow("DM.M") << "OptDDM" << "txtDMM" << "txtDMMlongdd";
        QTest::newRow("DMS.S") << "optDMS" << "txtDMS" << "txtDMSlongdd";
    }
    void choosingAGroup() {
        QFETCH(QString, option);
        QFETCH(QString, prefix);
        QFETCH(QString, first);
        PageFixture f;
        QVERIFY(f.show());
        // Texts stay as they were when the group changes.
        f.field("txtDMSlatdd")->setText(QStringLiteral("12"));
        f.click(qPrintable(option));
        for (const QString& name : kDegreeFields)
            QCOMPARE(f.field(qPrintable(name))->isEnabled(), name.startsWith(prefix));
        QCOMPARE(f.focusName(), first);
        QCOMPARE(f.text("txtDMSlatdd"), QStringLiteral("12"));
        for (const char* trs : {"txtTown", "optTSouth", "frmsubSec", "cmdTRScon"})
            QVERIFY2(!f.child(trs)->isEnabled(), trs);
        // The section search works from the degrees.
        QVERIFY(f.child("cmdFindSTR")->isEnabled());
    }

    // Keystrokes per field kind: what is kept, which message is shown, how often it beeps.
    void keystrokes_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("beeps");
        const QStringList none;
        // A refused value: the message, then the field's reset text (the start text in D.D, empty elsewhere).
        QTest::newRow("DD lon 181") << "optDD" << "txtDDlongD" << "181" << "000" << QStringList{kLon} << 0;
        QTest::newRow("DMM lat 91") << "OptDDM" << "txtDMMlatdd" << "91" << "" << QStringList{kLat} << 0;
        QTest::newRow("DMM minutes 61") << "OptDDM" << "txtDMMlongmm" << "61" << "" << QStringList{kSixty} << 0;
        // refused keys: dropped with a beep, no message
        QTest::newRow("letter in degrees") << "optDD" << "txtDDLatD" << "4a" << "4" << none << 1;
        QTest::newRow("letters in digits") << "optDD" << "txtDDLongDD" << "x1y" << "1" << none << 2;
        QTest::newRow("percent ampersand quote paren") << "OptDDM" << "txtDMMlatdd" << "%&'(" << "00" << none << 4;
        // accepted controls and the decimal point
        QTest::newRow("decimal point") << "optDD" << "txtDDLatD" << "8." << "8." << none << 0;
        QTest::newRow("backspace") << "optDD" << "txtDDlongD" << "12\b" << "1" << none << 0;
    }
    void keystrokes() {
        QFETCH(QString, option);
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QStringList, messages);
        QFETCH(int, beeps);
        PageFixture f;
        QVERIFY(f.show());
        f.click(qPrintable(option));
        f.typeInto(qPrintable(field), keys);
        QCOMPARE(f.text(qPrintable(field)), text);
        QCOMPARE(f.prompter.messageTexts(), messages);
        QCOMPARE(f.prompter.beeps(), beeps);
        for (const auto& message : f.prompter.messages()) {
            QCOMPARE(message.title, QStringLiteral("Waypost"));
            QCOMPARE(message.icon, Prompter::Icon::None);
            QCOMPARE(message.buttons, Prompter::Buttons::Ok);
        }
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    void aRefusedValueNeverReachesTheTotals() {
        PageFixture f;
        QVERIFY(f.show());
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("9"));
        QCOMPARE(f.page->latitude(), 9.0);
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("09.000000"));
        QTest::keyClicks(f.field("txtDDLatD"), QStringLiteral("1"));
        QCOMPARE(f.prompter.messageTexts(), QStringList{kLat});
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("00"));
        QCOMPARE(f.page->latitude(), 0.0);
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("00.000000"));
        QCOMPARE(f.text("lblddlatraw"), QStringLiteral("00.000000000000"));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLatD"));  // a reset does not advance
        // The reset text is selected: the next keys type over it.
        QTest::keyClicks(f.field("txtDDLatD"), QStringLiteral("3"));
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("3"));
        QCOMPARE(f.page->latitude(), 3.0);
    }

    void navigationAndEditingKeysAreNotFiltered() {
        PageFixture f;
        QVERIFY(f.show());
        f.click("optDD");
        QLineEdit* digits = f.field("txtDDLongDD");
        f.typeInto("txtDDLongDD", QStringLiteral("12"));
        QTest::keyClick(digits, Qt::Key_Left);
        QTest::keyClick(digits, Qt::Key_Left);
        QTest::keyClicks(digits, QStringLiteral("3"));
        QTest::keyClick(digits, Qt::Key_End);
        QTest::keyClick(digits, Qt::Key_Home);
        QTest::keyClick(digits, Qt::Key_Delete);
        QTest::keyClick(digits, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(digits->text(), QStringLiteral("12"));
        QCOMPARE(digits->selectedText(), QStringLiteral("12"));
        QCOMPARE(f.prompter.beeps(), 0);
        // Return and Escape type control characters the filter refuses.
        QTest::keyClick(digits, Qt::Key_Return);
        QTest::keyClick(digits, Qt::Key_Escape);
        QCOMPARE(f.prompter.beeps(), 2);
        QVERIFY(f.prompter.messageTexts().isEmpty());
    }

    void pastedTextGoesThroughTheSameChecks() {
        PageFixture f;
        QVERIFY(f.show());
        f.click("optDD");
        QGuiApplication::clipboard()->setText(QStringLiteral("95"));
        f.field("txtDDLatD")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f.field("txtDDLatD"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.prompter.messageTexts(), QStringList{kLat});
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("00"));
        QCOMPARE(f.page->latitude(), 0.0);

        f.prompter.clearCalls();
        QGuiApplication::clipboard()->setText(QStringLiteral("4a"));
        f.field("txtDDLatD")->selectAll();
        QTest::keyClick(f.field("txtDDLatD"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("4"));
        QCOMPARE(f.prompter.beeps(), 1);
        QVERIFY(f.prompter.messageTexts().isEmpty());
        QCOMPARE(f.page->latitude(), 4.0);
    }

    void poleAndAntimeridianLock_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("degrees");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("locked");  // field=text
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::newRow("DM.M pole") << "OptDDM" << "txtDMMlatdd" << "90"
                                   << QStringList{"txtDMMlatmm=00", "txtDMMlatdm=0000"} << 90.0 << -0.0;
        QTest::newRow("DMS.S antimeridian") << "optDMS" << "txtDMSlongdd" << "180"
                                            << QStringList{"txtDMSlongmm=00", "txtDMSlongss=00", "txtDMSlongssd=0"}
                                            << 0.0 << -180.0;
    }
    void poleAndAntimeridianLock() {
        QFETCH(QString, option);
        QFETCH(QString, degrees);
        QFETCH(QString, keys);
        QFETCH(QStringList, locked);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        PageFixture f;
        QVERIFY(f.show());
        f.click(qPrintable(option));
        // Something in the other fields first, so that the lock has to zero them.
        for (const QString& entry : locked) f.field(qPrintable(entry.section('=', 0, 0)))->setText("7");
        f.typeInto(qPrintable(degrees), keys);
        for (const QString& entry : locked) {
            const QString name = entry.section('=', 0, 0);
            QCOMPARE(f.text(qPrintable(name)), entry.section('=', 1));
            QVERIFY2(!f.field(qPrintable(name))->isEnabled(), qPrintable(name));
        }
        QCOMPARE(f.page->latitude(), latitude);
        QCOMPARE(f.page->longitude(), longitude);
        QVERIFY(f.prompter.messageTexts().isEmpty());

        // The lock holds while the degrees change, until the group is chosen again.
        f.typeInto(qPrintable(degrees), QStringLiteral("45"));
        for (const QString& entry : locked) QVERIFY(!f.field(qPrintable(entry.section('=', 0, 0)))->isEnabled());
        f.click(qPrintable(option));
        for (const QString& entry : locked) QVERIFY(f.field(qPrintable(entry.section('=', 0, 0)))->isEnabled());
    }

    // Coordinate totals of the three notations, typed key by key.
    void coordinateTotals_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("typing");  // field=keys, in order
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        // D.D is followed key by key in resultsAfterEveryKey.
        QTest::newRow("DM.M") << "OptDDM"
                              << QStringList{"txtDMMlongdd=081", "txtDMMlongmm=30", "txtDMMlatdd=30", "txtDMMlatmm=15",
                                             "txtDMMlatdm=5"}
                              << 30 + 15.5 / 60 << -81.5;
        QTest::newRow("DMS.S") << "optDMS"
                               << QStringList{"txtDMSlongdd=084", "txtDMSlongmm=16", "txtDMSlongss=50",
                                              "txtDMSlongssd=52", "txtDMSlatdd=30", "txtDMSlatmm=15", "txtDMSlatss=30",
                                              "txtDMSlatssd=50"}
                               << 30 + 15.0 / 60 + 30.5 / 3600 << -(84 + 16.0 / 60 + 50.52 / 3600);
        // A typed decimal point in degrees: the whole number, a half to even.
        QTest::newRow("degrees 8.5") << "optDD" << QStringList{"txtDDlongD=8.5"} << 0.0 << -8.0;
    }
    void coordinateTotals() {
        QFETCH(QString, option);
        QFETCH(QStringList, typing);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        PageFixture f;
        QVERIFY(f.show());
        f.click(qPrintable(option));
        for (const QString& entry : typing) f.typeInto(qPrintable(entry.section('=', 0, 0)), entry.section('=', 1));
        QVERIFY2(std::abs(f.page->latitude() - latitude) < 1e-12, qPrintable(QString::number(f.page->latitude(), 'g', 17)));
        QVERIFY2(std::abs(f.page->longitude() - longitude) < 1e-12,
                 qPrintable(QString::number(f.page->longitude(), 'g', 17)));
        QCOMPARE(f.text("lblDDLat"), latitudeText(latitude));
        QCOMPARE(f.text("lblDDLong"), longitudeText(longitude));
        QCOMPARE(f.text("lblddlatraw"), QString::asprintf("%015.12f", latitude));
        QVERIFY(f.prompter.messageTexts().isEmpty());
        QCOMPARE(f.prompter.beeps(), 0);
    }

    // Minutes and seconds of 60 are accepted, so 89 60 60.99 lies just past the
    // pole; the page keeps converting and handing back.
    void aLatitudePastThePoleStillConverts() {
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        f.click("optDMS");
        for (const auto& [name, keys] : QList<QPair<const char*, QString>>{
                 {"txtDMSlatdd", "89"}, {"txtDMSlatmm", "60"}, {"txtDMSlatss", "60"}, {"txtDMSlatssd", "99"}})
            f.typeInto(name, keys);
        QVERIFY(std::abs(f.page->latitude() - (89 + 1 + 1.0 / 60 + 0.99 / 3600)) < 1e-12);
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("90.016942"));
        QVERIFY(!f.text("lblUSNG").isEmpty());
        QVERIFY(!f.text("lblAlbersY").isEmpty());
        QVERIFY(!caller.received.empty());
        QCOMPARE(caller.received.back().latitude(), QStringLiteral("90.016942"));
    }

    void autoAdvance_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus");
        QTest::newRow("DD lon digits not full") << "optDD" << "txtDDLongDD" << "25" << "txtDDLongDD";
        QTest::newRow("DM.M minutes") << "OptDDM" << "txtDMMlongmm" << "60" << "txtDMMlongdm";
        QTest::newRow("DM.M refused minutes stay") << "OptDDM" << "txtDMMlatmm" << "61" << "txtDMMlatmm";
        QTest::newRow("DMS.S hundredths to latitude") << "optDMS" << "txtDMSlongssd" << "52" << "txtDMSlatdd";
    }
    void autoAdvance() {
        QFETCH(QString, option);
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        PageFixture f;
        QVERIFY(f.show());
        f.click(qPrintable(option));
        f.typeInto(qPrintable(field), keys);
        QCOMPARE(f.focusName(), focus);
        // The next field arrives with its text selected, ready to be typed over.
        if (focus != field) QCOMPARE(f.field(qPrintable(focus))->selectedText(), f.text(qPrintable(focus)));
    }

    void autoAdvanceNeedsTheCaretAtTheEnd() {
        PageFixture f;
        QVERIFY(f.show());
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("3"));
        QTest::keyClick(f.field("txtDDLatD"), Qt::Key_Home);
        QTest::keyClicks(f.field("txtDDLatD"), QStringLiteral("4"));
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("43"));
        QCOMPARE(f.focusName(), QStringLiteral("txtDDLatD"));
        QCOMPARE(f.page->latitude(), 43.0);
    }

    // Every handed-back value, after every key, against values worked out here; a
    // full field hands the focus on, so the whole location is typed without a Tab.
    void resultsAfterEveryKey() {
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        QVERIFY(caller.received.empty());
        f.click("optDD");
        engine::lltoAlbers oracle;
        const QList<QPair<const char*, QString>> typing{
            {"txtDDlongD", "084"}, {"txtDDLongDD", "2500"}, {"txtDDLatD", "30"}, {"txtDDLatDD", "5000"}};
        int keys = 0;
        for (const auto& [name, text] : typing) {
            QCOMPARE(f.focusName(), QString::fromLatin1(name));
            for (QChar key : text) {
                const std::size_t before = caller.received.size();
                f.typeOn(QString(key));
                ++keys;
                QVERIFY2(caller.received.size() > before, qPrintable(QStringLiteral("no hand-back after key %1").arg(keys)));
                QVERIFY(caller.received.back().location);
                const engine::Location& got = *caller.received.back().location;

                const double lat = leading(f.text("txtDDLatD")) + leading("0." + f.text("txtDDLatDD"));
                const double lon = -leading(f.text("txtDDlongD")) - leading("0." + f.text("txtDDLongDD"));
                QCOMPARE(QString::fromStdString(got.latitudeText()), latitudeText(lat));
                QCOMPARE(QString::fromStdString(got.longitudeText()), longitudeText(lon));
                oracle.ProjectAlbers(lat, lon);
                QCOMPARE(got.albersX, static_cast<double>(static_cast<qint64>(oracle.AlbersX)));
                QCOMPARE(got.albersY, static_cast<double>(static_cast<qint64>(oracle.AlbersY)));
                QCOMPARE(got.usng, oracle.USNGFromLatLong(twelveDecimals(lat), twelveDecimals(lon)));
                QCOMPARE(got.utm, oracle.UTMText);
                QCOMPARE(caller.received.back().section, SectionHandover::KeptByWindow);  // the facilities window
                QCOMPARE(got, *f.page->location());
                // What the page shows is the value it handed on.
                QCOMPARE(f.text("lblAlbersY"), QString::fromStdString(got.albersYText()));
                QCOMPARE(f.text("lblUSNG"), QString::fromStdString(got.usng));
            }
        }
        QCOMPARE(keys, 13);
        QVERIFY(!f.focusName().startsWith(QLatin1String("txtDD")));
        const testing::Handed& last = caller.received.back();
        QCOMPARE(last.latitude(), QStringLiteral("30.500000"));
        QCOMPARE(last.longitude(), QStringLiteral("-084.250000"));
        QCOMPARE(last.usng(), QStringLiteral("16R GU 63941 77408"));
        QCOMPARE(last.location->utm, std::string("16R 763941 3377408"));
    }

    void handBackByCallerName_data() {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<bool>("receives");
        QTest::addColumn<bool>("withTrs");
        QTest::newRow("facilities") << "wpFac" << true << false;
        QTest::newRow("wildfires") << "frmDBMan" << true << true;
        QTest::newRow("another window") << "frmAbout" << false << false;
    }
    void handBackByCallerName() {
        QFETCH(QString, caller);
        QFETCH(bool, receives);
        QFETCH(bool, withTrs);
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver window;
        f.page->startLocating(&window, caller);
        QCOMPARE(f.page->CallerName(), caller);
        f.click("optDMS");
        f.typeInto("txtDMSlongdd", QStringLiteral("081"));
        f.typeInto("txtDMSlongmm", QStringLiteral("30"));
        QCOMPARE(!window.received.empty(), receives);
        if (receives) {
            QCOMPARE(window.received.back().longitude(), QStringLiteral("-081.500000"));
            QCOMPARE(window.received.back().section == SectionHandover::Carried, withTrs);
        }
    }

    void startLocatingResetsWithoutHandingTheStartTextsOn() {
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver first;
        auto second = std::make_unique<RecordingReceiver>();
        f.page->startLocating(&first, QStringLiteral("wpFac"));
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("30"));
        f.typeInto("txtDDlongD", QStringLiteral("084"));
        const std::size_t firstCount = first.received.size();
        QVERIFY(firstCount > 0);
        const std::optional<engine::Location> firstLast = first.received.back().location;

        f.page->startLocating(second.get(), QStringLiteral("frmDBMan"));
        QCOMPARE(f.page->caller(), static_cast<QObject*>(second.get()));
        // The window before keeps its location: no zeros were handed to it.
        QCOMPARE(first.received.size(), firstCount);
        QCOMPARE(first.received.back().location, firstLast);
        QVERIFY(second->received.empty());
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("00"));  // the fields show their start texts again
        QCOMPARE(f.text("txtDDlongD"), QStringLiteral("000"));
        for (const char* result : {"lblDDLat", "lblUSNG", "lblTRSres"}) QVERIFY2(f.text(result).isEmpty(), result);
        QVERIFY(!f.child("cmdclipbrdUSNG")->isEnabled());
        QCOMPARE(f.page->CallerName(), QStringLiteral("frmDBMan"));

        f.typeInto("txtDDLatD", QStringLiteral("2"));
        QCOMPARE(first.received.size(), firstCount);
        QVERIFY(!second->received.empty());
        QCOMPARE(second->received.back().latitude(), QStringLiteral("02.000000"));
        QCOMPARE(second->received.back().section, SectionHandover::Carried);

        // A caller destroyed while locating receives nothing more; the page goes on converting.
        second.reset();
        QCOMPARE(f.page->caller(), nullptr);
        f.typeInto("txtDDLatDD", QStringLiteral("5"));
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("02.500000"));
        QCOMPARE(f.page->CallerName(), QStringLiteral("frmDBMan"));
    }

    void copyToClipboard() {
        PageFixture f;
        QVERIFY(f.show());
        auto* copy = f.child<QPushButton>("cmdclipbrdUSNG");
        QVERIFY(!copy->isEnabled());
        f.click("optDD");
        QVERIFY(!copy->isEnabled());
        f.typeInto("txtDDlongD", QStringLiteral("084"));
        QVERIFY(copy->isEnabled());  // a reference is shown
        f.typeInto("txtDDLongDD", QStringLiteral("25"));
        f.typeInto("txtDDLatD", QStringLiteral("30"));
        f.typeInto("txtDDLatDD", QStringLiteral("5"));
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        f.mouseClick("cmdclipbrdUSNG");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("16R GU 63941 77408"));
        f.mouseClick("cmdconClose");
        QVERIFY(!copy->isEnabled());
    }

    void closingSequence() {
        PageFixture f;
        QVERIFY(f.show());
        RecordingReceiver caller;
        f.page->startLocating(&caller, QStringLiteral("wpFac"));
        f.click("optDD");
        f.typeInto("txtDDLatD", QStringLiteral("30"));
        f.typeInto("txtDDLatDD", QStringLiteral("5"));
        f.click("optTRS");
        f.click("optTSouth");
        f.typeInto("txtTown", QStringLiteral("12"));
        f.typeInto("txtSection", QStringLiteral("5"));
        QPointer<wp_ddc_0306> page = f.page.get();

        f.mouseClick("cmdconClose");
        QVERIFY(page);  // hidden, not destroyed
        QVERIFY(!f.page->isVisible());
        for (const char* option : {"optDD", "OptDDM", "optDMS", "optTRS"})
            QVERIFY2(!f.child<QRadioButton>(option)->isChecked(), option);
        for (const char* name : {"txtDDLatD", "txtDMSlongdd", "txtTown", "optTSouth", "frmsubSec", "cmdclipbrdUSNG"})
            QVERIFY2(!f.child(name)->isEnabled(), name);
        QCOMPARE(f.text("txtTown"), QStringLiteral("00"));
        QCOMPARE(f.text("txtSection"), QStringLiteral("0000"));
        // What was typed and converted stays for the next opening.
        QCOMPARE(f.text("txtDDLatD"), QStringLiteral("30"));
        QCOMPARE(f.text("lblDDLat"), QStringLiteral("30.500000"));
        QCOMPARE(f.page->latitude(), 30.5);
        QCOMPARE(f.page->CallerName(), QStringLiteral("wpFac"));
    }
};

QTEST_MAIN(DegreePageTest)
#include "DegreePageTest.moc"
