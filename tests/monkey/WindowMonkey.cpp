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

#include "platform/Clock.h"
#include "platform/ProgramPaths.h"
#include "platform/Prompter.h"
#include "platform/Services.h"
#include "platform/TimeZoneInfo.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDirIterator>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QXmlStreamReader>

#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <sqlite3.h>

#include <cstdio>
#include <iostream>
#include <random>

using namespace waypost;

namespace {

bool g_verbose = false;
bool g_keep = false;
QStringList g_failures;

void fail(const QString& why) {
    g_failures << why;
    std::cerr << "FAIL: " << why.toStdString() << '\n';
}

/// Texts people and pastes produce, the hostile ones first.
class TextSource {
public:
    explicit TextSource(std::mt19937_64& rng) : m_rng(rng) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    QString digits(int count) {
        QString s;
        for (int i = 0; i < count; ++i) s += QChar(u'0' + below(10));
        return s;
    }

    QString next() {
        static const QStringList fixed{
            QStringLiteral("1e400"), QStringLiteral("-1e400"), QStringLiteral("1e-400"), QStringLiteral("NaN"),
            QStringLiteral("inf"), QStringLiteral("-0"), QStringLiteral("02-30-2026"), QStringLiteral("13-45-2026"),
            QStringLiteral("00-00-0000"), QStringLiteral("99-99-9999"), QStringLiteral("2-29-2027"),
            QStringLiteral("12/31/1899"), QStringLiteral("\"<>&'"), QStringLiteral("]]><![CDATA["),
            QStringLiteral("&amp;&#0;&lt;"), QStringLiteral("🔥🚒 Camp"), QStringLiteral("   "), QString(),
            QStringLiteral("30.5"), QStringLiteral("-84.25"), QStringLiteral("30 26 18"), QStringLiteral("84 16 51"),
            QStringLiteral("16R GU 6115 7049"), QStringLiteral("T01S R01E S08"), QStringLiteral("120"),
            QStringLiteral("50"), QStringLiteral("4294967319"), QStringLiteral("0"), QStringLiteral("32301"),
            QStringLiteral("01234"), QStringLiteral("Tallahassee"), QStringLiteral("a\"b,c"),
            QStringLiteral("C:\\temp\\x.shp"), QStringLiteral("../../etc/passwd")};
        static const QStringList plausible{
            QStringLiteral("30.5"), QStringLiteral("-84.25"), QStringLiteral("30"), QStringLiteral("84"),
            QStringLiteral("26"), QStringLiteral("18"), QStringLiteral("16R GU 6115 7049"),
            QStringLiteral("30.4383, -84.2807"), QStringLiteral("N30 26.30 W84 16.84"), QStringLiteral("120"),
            QStringLiteral("Camp Blanding"), QStringLiteral("FL-TAD-000123"), QStringLiteral("1,250.5"),
            QStringLiteral("09-14-2026"), QStringLiteral("09-14-26"), QStringLiteral("32301"), QStringLiteral("Unknown")};
        if (below(5) < 2) return plausible.at(below(int(plausible.size())));
        switch (below(8)) {
        case 0: return digits(1 + below(40));
        case 1: return QStringLiteral("-") + digits(1 + below(20));
        case 2: {
            QString s;
            for (int i = 0, n = 1 + below(6); i < n; ++i) s += QChar(char16_t(below(2) ? 1 + below(31) : 0x7f));
            return s + QStringLiteral("x");
        }
        case 3: return QString(5000, QChar(below(2) ? u'A' : u'9'));
        case 4: return digits(1 + below(3)) + QStringLiteral(".") + digits(below(8));
        default: return fixed.at(below(int(fixed.size())));
        }
    }

private:
    std::mt19937_64& m_rng;
};

/// Answers every dialog at random: yes or no, cancel or empty or some text,
/// a new or an existing file in the monkey's folder.
class RandomPrompter final : public Prompter {
public:
    RandomPrompter(std::mt19937_64& rng, QString folder) : m_rng(rng), m_text(rng), m_folder(std::move(folder)) {}

    int messages = 0;

