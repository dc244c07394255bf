// The window kit: when a field counts as left, the name field's guard, the
// output buttons, the location handshake and long work in the background.
// Then the feature form's contract, through a small window of its own: enable
// checks, the output chooser's questions, the five outputs read back with a
// real reader, failures named, cancels silent, leaving.

#include "output/ProjectionFiles.h"
#include "platform/WindowRegistry.h"
#include "support/ShapefileReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"
#include "widgets/BackgroundJob.h"
#include "widgets/FeatureForm.h"
#include "widgets/FieldExit.h"
#include "widgets/LocationLink.h"
#include "widgets/NameFieldGuard.h"
#include "widgets/OutputButtons.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

using namespace waypost;
using namespace waypost::test;

namespace {

/// Stands in for the conversion page: records the caller and hands back what it is given.
struct FakePage final : QWidget, LocationSource {
    void startLocatingFor(QObject* caller, LocationReceiver* receiver, const QString&) override {
        m_caller = caller;
        receiverSeen = receiver;
    }
    QObject* caller() const override { return m_caller.data(); }
    void handBackAgain() override { receiverSeen->receiveLocation(results, SectionHandover::KeptByWindow); }

    QPointer<QObject> m_caller;
    LocationReceiver* receiverSeen = nullptr;
    std::optional<engine::Location> results;
};

const char* const kOutputs[] = {"cmdNew", "cmdAppend", "cmdShape", "cmdAppendShape", "cmdKml"};

/// A feature window of two fields (a name and a location) on the form.
class PointWindow final : public FeatureWindow {
public:
    QLineEdit* name = new QLineEdit;
    QString problem;  ///< what the shapefile check says; empty: nothing
    int afterNew = 0;

    PointWindow(const Services& services, WindowRegistry& registry) : FeatureWindow(nullptr, Qt::Window) {
        auto* layout = new QVBoxLayout(this);
        const auto add = [layout](auto* w, const char* objectName) {
            w->setObjectName(QString::fromLatin1(objectName));
            layout->addWidget(w);
            return w;
        };
        const auto button = [&add](const char* n) { return add(new QPushButton(QString::fromLatin1(n)), n); };
        add(name, "txtName");
        FeatureDescription d;
        d.windowName = QStringLiteral("wpFac");
        d.outputs = {QStringLiteral("pt"), QStringLiteral("Point"), kAlbersPrjFile};
        d.fields = {{"Name", "Name", ShapefileWriter::Text, 10}, {"Latitude", "Lat", ShapefileWriter::Double},
                    {"Longitude", "Long", ShapefileWriter::Double}};
        d.heading = add(new QLabel, "lblHeading");
        d.labels.latitude = add(new QLabel, "lblLat");  // the others may be missing
        d.buttons = {button("cmdLocate"), button("cmdEnable"), button("cmdClear"), button("cmdQuit"),
                     button(kOutputs[0]), button(kOutputs[1]), button(kOutputs[2]), button(kOutputs[3]),
                     button(kOutputs[4])};
        d.namedInputs = {name};
        d.requirements = [this] {
            return std::vector<Requirement>{
                {!name->text().isEmpty(), QStringLiteral("Enter Name"), QStringLiteral("txtName")},
                {m_form->location().has_value(), QStringLiteral("Please Convert Coordinates"), QStringLiteral("cmdLocate")}};
        };
        d.row = [this] {
            const WrittenLocation at = writtenLocation(m_form->location());
            return FieldRow{name->text(), at.latitude, at.longitude};
        };
        d.placemark = [this] { return facilityPlacemark({name->text(), QString(), m_form->location()}); };
        d.shapefileProblem = [this] { return problem.isEmpty() ? std::nullopt : std::optional<QString>(problem); };
        d.clearFields = [this] { name->clear(); };
        d.afterNewRecordFile = [this] { ++afterNew; };
        m_form = new FeatureForm(services, registry, this, std::move(d));
    }
};

struct Fixture : TestServices, WindowControls {
    WindowRegistry registry;
    PointWindow* window = new PointWindow(services, registry);

