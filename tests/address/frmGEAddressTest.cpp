// The address list window through its widgets and the scripted prompter: the
// placemarks it gathers, the zip look-up over the built database, and the
// written document read back with an XML reader.

#include "address/frmGEAddress.h"
#include "support/ArchiveReading.h"
#include "support/TestSupport.h"
#include "support/WindowControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;

class frmGEAddressTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        std::unique_ptr<frmGEAddress> window;
        /// The window over the built data folder, which holds the generated zip-code database.
        explicit Fixture(const QString& data = QString::fromLocal8Bit(qgetenv("WAYPOST_DATA_DIR")))
            : TestServices(data) {
            window = std::make_unique<frmGEAddress>(services);
            setWindow(window.get());
            if (!activate()) qWarning("the address window did not become active");
        }
        QString kml() const { return child<QPlainTextEdit>("txtAdAdd")->toPlainText(); }
        /// One facility in Tallahassee 32301 added without a link (or with \p link).
        void add(const QString& name, const QString& type, const QString& street,
                 const std::optional<QString>& link = std::nullopt) {
            click("optICSAdd");
            child<QComboBox>("cmbPAType")->setCurrentText(type);
            for (const auto& [field, text] : {std::pair{"txtPaname", name}, {"txtPastreet", street},
                                              {"txtPacity", u"Tallahassee"_s}, {"meZip", u"32301"_s}})
                edit(field)->setText(text);
            link ? prompter.answerYes() : prompter.answerNo();  // with a link: Yes, then the link; without: No twice
            link ? prompter.answerText(*link) : prompter.answerNo();
            click("cmdEnableKML");
        }
    };

private slots:
    // A cancelled save keeps the placemarks; the next writes them all in one
    // document with one footer (a KMZ with each icon once), then clears the list.
    void placemarksMakeOneDocument() {
        Fixture f;
        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.add(u"Pad 2"_s, u"Made Up"_s, u"2 Oak Ave"_s, u"http://x.org/a?b=1&c=\"2\""_s);
        f.add(u"South Camp"_s, u"Camp"_s, u"9 Elm St"_s);
        f.prompter.cancelDialog();
        f.click("cmdCreateKML");
        QCOMPARE(f.kml().count(u"<Placemark>"_s), 3);

        f.prompter.choosePath(f.path(u"list.kmz"_s));
        f.click("cmdCreateKML");
        const QMap<QString, QByteArray> entries = readArchive(f.path(u"list.kmz"_s));
        QCOMPARE(entries.keys(), QStringList({"doc.kml", "icons/campa.png", "icons/other.png"}));
        QCOMPARE(entries.value(u"icons/campa.png"_s), readAll(f.paths.iconsDir() + u"/campa.png"_s));
        const QByteArray written = entries.value(u"doc.kml"_s);
        // One footer, CR LF throughout; a second footer or declaration would be an XML error.
        QVERIFY(written.endsWith("</Folder>\r\n</Document>\r\n</kml>\r\n"));
        QCOMPARE(written.count('\n'), written.count("\r\n"));
        QVERIFY(writeFile(f.path(u"doc.kml"_s), written));
        const KmlContent kml = readKml(f.path(u"doc.kml"_s));
        QCOMPARE(kml.error, QString());
        QCOMPARE(kml.names, QStringList({"Camp", "Made Up", "Camp"}));
        QCOMPARE(kml.iconHrefs, QStringList({"icons/campa.png", "icons/other.png", "icons/campa.png"}));
        QCOMPARE(kml.descriptions,
                 QStringList({"North Camp", "<br>Pad 2</br><br><a href=\"http://x.org/a?b=1&c=&quot;2&quot;\">"
                                            "Display Link</a></br>", "South Camp"}));
        for (const char* street : {"100 Main St", "2 Oak Ave", "9 Elm St"})  // the address Google Earth looks up
            QVERIFY(written.contains("<address>" + QByteArray(street) + ",Tallahassee,FL 32301</address>"));
        QCOMPARE(f.kml(), QString());  // written, so cleared
    }

    // A five-digit zip fills the city and state (a leading zero kept, another state's shown); a letter beeps;
    // four digits or an unknown zip are told.
    void zipCodesAreLookedUp() {
        const struct { QString zip, message, shown; } rows[] = {  // typed, told, the city and the state afterwards
            {u"01001"_s, QString(), u"Agawam, MA"_s},
            {u"00000"_s, u"No Records Found."_s, u", FL"_s},
            {u"3230"_s, u"You must enter a valid zip code"_s, u"Old Town, FL"_s}};
        for (const auto& [zip, message, shown] : rows) {
            Fixture f;
            f.edit("txtPacity")->setText(u"Old Town"_s);
            f.edit("meZip")->setFocus();
            QTest::keyClicks(f.edit("meZip"), zip + u"x"_s);  // the letter beeps
            QCOMPARE(f.prompter.beeps(), 1);
            f.edit("txtPaname")->setFocus();
            if (zip.size() == 5) f.click("cmdZipSearch");
            QCOMPARE(f.prompter.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
            QCOMPARE(f.edit("txtPacity")->text() + u", "_s + f.child<QComboBox>("cmbPaState")->currentText(), shown);
        }
    }

    // Refused input: an ampersand typed in the street, a zip look-up without its database (the database named),
    // and an edited document that is not well-formed (named, nothing written: Google Earth would not open it).
    void restrictedInputAndAMissingDatabaseAreRefused() {
        Fixture f(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));  // no databases there
        QTest::keyClicks(f.edit("txtPastreet"), u"A&B"_s);
        QCOMPARE(f.edit("txtPastreet")->text(), u"AB"_s);
        f.edit("meZip")->setText(u"32301"_s);
        f.child<QPushButton>("cmdZipSearch")->setEnabled(true);
        f.click("cmdZipSearch");
        QVERIFY(f.prompter.lastMessage().contains(u"zipcode2.sqlite"_s));

        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.click("chkKMLEd");
        QVERIFY(!f.child<QPlainTextEdit>("txtAdAdd")->isReadOnly());
        f.child<QPlainTextEdit>("txtAdAdd")->appendPlainText(u"<Placemark>"_s);
        f.click("cmdCreateKML");
        QVERIFY(f.prompter.lastMessage().contains(u"not well-formed (line "_s));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QVERIFY(filesIn(f.out.path()).isEmpty());
    }
};

QTEST_MAIN(frmGEAddressTest)
#include "frmGEAddressTest.moc"
