// A monkey for every window: each window is built offscreen, every dialog is
// answered at random, and hostile text is typed into random fields while
// buttons, options, lists, sliders and scroll bars are worked at random.
// Seeded, so a run can be repeated step by step.
//
// It fails when the program dies (an exception out of a handler, a sanitizer
// report), when a file it wrote does not read back (GDAL for shapefiles,
// tables, GPX, GeoJSON and GeoPackage, the XML reader for KML and KMZ, the CSV rule for record files,
// SQLite's integrity check for databases), or when anything was written
// outside its own folder.
//
//   waypost_monkey [--seed N] [--steps N] [--window NAME]... [--verbose] [--keep]
//
// The normal test run uses a thousand steps per window; a soak is the same
// program with a large --steps and another --seed. --verbose prints every step
// before it runs, which is the step list of a failure.

#include "database/Database.h"
#include "platform/Services.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"
#include "support/ArchiveReading.h"
#include "support/KmlDocuments.h"
#include "support/TableWriting.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDirIterator>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>
#include <QTextEdit>

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <iostream>
#include <random>

using namespace waypost;

namespace {

bool g_verbose = false, g_keep = false;
QStringList g_failures;
std::mt19937_64 g_rng;  // every random choice of a window's run, seeded per window

void fail(const QString& why) { g_failures << why; std::cerr << "FAIL: " << why.toStdString() << '\n'; }
void trace(const QString& what) { if (g_verbose) std::cerr << what.toStdString() << '\n'; }

int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(g_rng); }

/// One element at random; from an empty list nothing, without a draw.
template <class T> T pick(const QList<T>& list) { return list.isEmpty() ? T() : list.at(below(int(list.size()))); }

QStringList words(const char* list) { return QString::fromUtf8(list).split(u'|'); }

/// Texts people and pastes produce, the hostile ones first.
QString randomText() {
    // \p count characters, each the code \p one gives.
    const auto made = [](int count, auto one) { QString s; while (count-- > 0) s += QChar(char16_t(one())); return s; };
    const auto digit = [] { return u'0' + below(10); };
    static const QStringList fixed = words(
        "1e400|-1e400|1e-400|NaN|inf|-0|02-30-2026|13-45-2026|00-00-0000|99-99-9999|2-29-2027|12/31/1899|\"<>&'|"
        "]]><![CDATA[|&amp;&#0;&lt;|🔥🚒 Camp|   ||30.5|-84.25|30 26 18|84 16 51|16R GU 6115 7049|T01S R01E S08|120|"
        "50|4294967319|0|32301|01234|Tallahassee|a\"b,c|C:\\temp\\x.shp|../../etc/passwd");
    static const QStringList plausible = words(
        "30.5|-84.25|30|84|26|18|16R GU 6115 7049|30.4383, -84.2807|N30 26.30 W84 16.84|120|Camp Blanding|"
        "FL-TAD-000123|1,250.5|09-14-2026|09-14-26|32301|Unknown");
    if (below(5) < 2) return pick(plausible);
    switch (below(8)) {
    case 0: return made(1 + below(40), digit);
    case 1: return QStringLiteral("-") + made(1 + below(20), digit);
    // Control characters and DEL.
    case 2: return made(1 + below(6), [] { return below(2) ? 1 + below(31) : 0x7f; }) + u'x';
    case 3: return QString(5000, QChar(below(2) ? u'A' : u'9'));
    case 4: return made(1 + below(3), digit) + u'.' + made(below(8), digit);
    default: return pick(fixed);
    }
}

/// Answers every dialog at random: yes or no, cancel or empty or some text,
/// a new or an existing file in the monkey's folder.
class RandomPrompter final : public Prompter {
public:
    explicit RandomPrompter(QString folder) : m_folder(std::move(folder)) {}