    Fixture() { setWindow(window); }
    explicit Fixture(const QString& dataDir) : TestServices(dataDir) { setWindow(window); }
    ~Fixture() { delete window; }

    QString file(const char* name) const { return path(QString::fromUtf8(name)); }
    /// A named feature with a location, outputs enabled.
    void ready(const QString& name = QStringLiteral("Camp")) {
        window->name->setText(name);
        window->location().receiveLocation(sampleLocation(), SectionHandover::Carried);
        click("cmdEnable");
    }
    /// The outputs enabled again, then \p button writes to the file \p name chosen.
    void write(const char* button, const char* name) {
        click("cmdEnable");
        prompter.choosePath(file(name));
        click(button);
    }
    bool outputsEnabled(bool enabled) const {
        return std::ranges::all_of(kOutputs, [&](const char* b) { return child(b)->isEnabled() == enabled; });
    }
    bool quiet() const { return prompter.messages().empty() && prompter.unexpected().isEmpty(); }
};

}  // namespace

class KitTest : public QObject {
    Q_OBJECT
private slots:
    // A field is left only when another control of its own window takes the
    // focus, not when another window does for a while. A name field refuses every
    // restricted key with the message; its text is cleaned when the field is
    // left, also by a click on the window behind a message box ("Tally Helibase &"):
    // the click's handler sees the cleaned name.
    void fieldsAreLeftOnlyForAnotherControlOfTheirWindowAndNameFieldsAreGuarded() {
        struct {  // a window with a name field, an editable combo box and a button
            QWidget window;
            QLineEdit* name = new QLineEdit(&window);
            QComboBox* combo = new QComboBox(&window);
            QPushButton* button = new QPushButton(&window);
        } f;
        f.combo->setEditable(true);
        ScriptedPrompter prompter;
        new NameFieldGuard(prompter, f.name, &f.window);
        new NameFieldGuard(prompter, f.combo, &f.window);
        QStringList seen;
        auto* exit = new FieldExit(f.combo, &f.window);
        connect(exit, &FieldExit::entered, [&] { seen << "entered"; });
        connect(exit, &FieldExit::left, [&] { seen << "left"; });
        QString nameWhenClicked;
        connect(f.button, &QPushButton::clicked, [&] { nameWhenClicked = f.name->text(); });
        QVERIFY(activate(&f.window));

        f.combo->setFocus(Qt::TabFocusReason);
        f.combo->lineEdit()->setFocus(Qt::OtherFocusReason);  // the combo box's own line edit: the same field
        QWidget box;  // another window takes the focus for a while (a message box) and gives it back
        QVERIFY(activate(&box));
        QVERIFY(activate(&f.window));
        f.button->setFocus(Qt::TabFocusReason);  // only now is the field left, once
        QCOMPARE(seen, (QStringList{"entered", "left"}));

        f.name->setFocus();
        QTest::keyClicks(f.name, QStringLiteral("Bear&Cub\"\'/:<>\\"));
        QCOMPARE(f.name->text(), QStringLiteral("BearCub"));
        QCOMPARE(prompter.messageTexts(), QStringList(8, QStringLiteral("This is a Restricted Character")));
        f.combo->setFocus();
        QTest::keyClicks(f.combo, QStringLiteral("My<Type"));
        QCOMPARE(f.combo->currentText(), QStringLiteral("MyType"));

        f.name->clear();
        f.name->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(f.name, QStringLiteral("Tally Helibase &"));
        QVERIFY(activate(&box));
        QTest::mouseClick(f.button, Qt::LeftButton);
        QCOMPARE(nameWhenClicked, QStringLiteral("Tally Helibase"));
    }