    void message(const QString& text, const QString&, Icon) override {
        ++messages;
        say(QStringLiteral("  message: ") + text.left(120));
    }
    Answer question(const QString& text, const QString&, Icon, Answer) override {
        const Answer a = m_text.below(2) ? Answer::Yes : Answer::No;
        say(QStringLiteral("  question: %1 -> %2").arg(text.left(100), a == Answer::Yes ? "yes" : "no"));
        return a;
    }
    std::optional<QString> inputText(const QString& prompt, const QString&, const QString&) override {
        const int pick = m_text.below(4);
        say(QStringLiteral("  input: ") + prompt.left(100));
        if (pick == 0) return std::nullopt;
        if (pick == 1) return QString();
        return m_text.next();
    }
    std::optional<QString> openFile(const FileDialog& dialog) override { return path(dialog, true); }
    std::optional<QString> saveFile(const FileDialog& dialog) override { return path(dialog, false); }
    void beep() override {}

private:
    std::optional<QString> path(const FileDialog& dialog, bool open) {
        const int pick = m_text.below(10);
        std::optional<QString> chosen;
        const QStringList existing = QDir(m_folder).entryList(QDir::Files, QDir::Name);
        if (pick == 0) {
            chosen = std::nullopt;
        } else if (pick <= (open ? 7 : 3) && !existing.isEmpty()) {
            chosen = m_folder + u'/' + existing.at(m_text.below(int(existing.size())));
        } else {
            static const QStringList names{QStringLiteral("out"), QStringLiteral("St. Marks"),
                                           QStringLiteral("fire \"one\""), QStringLiteral("Ñandú 🔥"),
                                           QStringLiteral("a&b<c>")};
            QString name = names.at(m_text.below(int(names.size())));
            const QStringList patterns = extensions(dialog.filter);
            if (!patterns.isEmpty() && m_text.below(5)) name += u'.' + patterns.at(m_text.below(int(patterns.size())));
            chosen = m_folder + u'/' + name;
        }
        say(QStringLiteral("  %1 \"%2\" -> %3")
                .arg(open ? "open" : "save", dialog.title, chosen ? *chosen : QStringLiteral("cancel")));
        return chosen;
    }

    static QStringList extensions(const QString& filter) {
        QStringList out;
        static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
        for (auto it = pattern.globalMatch(filter); it.hasNext();) out << it.next().captured(1);
        return out;
    }

    void say(const QString& what) const {
        if (g_verbose) std::cerr << what.toStdString() << '\n';
    }

    std::mt19937_64& m_rng;
    TextSource m_text;
    QString m_folder;
};

// ---------------------------------------------------------------- files to open

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) fail(QStringLiteral("cannot write ") + path);
}

/// What a person brings to the import and KML windows: a text table, a dBase
/// file, a SQLite database, an Access database, a drawing as KML and KMZ.
void placeInputs(const QString& folder) {
    const QByteArray csv = "Name,Latitude,Longitude,USNG,Zip\r\n"
                           "Camp A,30.4383,-84.2807,16R GU 6115 7049,01234\r\n"
                           "\"Camp, B\",29.65,-82.32,17R LL 7084 8093,00501\r\n"
                           "Camp C,abc,-81.5,bad,32301\r\n";
    writeBytes(folder + QStringLiteral("/points.csv"), csv);
    QFile::copy(QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/kml/square.kml"), folder + QStringLiteral("/square.kml"));
    QFile::copy(QStringLiteral(WAYPOST_SOURCE_DIR "/tests/data/access/v2000_numeric.mdb"),
                folder + QStringLiteral("/numeric.mdb"));
    const QByteArray kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kml xmlns=\"http://www.opengis.net/kml/2.2\">"
                           "<Placemark><LineString><coordinates>-84.25,30.5 -84.24,30.51 -84.23,30.5"
                           "</coordinates></LineString></Placemark></kml>";
    if (VSILFILE* f = VSIFOpenL((QStringLiteral("/vsizip/") + folder + QStringLiteral("/line.kmz/doc.kml")).toUtf8(), "wb")) {
        VSIFWriteL(kml.constData(), 1, kml.size(), f);
        VSIFCloseL(f);
    }
    const QString dbf = folder + QStringLiteral("/coords.dbf");
    if (GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile")) {
        GDALDatasetUniquePtr ds(driver->Create(dbf.toUtf8(), 0, 0, 0, GDT_Unknown, nullptr));
        if (OGRLayer* layer = ds ? ds->CreateLayer("coords", nullptr, wkbNone, nullptr) : nullptr) {
            OGRFieldDefn usng("USNG", OFTString);
            OGRFieldDefn lat("LAT", OFTReal);
            layer->CreateField(&usng);
            layer->CreateField(&lat);
            for (const char* ref : {"16R GU 6115 7049", "17R LL 7084 8093", "nonsense"}) {
                OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer->GetLayerDefn()));
                feature->SetField(0, ref);
                feature->SetField(1, 30.5);
                if (layer->CreateFeature(feature.get()) != OGRERR_NONE) fail(QStringLiteral("cannot write coords.dbf"));
            }
        }
    }
    sqlite3* db = nullptr;
    if (sqlite3_open((folder + QStringLiteral("/fires.sqlite")).toUtf8(), &db) == SQLITE_OK)
        sqlite3_exec(db,
                     "CREATE TABLE \"fire sites\"(Name TEXT, Latitude REAL, Longitude REAL, USNG TEXT, RowID TEXT);"
                     "INSERT INTO \"fire sites\" VALUES('a',30.4383,-84.2807,'16R GU 6115 7049','x'),"
                     "('b',29.65,-82.32,'17R LL 7084 8093','x'),('c',91,-200,'',NULL);",
                     nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// ---------------------------------------------------------------- files read back

QString kmlProblem(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) xml.readNext();
    return xml.hasError() ? QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()) : QString();
}