    void message(const QString& text, const QString&, Icon) override { trace(QStringLiteral("  message: ") + text.left(120)); }
    Answer question(const QString& text, const QString&, Icon, Answer) override {
        const Answer a = below(2) ? Answer::Yes : Answer::No;
        trace(QStringLiteral("  question: %1 -> %2").arg(text.left(100), a == Answer::Yes ? "yes" : "no"));
        return a;
    }
    std::optional<QString> inputText(const QString& prompt, const QString&, const QString&) override {
        const int choice = below(4);
        trace(QStringLiteral("  input: ") + prompt.left(100));
        return choice == 0 ? std::nullopt : std::optional(choice == 1 ? QString() : randomText());
    }
    std::optional<QString> openFile(const FileDialog& dialog) override { return path(dialog, true); }
    std::optional<QString> saveFile(const FileDialog& dialog) override { return path(dialog, false); }
    void beep() override {}

private:
    std::optional<QString> path(const FileDialog& dialog, bool open) {
        static const QStringList names = words("out|St. Marks|fire \"one\"|Ñandú 🔥|a&b<c>");
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        const int choice = below(10);
        const QStringList existing = QDir(m_folder).entryList(QDir::Files, QDir::Name);
        std::optional<QString> chosen;
        if (choice > 0 && choice <= (open ? 7 : 3) && !existing.isEmpty()) {
            chosen = m_folder + u'/' + pick(existing);
        } else if (choice > 0) {
            chosen = m_folder + u'/' + pick(names);
            QStringList extensions;
            for (auto it = pattern.globalMatch(dialog.filter); it.hasNext();) extensions << it.next().captured(1);
            if (!extensions.isEmpty() && below(5)) *chosen += u'.' + pick(extensions);
        }
        trace(QStringLiteral("  %1 \"%2\" -> %3")
                  .arg(open ? "open" : "save", dialog.title, chosen.value_or(QStringLiteral("cancel"))));
        return chosen;
    }

    QString m_folder;
};

// ---------------------------------------------------------------- files to open

/// What a person brings to the import and KML windows: a text table, a dBase
/// file, a SQLite database, an Access database, a drawing as KML and KMZ.
void placeInputs(const QString& folder) {
    if (!test::writeFile(folder + QStringLiteral("/points.csv"),
                         "Name,Latitude,Longitude,USNG,Zip\r\nCamp A,30.4383,-84.2807,16R GU 6115 7049,01234\r\n"
                         "\"Camp, B\",29.65,-82.32,17R LL 7084 8093,00501\r\nCamp C,abc,-81.5,bad,32301\r\n"))
        fail(QStringLiteral("cannot write points.csv"));
    const QString data = QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/");
    QFile::copy(data + QStringLiteral("kml/square.kml"), folder + QStringLiteral("/square.kml"));
    QFile::copy(data + QStringLiteral("access/v2000_numeric.mdb"), folder + QStringLiteral("/numeric.mdb"));
    const QByteArray drawing = test::document(test::line("-84.25,30.5 -84.24,30.51 -84.23,30.5"));
    if (!test::writeKmz(folder + QStringLiteral("/line.kmz"), drawing)) fail(QStringLiteral("cannot write line.kmz"));
    if (!test::writeTables(folder + QStringLiteral("/coords.dbf"), "ESRI Shapefile",
                           {{"coords", {{"USNG", "LAT:real"}, {"16R GU 6115 7049", "30.5"}, {"17R LL 7084 8093", "30.5"},
                                        {"nonsense", "30.5"}}}}))
        fail(QStringLiteral("cannot write coords.dbf"));
    database::Database(folder.toStdString() + "/fires.sqlite", database::Database::Mode::Create)
        .execute("CREATE TABLE \"fire sites\"(Name TEXT, Latitude REAL, Longitude REAL, USNG TEXT, RowID TEXT);"
                 "INSERT INTO \"fire sites\" VALUES('a',30.4383,-84.2807,'16R GU 6115 7049','x'),"
                 "('b',29.65,-82.32,'17R LL 7084 8093','x'),('c',91,-200,'',NULL);");
}

// ---------------------------------------------------------------- files read back