    // Using one shapefile button turns the other off before the button's own
    // handler runs, and leaves the rest on.
    void outputButtonsGoTogetherAndOneShapefileButtonTurnsTheOtherOff() {
        QWidget window;
        auto *a = new QPushButton(&window), *shp = new QPushButton(&window), *appendShp = new QPushButton(&window);
        OutputButtons buttons({a, shp, appendShp}, shp, appendShp, &window);
        buttons.enable();
        bool otherWasOff = false;
        connect(shp, &QPushButton::clicked, [&] { otherWasOff = !appendShp->isEnabled(); });
        shp->click();
        QVERIFY(otherWasOff);
        QVERIFY(shp->isEnabled() && a->isEnabled());
        buttons.enable();
        appendShp->click();
        QVERIFY(!shp->isEnabled());
    }

    // Opening the page makes the window its caller; hand-backs and coming back copy
    // by one section rule; a cleared location and another caller's results stay out.
    void theLocationLinkHandsOverByOneRule() {
        WindowRegistry registry;
        FakePage* page = nullptr;
        registry.registerWindow(windowName::wp_ddc_0306, [&page] { return page = new FakePage; });
        QWidget window;
        QLabel lat, lon, str;
        LocationLink link(registry, &window, QStringLiteral("wpFac"), {&lat, &lon, nullptr, nullptr, nullptr, nullptr, &str});

        link.open();
        QVERIFY(page);

        // A window that keeps its own section keeps the one found for its point, and only while the point stays.
        engine::Location found = sampleLocation();
        found.section = engine::FoundSection{"T01N R05W S12", found.latitude, found.longitude};
        page->receiverSeen->receiveFoundSection(found);
        page->receiverSeen->receiveLocation(sampleLocation(), SectionHandover::KeptByWindow);
        QCOMPARE(str.text(), QStringLiteral("T01N R05W S12"));

        // Coming back copies by the same rule; the section belongs to another point now.
        engine::Location later = sampleLocation();
        later.latitude = 29;
        page->results = later;
        QVERIFY(activate(&window));
        QCOMPARE(lat.text(), QStringLiteral("29.000000"));
        QCOMPARE(str.text(), QString());

        // A hand-back that carries the section replaces the window's own.
        page->receiverSeen->receiveFoundSection(found);
        page->receiverSeen->receiveLocation(sampleLocation(), SectionHandover::Carried);
        QCOMPARE(str.text(), QString());
        // The page without a location empties the labels.
        page->receiverSeen->receiveLocation(std::nullopt, SectionHandover::Carried);
        QCOMPARE(lat.text(), QString());
        QVERIFY(!link.location());
        page->results = sampleLocation();

        // A cleared location stays cleared; another caller's results never land here.
        QWidget other;
        QVERIFY(activate(&other));
        link.clear();
        QVERIFY(activate(&window));
        QCOMPARE(lat.text(), QString());
        link.open();
        page->m_caller = &other;
        QVERIFY(activate(&other));
        QVERIFY(activate(&window));
        QCOMPARE(lat.text(), QString());
    }

    // Long work runs off the interface thread, its figure shows, its result
    // comes back, and its window cannot be closed meanwhile. (Its failure coming
    // back is the KML window's failed conversion.)
    void aBackgroundJobHandsItsResultBackAndHoldsTheWindow() {
        QWidget window;
        QVERIFY(activate(&window));
        std::atomic<bool> release{false};
        bool refused = false;
        QTimer::singleShot(20, &window, [&] {
            refused = !window.close();
            release = true;
        });
        std::vector<std::int64_t> shown;
        const std::optional<bool> offThread = BackgroundJob::run<bool>(
            &window, [&](std::int64_t done) { shown.push_back(done); },
            [&](JobProgress& done) {
                done = 7;
                while (!release) QThread::msleep(5);
                return QThread::currentThread() != qApp->thread();
            });
        QCOMPARE(offThread, std::optional<bool>(true));
        QVERIFY(refused);  // close() said the window stayed open
        QCOMPARE(shown.back(), 7);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(window.close());  // closes again once the job is over
    }