/// A record file: every line splits into as many quoted or bare values as its header.
QString recordProblem(const QByteArray& bytes) {
    if (!bytes.startsWith('"')) return {};  // not a record file of the windows
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError()) return QStringLiteral("not UTF-8");
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const auto count = [](const QString& line) {
        int fields = 1;
        bool quoted = false;
        for (QChar c : line) {
            if (c == u'"') quoted = !quoted;
            else if (c == u',' && !quoted) ++fields;
        }
        return quoted ? -1 : fields;
    };
    const int header = count(lines.first());
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty() && i == lines.size() - 1) continue;
        if (lines[i].contains(u'\n') || lines[i].contains(u'\r')) return QStringLiteral("line %1 has a bare line end").arg(i + 1);
        if (count(lines[i]) != header) return QStringLiteral("line %1 does not match the header").arg(i + 1);
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
    if (CPLGetLastErrorType() >= CE_Failure) return QString::fromUtf8(CPLGetLastErrorMsg());
    return {};
}

QString sqliteProblem(const QString& path) {
    sqlite3* db = nullptr;
    QString problem;
    if (sqlite3_open_v2(path.toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        problem = QString::fromUtf8(sqlite3_errmsg(db));
    } else {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK ||
            sqlite3_step(st) != SQLITE_ROW)
            problem = QString::fromUtf8(sqlite3_errmsg(db));
        else if (const auto* ok = reinterpret_cast<const char*>(sqlite3_column_text(st, 0)); qstrcmp(ok, "ok") != 0)
            problem = QString::fromUtf8(ok);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return problem;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int checkFilesIn(const QString& folder, const QString& window) {
    int checked = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        const QString suffix = QFileInfo(path).suffix().toLower();
        QString problem;
        if (suffix == QLatin1String("kml")) problem = kmlProblem(readFile(path));
        else if (suffix == QLatin1String("kmz")) {
            const QByteArray doc = [&] {
                QByteArray out;
                if (VSILFILE* f = VSIFOpenL((QStringLiteral("/vsizip/") + path + QStringLiteral("/doc.kml")).toUtf8(), "rb")) {
                    char buffer[65536];
                    for (size_t n; (n = VSIFReadL(buffer, 1, sizeof buffer, f)) > 0;) out.append(buffer, qsizetype(n));
                    VSIFCloseL(f);
                }
                return out;
            }();
            problem = doc.isEmpty() ? QStringLiteral("no doc.kml in the archive") : kmlProblem(doc);
        } else if (QStringList{QStringLiteral("shp"), QStringLiteral("dbf"), QStringLiteral("gpx"), QStringLiteral("geojson"),
                               QStringLiteral("gpkg")}
                       .contains(suffix)) {
            problem = gdalProblem(path);
        }
        else if (suffix == QLatin1String("sqlite")) problem = sqliteProblem(path);
        else if (suffix == QLatin1String("txt") || suffix == QLatin1String("csv")) problem = recordProblem(readFile(path));
        else if (suffix == QLatin1String("png") && QImage(path).isNull()) problem = QStringLiteral("not a picture");
        else if (suffix == QLatin1String("pdf") && !readFile(path).startsWith("%PDF")) problem = QStringLiteral("not a PDF");
        else if (suffix == QLatin1String("prj")) {
            OGRSpatialReference srs;
            if (srs.importFromWkt(readFile(path).trimmed().constData()) != OGRERR_NONE)
                problem = QStringLiteral("not a projection");
        }
        if (!problem.isEmpty()) fail(QStringLiteral("%1: %2 does not read back: %3").arg(window, path, problem));
        ++checked;
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

class Monkey {
public:
    Monkey(std::mt19937_64& rng, WindowRegistry& registry, QString name)
        : m_rng(rng), m_text(rng), m_registry(registry), m_name(std::move(name)) {}

    void run(int steps) {
        for (int step = 0; step < steps; ++step) {
            QWidget* window = target();
            if (!window) return;
            act(window, step);
            QCoreApplication::processEvents();
            waitWhileBusy();
        }
    }

    /// Background work (table runs) ends before the windows go.
    void waitWhileBusy() {
        for (int i = 0; i < 3000 && busy(); ++i) QTest::qWait(10);
    }

private:
    // Background work shows the wait cursor for as long as it runs.
    bool busy() const { return QApplication::overrideCursor() != nullptr; }

    /// The window under test, shown again when an action closed it; now and
    /// then another open window (the conversion page a feature window opened).
    QWidget* target() {
        QWidget* own = m_registry.existing(m_name);
        if (!own || !own->isVisible()) own = m_registry.show(m_name);
        if (m_text.below(5) == 0) {
            QList<QWidget*> others;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != own && w->isVisible() && !w->objectName().isEmpty() && !qobject_cast<QMenu*>(w)) others << w;
            if (!others.isEmpty()) own = others.at(m_text.below(int(others.size())));
        }
        if (own && QApplication::activeWindow() != own) {
            own->activateWindow();
            (void)QTest::qWaitForWindowActive(own, 200);
        }
        return own;
    }

    template <class T>
    QList<T*> usable(QWidget* window) {
        QList<T*> out;
        // A test of the server connection would wait on the network: the agency
        // tests drive it against their own server instead.
        for (T* w : window->findChildren<T*>())
            if (w->isVisibleTo(window) && w->isEnabled() && w->objectName() != QLatin1String("cmdTest")) out << w;
        return out;
    }

    template <class T>
    T* any(const QList<T*>& list) {
        return list.isEmpty() ? nullptr : list.at(m_text.below(int(list.size())));
    }

    void say(int step, const QString& what, QObject* on) {
        if (g_verbose)
            std::cerr << step << ' ' << what.toStdString() << ' ' << (on ? on->objectName().toStdString() : "")
                      << '\n';
    }

    /// What a person sensibly types, field by field, so that the monkey also
    /// gets past the enable checks to the outputs. Fields not named here are
    /// reached by the random typing alone.
    void fillSensibly(QWidget* window, int step) {
        static const QHash<QString, QString> sensible{
            {QStringLiteral("txtAnyLocation"), QStringLiteral("16R GU 6115 7049")},
            {QStringLiteral("txtF_Name"), QStringLiteral("Bear Creek")},
            {QStringLiteral("txtInc_num"), QStringLiteral("42")},
            {QStringLiteral("txtArea"), QStringLiteral("120")},
            {QStringLiteral("txtPerim"), QStringLiteral("1.5")},
            {QStringLiteral("txtfacName"), QStringLiteral("Helibase 2")},
            {QStringLiteral("txtHwind"), QStringLiteral("115")},
            {QStringLiteral("txtPaname"), QStringLiteral("North Camp")},
            {QStringLiteral("txtPastreet"), QStringLiteral("100 Main St")},
            {QStringLiteral("txtPacity"), QStringLiteral("Tallahassee")},
            {QStringLiteral("meZip"), QStringLiteral("32301")}};
        say(step, QStringLiteral("fill sensibly"), window);
        for (QLineEdit* field : usable<QLineEdit>(window)) {
            QString value = sensible.value(field->objectName());
            // A date field takes today in the form its mask has.
            if (field->inputMask().startsWith(QLatin1String("00-00-0000"))) value = QDate::currentDate().toString(QStringLiteral("MMddyyyy"));
            else if (field->inputMask().startsWith(QLatin1String("00-00-00"))) value = QDate::currentDate().toString(QStringLiteral("MMddyy"));
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
        QList<QPushButton*> enables;
        for (QPushButton* b : usable<QPushButton>(window))
            if (b->objectName().contains(QLatin1String("enable"), Qt::CaseInsensitive)) enables << b;
        if (QPushButton* b = any(enables)) QTest::mouseClick(b, Qt::LeftButton);
    }

    void act(QWidget* window, int step) {
        if (m_text.below(6) == 0) return fillSensibly(window, step);
        switch (m_text.below(10)) {
        case 0:
        case 1:
        case 2: return type(window, step);
        case 3: {
            QWidget* w = any(usable<QWidget>(window));
            if (w && w->focusPolicy() != Qt::NoFocus) {
                say(step, QStringLiteral("focus"), w);
                w->setFocus(Qt::TabFocusReason);
            }
            return;
        }
        case 4:
        case 5: {
            QAbstractButton* b = any(usable<QAbstractButton>(window));
            if (!b) return;
            say(step, QStringLiteral("click"), b);
            if (qobject_cast<QPushButton*>(b)) QTest::mouseClick(b, Qt::LeftButton);
            else {
                b->setFocus(Qt::MouseFocusReason);
                b->click();
            }
            return;
        }
        case 6: {
            QAbstractSlider* s = any(usable<QAbstractSlider>(window));
            if (!s) return;
            const int pick = m_text.below(3);
            const int value = pick == 0 ? s->minimum()
                              : pick == 1 ? s->maximum()
                                          : std::uniform_int_distribution<int>(s->minimum(), s->maximum())(m_rng);
            say(step, QStringLiteral("slide %1").arg(value), s);
            s->setFocus(Qt::MouseFocusReason);
            s->setValue(value);
            return;
        }
        case 7: {
            if (QComboBox* c = any(usable<QComboBox>(window))) {
                const int index = m_text.below(c->count() + 1) - 1;
                say(step, QStringLiteral("choose %1").arg(index), c);
                c->setFocus(Qt::MouseFocusReason);
                c->setCurrentIndex(index);
                if (index >= 0) emit c->activated(index);
            }
            return;
        }
        case 8: {
            QListWidget* l = any(usable<QListWidget>(window));
            if (!l || l->count() == 0) return;
            QListWidgetItem* item = l->item(m_text.below(l->count()));
            say(step, QStringLiteral("list item %1").arg(item->text()), l);
            l->setFocus(Qt::MouseFocusReason);
            l->setCurrentItem(item);
            if (item->flags() & Qt::ItemIsUserCheckable)
                item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            emit l->itemClicked(item);
            if (m_text.below(4) == 0) emit l->itemDoubleClicked(item);
            return;
        }
        default: {
            const int pick = m_text.below(10);
            if (pick == 0) {
                say(step, QStringLiteral("close"), window);
                window->close();
            } else if (pick < 4) {
                QList<QAction*> actions;
                for (QAction* a : window->findChildren<QAction*>())
                    if (a->isEnabled() && !a->isSeparator() && !a->menu() && !a->text().isEmpty()) actions << a;
                if (QAction* a = any(actions)) {
                    say(step, QStringLiteral("menu ") + a->text(), a);
                    a->trigger();
                }
            } else if (QWidget* focus = QApplication::focusWidget()) {
                static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Backspace,
                                               Qt::Key_Delete, Qt::Key_Tab,   Qt::Key_Up,     Qt::Key_Down};
                const Qt::Key key = keys[m_text.below(8)];
                say(step, QStringLiteral("key %1").arg(int(key)), focus);
                QTest::keyClick(focus, key);
            }
            return;
        }
        }
    }

    /// Every character as a key press and release carrying it, control
    /// characters and characters outside the keyboard's keys included.
    static void typeText(QWidget* field, const QString& text) {
        for (const uint code : text.toUcs4()) {
            const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            const int key = code >= 0x20 && code < 0x7f ? int(QChar(code).toUpper().unicode()) : int(Qt::Key_unknown);
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, one);
            QApplication::sendEvent(field, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, one);
            QApplication::sendEvent(field, &release);
        }
    }

    void type(QWidget* window, int step) {
        QList<QWidget*> fields;
        for (QLineEdit* e : usable<QLineEdit>(window))
            if (!e->isReadOnly()) fields << e;
        for (QPlainTextEdit* e : usable<QPlainTextEdit>(window))
            if (!e->isReadOnly()) fields << e;
        for (QTextEdit* e : usable<QTextEdit>(window))
            if (!e->isReadOnly()) fields << e;
        QWidget* field = any(fields);
        if (!field) return;
        const QString text = m_text.next();
        say(step, QStringLiteral("type \"%1\"").arg(text.size() > 60 ? text.left(20) + QStringLiteral("...") : text),
            field);
        field->setFocus(Qt::TabFocusReason);
        if (m_text.below(2)) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        if (text.size() > 60 || m_text.below(6) == 0) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        } else {
            typeText(field, text);
        }
        const int after = m_text.below(4);
        if (after == 0) QTest::keyClick(field, Qt::Key_Return);
        else if (after == 1) QTest::keyClick(field, Qt::Key_Tab);
    }

    std::mt19937_64& m_rng;
    TextSource m_text;
    WindowRegistry& m_registry;
    QString m_name;
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

/// One window's run in a folder of its own; true when nothing went wrong.
/// The names of every window the program registers.
QStringList everyWindow() {
    std::mt19937_64 rng(0);
    RandomPrompter prompter(rng, QDir::tempPath());
    SystemClock clock;
    SystemTimeZone zone;
    const ProgramPaths paths(QDir::tempPath(), QDir::tempPath(), QDir::tempPath());
    WindowRegistry registry;
    registerWindows(registry, Services{prompter, clock, zone, paths});
    return registry.registeredNames();
}

void monkeyWindow(const QString& name, std::uint64_t seed, int steps, const QString& dataDir) {
    std::cerr << "monkey: " << name.toStdString() << " --seed " << seed << " --steps " << steps << '\n';
    QTemporaryDir root;
    root.setAutoRemove(!g_keep);
    if (g_keep) std::cerr << "  in " << root.path().toStdString() << '\n';
    const QString work = root.filePath(QStringLiteral("work")), cwd = root.filePath(QStringLiteral("cwd"));
    QDir().mkpath(work);
    QDir().mkpath(cwd);
    placeInputs(work);
    const QStringList dataBefore = snapshot(dataDir);
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(cwd);

    std::mt19937_64 rng(seed);
    {
        RandomPrompter prompter(rng, work);
        SystemClock clock;
        SystemTimeZone zone;
        const ProgramPaths paths(dataDir, root.filePath(QStringLiteral("logs")), root.filePath(QStringLiteral("user")));
        const Services services{prompter, clock, zone, paths};
        WindowRegistry registry;
        registerWindows(registry, services);
        Monkey monkey(rng, registry, name);
        monkey.run(steps);
        monkey.waitWhileBusy();
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QCoreApplication::processEvents();
        for (const QString& window : WindowRegistry::unloadOrder()) registry.unload(window);
        for (const QString& window : registry.registeredNames()) registry.unload(window);
        QCoreApplication::processEvents();
    }
    QDir::setCurrent(oldCurrent);

    std::cerr << "  " << checkFilesIn(work, name) << " files read back\n";
    if (!QDir(cwd).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        fail(name + QStringLiteral(": files were written into the working folder: ") +
             QDir(cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join(u' '));
    if (snapshot(dataDir) != dataBefore) fail(name + QStringLiteral(": the program's data folder changed"));
    for (const QString& entry : QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        if (!QStringList{QStringLiteral("work"), QStringLiteral("cwd"), QStringLiteral("logs"), QStringLiteral("user")}
                 .contains(entry))
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
        windows = {windowName::wp_main,      windowName::wp_ddc_0306,     windowName::wpFac,
                   windowName::frmDBMan,     windowName::wpHcane,         windowName::frmGEAddress,
                   windowName::kml_firedp_0611, windowName::frmdatabase, windowName::frmbatLLtoUSNG,
                   windowName::frmAbout};
        for (const QString& name : everyWindow())
            if (!windows.contains(name)) windows << name;
    }
    const QTemporaryDir data;
    copyData(qEnvironmentVariable("WAYPOST_DATA_DIR", QStringLiteral(WAYPOST_SOURCE_DIR "/data")), data.path());
    for (int i = 0; i < windows.size(); ++i)
        monkeyWindow(windows[i], seed + std::uint64_t(i) * 7919, steps, data.path());

    if (!g_failures.isEmpty()) {
        std::cerr << g_failures.size() << " failure(s)\n";
        return 1;
    }
    std::cerr << "monkey: no failure\n";
    return 0;
}