/// A record file: every line splits into as many quoted or bare values as its header.
QString recordProblem(const QByteArray& bytes) {
    if (!bytes.startsWith('"')) return {};  // not a record file of the windows
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QStringList lines = QString(utf8(bytes)).split(QStringLiteral("\r\n"));
    if (utf8.hasError()) return QStringLiteral("not UTF-8");
    const auto count = [](const QString& line) {
        int fields = 1;
        bool quoted = false;
        for (QChar c : line) fields += (quoted ^= c == u'"') ? 0 : c == u',';  // a comma outside quotes parts values
        return quoted ? -1 : fields;
    };
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty() && i == lines.size() - 1) continue;
        if (lines[i].contains(u'\n') || lines[i].contains(u'\r')) return QStringLiteral("line %1 has a bare line end").arg(i + 1);
        if (count(lines[i]) != count(lines.first())) return QStringLiteral("line %1 does not match the header").arg(i + 1);
    }
    return {};
}

QString gdalProblem(const QString& path) {
    CPLErrorReset();
    GDALDatasetUniquePtr ds(GDALDataset::Open(path.toUtf8(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!ds) return QStringLiteral("GDAL cannot open it: ") + QString::fromUtf8(CPLGetLastErrorMsg());
    for (OGRLayer* layer : ds->GetLayers())
        for (auto& feature : *layer)
            if (!feature) return QStringLiteral("a record cannot be read");
    return CPLGetLastErrorType() >= CE_Failure ? QString::fromUtf8(CPLGetLastErrorMsg()) : QString();
}

QString sqliteProblem(const QString& path) {
    try {
        database::Database db(path.toStdString(), database::Database::Mode::ReadOnly);
        database::Statement check = db.prepare("PRAGMA integrity_check");
        const std::string verdict = check.step() ? check.columnText(0) : "no verdict";
        return verdict == "ok" ? QString() : QString::fromStdString(verdict);
    } catch (const database::DatabaseError& e) {
        return QString::fromUtf8(e.what());
    }
}

/// Why a file the windows wrote does not read back, by its kind; empty when it does.
QString fileProblem(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const auto is = [&](const char* kinds) { return words(kinds).contains(suffix); };
    const auto kmlProblem = [](const QByteArray& bytes) {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) xml.readNext();
        return xml.hasError() ? QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()) : QString();
    };
    if (is("kml")) return kmlProblem(test::readAll(path));
    if (is("kmz")) {
        const QByteArray doc = test::readArchive(path).value(QStringLiteral("doc.kml"));
        return doc.isEmpty() ? QStringLiteral("no doc.kml in the archive") : kmlProblem(doc);
    }
    if (is("shp|dbf|gpx|geojson|gpkg")) return gdalProblem(path);
    if (is("sqlite")) return sqliteProblem(path);
    if (is("txt|csv")) return recordProblem(test::readAll(path));
    if (is("png") && QImage(path).isNull()) return QStringLiteral("not a picture");
    if (is("pdf") && !test::readAll(path).startsWith("%PDF")) return QStringLiteral("not a PDF");
    OGRSpatialReference srs;
    if (is("prj") && srs.importFromWkt(test::readAll(path).trimmed().constData()) != OGRERR_NONE)
        return QStringLiteral("not a projection");
    return {};
}

int checkFilesIn(const QString& folder, const QString& window) {
    int checked = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext(); ++checked) {
        const QString path = it.next(), problem = fileProblem(path);
        if (!problem.isEmpty()) fail(QStringLiteral("%1: %2 does not read back: %3").arg(window, path, problem));
    }
    return checked;
}