    // A new record file gets the prefix and asks before overwriting (No by
    // default, asked again for every name); an append creates a missing file
    // without a header and clears nothing.
    void recordFilesAreNewOrAppended() {
        Fixture f;
        QVERIFY(writeFile(f.file("pta.txt"), "keep\r\n"));
        QVERIFY(writeFile(f.file("ptb.txt"), "keep\r\n"));
        f.ready();
        f.prompter.choosePath(f.file("a.txt"));
        f.prompter.answerNo();
        f.prompter.choosePath(f.file("b.txt"));
        f.prompter.answerYes();
        f.click("cmdNew");
        QCOMPARE(readAll(f.file("pta.txt")), QByteArray("keep\r\n"));
        QCOMPARE(readAll(f.file("ptb.txt")), QByteArray("\"Name\",\"Latitude\",\"Longitude\"\r\n\"Camp\",30.5,-84.25\r\n"));
        QCOMPARE(f.prompter.calls()[1].defaultButton, Prompter::Answer::No);
        QCOMPARE(f.prompter.calls()[3].text, QStringLiteral("File Already Exists  - Overwrite?"));
        QCOMPARE(f.window->afterNew, 1);

        for (int i = 0; i < 2; ++i) f.write("cmdAppend", "ptnew.txt");
        QCOMPARE(readAll(f.file("ptnew.txt")), QByteArray("\"Camp\",30.5,-84.25\r\n\"Camp\",30.5,-84.25\r\n"));
        QCOMPARE(f.prompter.calls().back().dialog.filter, QStringLiteral("Text Files (pt*.txt)"));  // its own only
        QVERIFY(f.prompter.calls().back().dialog.allowNewName);
        QCOMPARE(f.window->afterNew, 1);  // what a new record file clears, an append does not
        QVERIFY(f.quiet());
    }

    // A new shapefile gets its projection (a dot in the name is no
    // extension); an append adds a point and says which value was cut. The
    // KML button also writes GPX, GeoJSON and GeoPackage: read back with GDAL,
    // each holds the point and the values of the shapefile.
    void shapefilesAndPointFilesHoldTheFeature() {
        Fixture f;
        f.ready(QStringLiteral("St. Marks"));
        f.write("cmdShape", "St. Marks");
        QCOMPARE(filesIn(f.out.path()), QStringList({"ptSt. Marks.cpg", "ptSt. Marks.dbf", "ptSt. Marks.prj",
                                                     "ptSt. Marks.shp", "ptSt. Marks.shx"}));
        QCOMPARE(readAll(f.file("ptSt. Marks.prj")), QByteArray(kAlbersProjection));
        f.window->name->setText(QString(12, u'N'));  // longer than its field
        f.write("cmdAppendShape", "ptSt. Marks.shp");
        QVERIFY2(f.prompter.messageTexts().value(0).contains(QStringLiteral("Name (10 bytes)")),
                 qPrintable(f.prompter.messageTexts().join(u'|')));
        const ShapefileContent shp = readShapefile(f.file("ptSt. Marks.shp"));
        QCOMPARE(shp.type, wkbPoint);
        QCOMPARE(shp.records.size(), size_t(2));
        QCOMPARE(shp.records[0].vertices, (std::vector<std::pair<double, double>>{{376025.0, 721400.0}}));
        QCOMPARE(shp.records[0].values["Long"].toDouble(), -84.25);
        QCOMPARE(shp.records[1].values["Name"], QString(10, u'N'));

        f.window->name->setText(QStringLiteral("St. Marks"));
        for (const char* file : {"camp.gpx", "camp.geojson", "camp.gpkg"}) {
            f.write("cmdKml", file);  // offered as other formats, the names keep their extensions
            GDALDatasetUniquePtr ds(GDALDataset::Open(f.file(file).toUtf8().constData(), GDAL_OF_VECTOR));
            QVERIFY2(ds, file);
            OGRLayer* layer = ds->GetLayerByName("waypoints") ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
            QCOMPARE(layer->GetFeatureCount(), 1);
            OGRFeatureUniquePtr point(layer->GetNextFeature());
            QCOMPARE(point->GetGeometryRef()->toPoint()->getX(), -84.25);
            QCOMPARE(point->GetGeometryRef()->toPoint()->getY(), 30.5);
            QCOMPARE(QString::fromUtf8(point->GetFieldAsString("Name")), shp.records[0].values["Name"]);
            // GPX keeps a name of its own schema apart with a prefix.
            const int latitude = std::max(point->GetFieldIndex("Latitude"), point->GetFieldIndex("ogr_Latitude"));
            QCOMPARE(point->GetFieldAsDouble(latitude), shp.records[0].values["Lat"].toDouble());
        }
        QVERIFY(f.prompter.unexpected().isEmpty());
    }

