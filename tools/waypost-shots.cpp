// waypost-shots: opens each window of the program offscreen and saves its
// picture as <window name>.png in the folder given as the argument. The
// README's pictures come from here.

#include "database/Database.h"
#include "map/MapPanel.h"
#include "platform/ProgramPaths.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Services.h"
#include "platform/TimeZoneInfo.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QListWidget>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSlider>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTextStream>


#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Shot {
    QString window;                         ///< registry name, also the file name
    std::function<void(QWidget*)> prepare;  ///< puts the window into a telling state
};

int usage(const char* reason) {
    std::fprintf(stderr, "waypost-shots: %s\nusage: waypost-shots OUTPUT_FOLDER\n", reason);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) return usage("one output folder is needed");
    if (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        std::printf("usage: waypost-shots OUTPUT_FOLDER\nSaves a PNG of every window of Waypost, "
                    "rendered offscreen, as OUTPUT_FOLDER/<window name>.png.\n");
        return 0;
    }
    const QDir out(args[1]);
    if (!QDir().mkpath(out.absolutePath())) return usage("the output folder cannot be created");

    // Fixed answers so that no window waits for a person.
    waypost::ScriptedPrompter prompter;
    waypost::FixedClock clock(QDateTime(QDate(2026, 9, 14), QTime(14, 30), Qt::UTC));
    waypost::FixedTimeZone timeZone(QStringLiteral("Eastern Standard Time"),
                                    QStringLiteral("Eastern Daylight Time"), true, -5 * 3600);
    const waypost::ProgramPaths paths = waypost::ProgramPaths::forApplication();
    const waypost::Services services{prompter, clock, timeZone, paths};
    waypost::WindowRegistry registry;
    waypost::registerWindows(registry, services);

    // A location typed in decimal degrees, so that every result shows.
    const auto typeLocation = [](QWidget* page) {
        if (auto* dd = page->findChild<QAbstractButton*>(QStringLiteral("optDD"))) dd->click();
        const std::vector<std::pair<const char*, const char*>> typed{
            {"txtDDlongD", "084"}, {"txtDDLongDD", "2807"}, {"txtDDLatD", "30"}, {"txtDDLatDD", "4383"}};
        for (const auto& [field, text] : typed)
            if (auto* edit = page->findChild<QLineEdit*>(QLatin1String(field))) edit->setText(QLatin1String(text));
    };
    const auto click = [](QWidget* window, const char* name) {
        if (auto* button = window->findChild<QAbstractButton*>(QLatin1String(name))) button->click();
    };

    // A small table in a database of the shot folder, listed in a batch window.
    QTemporaryDir tables;
    const auto listTable = [&](QWidget* window, const char* columns, const char* field) {
        const QString path = tables.filePath(QStringLiteral("fires.sqlite"));
        QFile::remove(path);
        {
            waypost::database::Database db(path.toStdString(), waypost::database::Database::Mode::Create);
            db.execute(std::string("CREATE TABLE fires (") + columns + ")");
        }
        prompter.choosePath(path);
        click(window, "cmdConvert");
        if (auto* list = window->findChild<QListWidget*>(QStringLiteral("lstTables")); list && list->count() > 0)
            list->item(0)->setCheckState(Qt::Checked);
        click(window, "cmdFields");
        for (auto* list : window->findChildren<QListWidget*>()) {
            const QString wanted = list->objectName() == QLatin1String("lstLongFld") ? QStringLiteral("Longitude")
                                                                                     : QString::fromLatin1(field);
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->text() == wanted) list->item(i)->setCheckState(Qt::Checked);
        }
    };

    const std::vector<Shot> shots{
        {waypost::windowName::wp_main, {}},
        {waypost::windowName::frmAbout, {}},
        // A helibase being located: the page opened from the facilities window,
        // a location typed there and handed back, the outputs enabled.
        {waypost::windowName::wpFac,
         [&](QWidget* fac) {
             click(fac, "optICS");
             if (auto* type = fac->findChild<QComboBox*>(QStringLiteral("cmbfacType")))
                 type->setCurrentText(QStringLiteral("Helibase"));
             if (auto* name = fac->findChild<QLineEdit*>(QStringLiteral("txtfacName")))
                 name->setText(QStringLiteral("Helibase 2"));
             click(fac, "cmdfCoordCon");
             if (QWidget* page = registry.existing(waypost::windowName::wp_ddc_0306)) typeLocation(page);
             fac->raise();
             fac->activateWindow();
             QApplication::processEvents();  // focus lands first, as it would for a user
             click(fac, "cmdEnableWriteFile");
         }},
        // A wildfire report located through the page, with its section found.
        {waypost::windowName::frmDBMan,
         [&](QWidget* fire) {
             if (auto* name = fire->findChild<QLineEdit*>(QStringLiteral("txtF_Name")))
                 name->setText(QStringLiteral("Bear Creek"));
             if (auto* incident = fire->findChild<QLineEdit*>(QStringLiteral("txtInc_num")))
                 incident->setText(QStringLiteral("FL-TLF-0042"));
             click(fire, "optRepI");
             if (auto* area = fire->findChild<QLineEdit*>(QStringLiteral("txtArea"))) area->setText(QStringLiteral("120.00"));
             if (auto* fuel = fire->findChild<QComboBox*>(QStringLiteral("cmbfFuel"))) fuel->setCurrentText(QStringLiteral("Palmetto-Gallberry"));
             if (auto* cause = fire->findChild<QComboBox*>(QStringLiteral("cmbfCause"))) cause->setCurrentText(QStringLiteral("lightning"));
             if (auto* slider = fire->findChild<QSlider*>(QStringLiteral("sldperCon"))) slider->setValue(40);
             click(fire, "OptfSigNo");
             click(fire, "cmdCoordCon");
             if (QWidget* page = registry.existing(waypost::windowName::wp_ddc_0306)) {
                 typeLocation(page);
                 click(page, "cmdFindSTR");
             }
             fire->raise();
             fire->activateWindow();
             QApplication::processEvents();
             click(fire, "CmdEnable");
         }},
        // A storm position: name, winds, UTC hour, located through the page.
        {waypost::windowName::wpHcane,
         [&](QWidget* storm) {
             if (auto* name = storm->findChild<QComboBox*>(QStringLiteral("cmbName"))) name->setCurrentText(QStringLiteral("Bertha"));
             click(storm, "optActual");
             if (auto* hour = storm->findChild<QScrollBar*>(QStringLiteral("HscrHour"))) hour->setValue(15);
             if (auto* wind = storm->findChild<QSlider*>(QStringLiteral("sldHwind"))) wind->setValue(100);
             click(storm, "cmdHcoordCon");
             if (QWidget* page = registry.existing(waypost::windowName::wp_ddc_0306)) typeLocation(page);
             storm->raise();
             storm->activateWindow();
             QApplication::processEvents();
             click(storm, "cmdEnableWriteFile");
         }},
        // Two facilities gathered by address, the second with a link.
        {waypost::windowName::frmGEAddress,
         [&](QWidget* list) {
             const auto add = [&](const char* name, const char* type, const char* street, const char* zip) {
                 click(list, "optICSAdd");
                 if (auto* t = list->findChild<QComboBox*>(QStringLiteral("cmbPAType"))) t->setCurrentText(QLatin1String(type));
                 for (const auto& [field, text] : {std::pair{"txtPaname", name}, {"txtPastreet", street},
                                                   {"txtPacity", "Tallahassee"}, {"meZip", zip}})
                     if (auto* e = list->findChild<QLineEdit*>(QLatin1String(field))) e->setText(QLatin1String(text));
                 click(list, "cmdEnableKML");
             };
             prompter.answerNo();
             prompter.answerNo();
             add("North Camp", "Camp", "3125 Conner Blvd", "32399");
             prompter.answerYes();
             prompter.answerText(QStringLiteral("http://www.example.org/helibase2.jpg"));
             add("Helibase 2", "Helibase", "3300 Capital Cir SW", "32310");
         }},
        // A grid reference pasted into the location box and read.
        // The KML import with the wildfire type chosen and its attributes filled in.
        {waypost::windowName::kml_firedp_0611,
         [&](QWidget* window) {
             click(window, "optFire");
             for (const auto& [field, text] : {std::pair{"txtF_Name", "Bear Creek"}, {"txtInc_num", "FL-TLF-0042"},
                                               {"meFireEnter", "09-14-26"}, {"txtArea", "120.00"}, {"txtPerim", "1.75"}})
                 if (auto* e = window->findChild<QLineEdit*>(QLatin1String(field))) e->setText(QLatin1String(text));
             for (const char* list : {"cmbfFuel", "cmbfCause", "cmbFtype"})
                 if (auto* c = window->findChild<QComboBox*>(QLatin1String(list))) c->setCurrentIndex(0);
             if (auto* slider = window->findChild<QSlider*>(QStringLiteral("sldperCon"))) slider->setValue(40);
             click(window, "optRepI");
             click(window, "OptfSigNo");
             click(window, "CmdEnable");
             // A fire perimeter with an unburnt island, as a read drawing shows on the map.
             if (auto* map = window->findChild<waypost::MapPanel*>(QStringLiteral("mapPanel"))) {
                 waypost::MapRing edge, island;
                 for (int i = 0; i <= 24; ++i) {
                     const double a = i * 2 * 3.14159265 / 24, r = 0.02 + 0.006 * std::sin(3 * a);
                     edge.emplace_back(-84.35 + r * 1.15 * std::cos(a), 30.52 + r * std::sin(a));
                     island.emplace_back(-84.352 + 0.004 * std::cos(-a), 30.522 + 0.003 * std::sin(-a));
                 }
                 map->setDrawing({{true, {edge, island}}});
             }
         }},
        // Each batch window with a table listed and its fields shown.
        {waypost::windowName::frmdatabase,
         [&](QWidget* window) {
             listTable(window, "USNG TEXT, Name TEXT", "USNG");
             // The points of an earlier run on the map: incidents spread over the state.
             if (auto* map = window->findChild<waypost::MapPanel*>(QStringLiteral("mapPanel"))) {
                 auto points = std::make_shared<std::vector<std::pair<double, double>>>();
                 for (int i = 0; i < 400; ++i)
                     points->emplace_back(-84.9 + 4.5 * std::fmod(i * 0.618034, 1.0), 27.0 + 3.6 * std::fmod(i * 0.414214, 1.0));
                 map->setPoints(points);
             }
         }},
        {waypost::windowName::frmbatLLtoUSNG,
         [&](QWidget* window) { listTable(window, "Name TEXT, Latitude REAL, Longitude REAL", "Latitude"); }},
        {waypost::windowName::wp_ddc_0306,
         [&](QWidget* page) {
             if (auto* box = page->findChild<QLineEdit*>(QStringLiteral("txtAnyLocation"))) {
                 box->setText(QStringLiteral("16R GU 6115 7049"));
                 QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                 QApplication::sendEvent(box, &enter);
             }
         }},
    };

    int failures = 0;
    for (const Shot& shot : shots) {
        QWidget* window = registry.show(shot.window);
        if (!window) {
            std::fprintf(stderr, "waypost-shots: no window %s\n", qPrintable(shot.window));
            ++failures;
            continue;
        }
        if (shot.prepare) shot.prepare(window);
        QApplication::processEvents();
        const QString file = out.filePath(shot.window + QStringLiteral(".png"));
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "waypost-shots: cannot write %s\n", qPrintable(file));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(file));
    }
    registry.UnloadAllForms();
    return failures == 0 ? 0 : 1;
}