/// Every file under \p folder with its size and time, to see that nothing changed there.
QStringList snapshot(const QString& folder) {
    QStringList out;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo info(it.next());
        out << QStringLiteral("%1 %2 %3").arg(info.filePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

// ---------------------------------------------------------------- the monkey

int g_step = 0;  // the step of the window's run under way

void say(const QString& what, const QObject* on) {
    trace(QStringLiteral("%1 %2 %3").arg(g_step).arg(what, on->objectName()));
}

/// \p w told with \p what is done to it, then focused as a click focuses it.
void touch(QWidget* w, const QString& what) { say(what, w); w->setFocus(Qt::MouseFocusReason); }

/// Background work (table runs), which shows the wait cursor while it runs, ends before the windows go.
void waitWhileBusy() { for (int i = 0; i < 3000 && QApplication::overrideCursor(); ++i) QTest::qWait(10); }

/// The window under test, shown again when an action closed it; now and
/// then another open window (the conversion page a feature window opened).
QWidget* target(WindowRegistry& registry, const QString& name) {
    QWidget* own = registry.existing(name);
    if (!own || !own->isVisible()) own = registry.show(name);
    if (below(5) == 0) {
        QList<QWidget*> others;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != own && w->isVisible() && !w->objectName().isEmpty() && !qobject_cast<QMenu*>(w)) others << w;
        if (QWidget* another = pick(others)) own = another;
    }
    if (own && QApplication::activeWindow() != own) {
        own->activateWindow();
        (void)QTest::qWaitForWindowActive(own, 200);
    }
    return own;
}

/// Every visible, enabled control of a kind that \p also takes (when given), whatever its name: new
/// controls are reached too.
template <class T> QList<T*> usable(QWidget* window, const std::function<bool(T*)>& also = {}) {
    QList<T*> out;
    // A test of the server connection would wait on the network: the agency
    // tests drive it against their own server instead.
    for (T* w : window->findChildren<T*>())
        if (w->isVisibleTo(window) && w->isEnabled() && w->objectName() != QLatin1String("cmdTest") &&
            (!also || also(w)))
            out << w;
    return out;
}

/// Every character as a key press and release carrying it, control
/// characters and characters outside the keyboard's keys included.
void typeText(QWidget* field, const QString& text) {
    for (const uint code : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        const int key = code >= 0x20 && code < 0x7f ? int(QChar(code).toUpper().unicode()) : int(Qt::Key_unknown);
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier, one);
            QApplication::sendEvent(field, &event);
        }
    }
}

/// Random text typed or pasted into a random field, over or after what it holds.
void typeInto(QWidget* window) {
    QWidget* field = pick(usable<QWidget>(window, [](QWidget* w) {
        return (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w)) &&
               !w->property("readOnly").toBool();
    }));
    if (!field) return;
    const QString text = randomText();
    say(QStringLiteral("type \"%1\"").arg(text.size() > 60 ? text.left(20) + QStringLiteral("...") : text), field);
    field->setFocus(Qt::TabFocusReason);
    if (below(2)) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.size() > 60 || below(6) == 0) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeText(field, text);
    }
    if (const int after = below(4); after < 2) QTest::keyClick(field, after ? Qt::Key_Tab : Qt::Key_Return);
}

/// What a person sensibly types, field by field, so that the monkey also
/// gets past the enable checks to the outputs. Fields not named here are
/// reached by the random typing alone.
void fillSensibly(QWidget* window) {
    static const QHash<QString, QString> sensible{
        {"txtAnyLocation", "16R GU 6115 7049"}, {"txtF_Name", "Bear Creek"}, {"txtInc_num", "42"}, {"txtArea", "120"},
        {"txtPerim", "1.5"}, {"txtfacName", "Helibase 2"}, {"txtHwind", "115"}, {"txtPaname", "North Camp"},
        {"txtPastreet", "100 Main St"}, {"txtPacity", "Tallahassee"}, {"meZip", "32301"}};
    say(QStringLiteral("fill sensibly"), window);
    for (QLineEdit* field : usable<QLineEdit>(window)) {
        QString value = sensible.value(field->objectName());
        // A date field takes today in the form its mask has.
        if (const QString mask = field->inputMask(); mask.startsWith(QLatin1String("00-00-00")))
            value = QDate::currentDate().toString(mask.startsWith(QLatin1String("00-00-0000")) ? QStringLiteral("MMddyyyy")
                                                                                               : QStringLiteral("MMddyy"));
        if (value.isEmpty() || field->isReadOnly()) continue;
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        typeText(field, value);
        QTest::keyClick(field, Qt::Key_Return);
    }
    for (QComboBox* list : usable<QComboBox>(window))
        if (list->currentIndex() < 0 && list->count() > 0) {
            list->setCurrentIndex(0);
            emit list->activated(0);
        }
    // Then the window's enable step, which opens its outputs to the clicks.
    const auto enable = [](QPushButton* b) {
        return b->objectName().contains(QLatin1String("enable"), Qt::CaseInsensitive);
    };
    if (QPushButton* b = pick(usable<QPushButton>(window, enable))) QTest::mouseClick(b, Qt::LeftButton);
}