    // A cancelled dialog, at any output or after a kept file, writes and says
    // nothing. A failed output names its file and leaves nothing behind; a missing
    // projection file is named and the shapefile kept; the window's shapefile
    // check stops the shapefile before its dialog.
    void aCancelIsSilentAndAFailureNamesTheFileAndLeavesNothingHalfWritten() {
        QTemporaryDir data;  // program data without the projection files
        Fixture f(data.path());
        f.ready();
        QVERIFY(writeFile(f.file("ptx.txt"), "keep"));
        for (const char* button : kOutputs) {
            f.click("cmdEnable");
            f.prompter.cancelDialog();
            f.click(button);
        }
        f.prompter.choosePath(f.file("x.txt"));
        f.prompter.answerNo();  // the existing file is kept, then the second dialog cancelled
        f.prompter.cancelDialog();
        f.click("cmdNew");
        QCOMPARE(readAll(f.file("ptx.txt")), QByteArray("keep"));
        QVERIFY(f.quiet());

        f.write("cmdNew", "gone/sites.txt");
        f.write("cmdShape", "gone/camps.shp");
        f.write("cmdAppendShape", "ptmissing.shp");
        f.write("cmdShape", "camps.shp");
        f.window->problem = QStringLiteral("not a number");
        f.click("cmdEnable");
        f.click("cmdShape");
        const QStringList said = f.prompter.messageTexts();
        QCOMPARE(said.size(), 5);
        QVERIFY(said[0].contains(f.file("gone/ptsites.txt")));
        QVERIFY(said[1].contains(f.file("gone")));
        QVERIFY(said[2].contains(QStringLiteral("ptmissing.shp")));
        QVERIFY(said[3].contains(data.filePath(QStringLiteral("fl_albers.prj"))));
        QCOMPARE(said[4], QStringLiteral("not a number"));
        QVERIFY(f.prompter.unexpected().isEmpty());  // no dialog for the stopped shapefile
        QCOMPARE(filesIn(f.out.path()),
                 QStringList({"ptcamps.cpg", "ptcamps.dbf", "ptcamps.shp", "ptcamps.shx", "ptx.txt"}));
        QCOMPARE(f.window->afterNew, 0);
    }

    // The first unmet check speaks and takes the focus; the outputs open only
    // when all are met and close again when an input is entered. Clear empties
    // the feature and its location; leaving closes the window with its labels
    // emptied and disabled.
    void enableChecksClearingAndLeaving() {
        Fixture f;
        QVERIFY(f.activate());
        f.click("cmdEnable");
        QCOMPARE(f.prompter.messageTexts(), QStringList{"Enter Name"});
        QCOMPARE(f.window->focusWidget(), f.window->name);
        f.window->name->setText(QStringLiteral("Camp"));
        f.click("cmdEnable");
        QCOMPARE(f.prompter.lastMessage(), QStringLiteral("Please Convert Coordinates"));
        QVERIFY(f.outputsEnabled(false));
        f.ready();
        QVERIFY(f.outputsEnabled(true));
        f.window->name->setFocus();
        QVERIFY(f.outputsEnabled(false));

        f.ready();
        f.click("cmdClear");
        QCOMPARE(f.window->name->text(), QString());
        QVERIFY(!f.window->location().location());
        QVERIFY(f.outputsEnabled(false));
        QVERIFY(f.activate());
        f.ready();
        f.click("cmdQuit");
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.text("lblLat"), QString());
        QVERIFY(!f.child("lblLat")->isEnabled());
    }
};

QTEST_MAIN(KitTest)
#include "KitTest.moc"