void focus(QWidget* window) {
    QWidget* w = pick(usable<QWidget>(window));
    if (!w || w->focusPolicy() == Qt::NoFocus) return;
    say(QStringLiteral("focus"), w);
    w->setFocus(Qt::TabFocusReason);
}

void click(QWidget* window) {
    QAbstractButton* b = pick(usable<QAbstractButton>(window));
    if (!b) return;
    say(QStringLiteral("click"), b);
    if (qobject_cast<QPushButton*>(b)) return QTest::mouseClick(b, Qt::LeftButton);
    b->setFocus(Qt::MouseFocusReason);
    b->click();
}

void slide(QWidget* window) {
    QAbstractSlider* s = pick(usable<QAbstractSlider>(window));
    if (!s) return;
    const int end = below(3);
    const int value = end < 2 ? (end ? s->maximum() : s->minimum())
                              : std::uniform_int_distribution<int>(s->minimum(), s->maximum())(g_rng);
    touch(s, QStringLiteral("slide %1").arg(value));
    s->setValue(value);
}

void choose(QWidget* window) {
    QComboBox* c = pick(usable<QComboBox>(window));
    if (!c) return;
    const int index = below(c->count() + 1) - 1;
    touch(c, QStringLiteral("choose %1").arg(index));
    c->setCurrentIndex(index);
    if (index >= 0) emit c->activated(index);
}

void listItem(QWidget* window) {
    QListWidget* l = pick(usable<QListWidget>(window));
    if (!l || l->count() == 0) return;
    QListWidgetItem* item = l->item(below(l->count()));
    touch(l, QStringLiteral("list item %1").arg(item->text()));
    l->setCurrentItem(item);
    if (item->flags() & Qt::ItemIsUserCheckable)
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    emit l->itemClicked(item);
    if (below(4) == 0) emit l->itemDoubleClicked(item);
}

/// Now and then the window is closed; else a menu command, or a key on the focused control.
void other(QWidget* window) {
    const int choice = below(10);
    if (choice == 0) {
        say(QStringLiteral("close"), window);
        window->close();
    } else if (choice < 4) {
        QList<QAction*> actions;
        for (QAction* a : window->findChildren<QAction*>())
            if (a->isEnabled() && !a->isSeparator() && !a->menu() && !a->text().isEmpty()) actions << a;
        if (QAction* a = pick(actions)) {
            say(QStringLiteral("menu ") + a->text(), a);
            a->trigger();
        }
    } else if (QWidget* w = QApplication::focusWidget()) {
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Backspace,
                                       Qt::Key_Delete, Qt::Key_Tab,   Qt::Key_Up,     Qt::Key_Down};
        const Qt::Key key = keys[below(8)];
        say(QStringLiteral("key %1").arg(int(key)), w);
        QTest::keyClick(w, key);
    }
}

/// \p steps random actions on the window \p name, each after the last one's background work has ended.
void runMonkey(WindowRegistry& registry, const QString& name, int steps) {
    static constexpr void (*actions[])(QWidget*) = {typeInto, typeInto, typeInto, focus,    click,
                                                    click,    slide,    choose,   listItem, other};
    for (g_step = 0; g_step < steps; ++g_step) {
        QWidget* window = target(registry, name);
        if (!window) return;
        if (below(6) == 0) fillSensibly(window);
        else actions[below(10)](window);
        QCoreApplication::processEvents();
        waitWhileBusy();
    }
}

/// The program's windows with the services they are built with.
struct Program {
    RandomPrompter prompter;
    SystemClock clock;
    SystemTimeZone zone;
    ProgramPaths paths;
    WindowRegistry registry;
    Program(const QString& folder, ProgramPaths where) : prompter(folder), paths(std::move(where)) {
        registerWindows(registry, Services{prompter, clock, zone, paths});
    }
};

/// A copy of the program's data (without the programs and logs that share a
/// build's folder), so that what the monkey finds changed there it changed.
void copyData(const QString& from, const QString& to) {
    for (QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo info(it.next());
        const QString relative = QDir(from).relativeFilePath(info.filePath());
        if (info.isExecutable() || relative.startsWith(QLatin1String("logs/"))) continue;
        QDir().mkpath(QFileInfo(to + u'/' + relative).absolutePath());
        if (!QFile::copy(info.filePath(), to + u'/' + relative)) fail(QStringLiteral("cannot copy ") + relative);
    }
}

/// One window's run in a folder of its own.
void monkeyWindow(const QString& name, std::uint64_t seed, int steps, const QString& dataDir) {
    std::cerr << "monkey: " << name.toStdString() << " --seed " << seed << " --steps " << steps << '\n';
    QTemporaryDir root;
    root.setAutoRemove(!g_keep);
    if (g_keep) std::cerr << "  in " << root.path().toStdString() << '\n';
    const auto in = [&](const char* sub) { return root.filePath(QString::fromLatin1(sub)); };
    const auto entries = [](const QString& d) { return QDir(d).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); };
    const QString work = in("work"), cwd = in("cwd");
    for (const QString& folder : {work, cwd}) QDir().mkpath(folder);
    placeInputs(work);
    const QStringList dataBefore = snapshot(dataDir);
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(cwd);
    g_rng.seed(seed);
    {
        Program program(work, ProgramPaths(dataDir, in("logs"), in("user")));
        runMonkey(program.registry, name, steps);
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QCoreApplication::processEvents();
        for (const QString& window : WindowRegistry::unloadOrder()) program.registry.unload(window);
        for (const QString& window : program.registry.registeredNames()) program.registry.unload(window);
        QCoreApplication::processEvents();
    }
    QDir::setCurrent(oldCurrent);

    std::cerr << "  " << checkFilesIn(work, name) << " files read back\n";
    if (!entries(cwd).isEmpty())
        fail(name + QStringLiteral(": files were written into the working folder: ") + entries(cwd).join(u' '));
    if (snapshot(dataDir) != dataBefore) fail(name + QStringLiteral(": the program's data folder changed"));
    for (const QString& entry : entries(root.path()))
        if (!words("work|cwd|logs|user").contains(entry))
            fail(name + QStringLiteral(": an unexpected file beside the folders: ") + entry);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Settings the windows keep (the agency database) stay in this run's own folder.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    GDALAllRegister();
    CPLSetErrorHandler(CPLQuietErrorHandler);

    std::uint64_t seed = 20261207;
    int steps = 1000;
    QStringList windows;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--seed") && hasValue) seed = args[++i].toULongLong();
        else if (a == QLatin1String("--steps") && hasValue) steps = args[++i].toInt();
        else if (a == QLatin1String("--window") && hasValue) windows << args[++i];
        else if (a == QLatin1String("--verbose")) g_verbose = true;
        else if (a == QLatin1String("--keep")) g_keep = true;
        else {
            std::cerr << "usage: waypost_monkey [--seed N] [--steps N] [--window NAME]... [--verbose] [--keep]\n";
            return 2;
        }
    }
    if (windows.isEmpty()) {
        // The windows in their usual order (their seeds follow it), then any other the program has.
        windows = {windowName::wp_main, windowName::wp_ddc_0306, windowName::wpFac, windowName::frmDBMan,
                   windowName::wpHcane, windowName::frmGEAddress, windowName::kml_firedp_0611,
                   windowName::frmdatabase, windowName::frmbatLLtoUSNG, windowName::frmAbout};
        const QString temp = QDir::tempPath();
        for (const QString& name : Program(temp, ProgramPaths(temp, temp, temp)).registry.registeredNames())
            if (!windows.contains(name)) windows << name;
    }
    const QTemporaryDir data;
    copyData(qEnvironmentVariable("WAYPOST_DATA_DIR", QStringLiteral(WAYPOST_SOURCE_DIR "/data")), data.path());
    for (int i = 0; i < windows.size(); ++i)
        monkeyWindow(windows[i], seed + std::uint64_t(i) * 7919, steps, data.path());

    if (g_failures.isEmpty()) std::cerr << "monkey: no failure\n";
    else std::cerr << g_failures.size() << " failure(s)\n";
    return g_failures.isEmpty() ? 0 : 1;
}
