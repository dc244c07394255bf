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
#include <QRadioButton>
#include <QTest>
#include <QXmlStreamReader>

using namespace waypost;
using namespace waypost::test;

namespace {

/// The built data folder: it holds the generated zip-code database.
QString builtData() { return QString::fromLocal8Bit(qgetenv("WAYPOST_DATA_DIR")); }

struct Placemarks {
    QString error;
    int headers = 0;
    QStringList addresses, names, icons, descriptions;
};

Placemarks readPlacemarks(const QByteArray& kml) {
    Placemarks p;
    p.headers = kml.count("<?xml");
    QXmlStreamReader xml(kml);
    QString element;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) element = xml.name().toString();
        if (xml.isEndElement()) element.clear();
        if (!(xml.isCharacters() || xml.isCDATA()) || xml.isWhitespace()) continue;
        const QString text = xml.text().toString();
        if (element == QLatin1String("address")) p.addresses << text;
        else if (element == QLatin1String("href")) p.icons << text.section(u'/', -1);
        else if (element == QLatin1String("description")) p.descriptions << text;
        else if (element == QLatin1String("name")) p.names << text;
    }
    if (xml.hasError()) p.error = xml.errorString();
    return p;
}

}  // namespace

class frmGEAddressTest : public QObject {
    Q_OBJECT

    struct Fixture : TestServices, WindowControls {
        std::unique_ptr<frmGEAddress> window;
        explicit Fixture(const QString& data = builtData()) : TestServices(data) {
            window = std::make_unique<frmGEAddress>(services);
            setWindow(window.get());
            if (!activate()) qWarning("the address window did not become active");
        }
        QString kml() const { return child<QPlainTextEdit>("txtAdAdd")->toPlainText(); }
        /// One facility added without a link (or with \p link).
        void add(const QString& name, const QString& type, const QString& street,
                 const std::optional<QString>& link = std::nullopt) {
            click("optICSAdd");
            child<QComboBox>("cmbPAType")->setCurrentText(type);
            edit("txtPaname")->setText(name);
            edit("txtPastreet")->setText(street);
            edit("txtPacity")->setText(QStringLiteral("Tallahassee"));
            edit("meZip")->setText(QStringLiteral("32301"));
            if (link) {
                prompter.answerYes();
                prompter.answerText(*link);
            } else {
                prompter.answerNo();
                prompter.answerNo();
            }
            click("cmdEnableKML");
        }
    };

private slots:
    void twoPlacemarksMakeOneDocumentWithOneFooter() {
        Fixture f;
        f.add(QStringLiteral("North Camp"), QStringLiteral("Camp"), QStringLiteral("100 Main St"));
        f.add(QStringLiteral("Pad 2"), QStringLiteral("Made Up"), QStringLiteral("2 Oak Ave"),
              QStringLiteral("http://x.org/a?b=1&c=\"2\""));
        QCOMPARE(f.kml().count(QStringLiteral("<Placemark>")), 2);
        QVERIFY(f.kml().contains(QStringLiteral("</Placemark>\n<Placemark>")));

        f.prompter.choosePath(f.path(QStringLiteral("list.kml")));
        f.click("cmdCreateKML");
        const QByteArray written = readAll(f.path(QStringLiteral("list.kml")));
        QVERIFY(written.endsWith("</Folder>\r\n</Document>\r\n</kml>\r\n"));
        QCOMPARE(written.count('\n'), written.count("\r\n"));  // one line-end convention in the whole file
        QCOMPARE(written.count("</kml>"), 1);
        const Placemarks p = readPlacemarks(written);
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.headers, 1);
        QCOMPARE(p.addresses, QStringList({"100 Main St,Tallahassee,FL 32301", "2 Oak Ave,Tallahassee,FL 32301"}));
        QCOMPARE(p.names, QStringList({"Address List", "Locations", "Camp", "Made Up"}));
        QCOMPARE(p.icons, QStringList({"campa.png", "other.png"}));
        QCOMPARE(p.descriptions.at(0), QStringLiteral("North Camp"));
        QCOMPARE(p.descriptions.at(1),
                 QStringLiteral("<br>Pad 2</br><br><a href=\"http://x.org/a?b=1&c=&quot;2&quot;\">Display Link</a></br>"));
        QCOMPARE(f.kml(), QString());  // written, so cleared
    }

    void aKmzCarriesEachIconOnce() {
        Fixture f;
        f.add(QStringLiteral("North Camp"), QStringLiteral("Camp"), QStringLiteral("100 Main St"));
        f.add(QStringLiteral("South Camp"), QStringLiteral("Camp"), QStringLiteral("9 Elm St"));
        f.add(QStringLiteral("Pad 2"), QStringLiteral("Helibase"), QStringLiteral("2 Oak Ave"));
        f.prompter.choosePath(f.path(QStringLiteral("list.kmz")));
        f.click("cmdCreateKML");
        const QMap<QString, QByteArray> entries = readArchive(f.path(QStringLiteral("list.kmz")));
        QCOMPARE(entries.keys(), QStringList({"doc.kml", "icons/campa.png", "icons/helibasea.png"}));
        QCOMPARE(entries.value(QStringLiteral("icons/campa.png")), readAll(f.paths.iconsDir() + QStringLiteral("/campa.png")));
        const QByteArray doc = entries.value(QStringLiteral("doc.kml"));
        QCOMPARE(doc.count("<href>icons/campa.png</href>"), 2);
        QVERIFY2(readPlacemarks(doc).error.isEmpty(), qPrintable(readPlacemarks(doc).error));
    }

    void zipCodesAreLookedUp_data() {
        QTest::addColumn<QString>("zip");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("state");
        QTest::newRow("found") << "32301" << "" << "Tallahassee" << "FL";
        QTest::newRow("leading zero, another state") << "01001" << "" << "Agawam" << "MA";
        QTest::newRow("not found") << "00000" << "No Records Found." << "" << "FL";
        QTest::newRow("four digits") << "3230" << "You must enter a valid zip code" << "Old Town" << "FL";
    }
    void zipCodesAreLookedUp() {
        QFETCH(QString, zip);
        QFETCH(QString, message);
        QFETCH(QString, city);
        QFETCH(QString, state);
        Fixture f;
        f.edit("txtPacity")->setText(QStringLiteral("Old Town"));
        f.edit("meZip")->setFocus();
        QTest::keyClicks(f.edit("meZip"), zip + QStringLiteral("x"));  // the letter beeps
        QCOMPARE(f.prompter.beeps(), 1);
        f.edit("txtPaname")->setFocus();
        if (zip.size() == 5) f.click("cmdZipSearch");
        QCOMPARE(f.prompter.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(f.edit("txtPacity")->text(), city);
        QCOMPARE(f.child<QComboBox>("cmbPaState")->currentText(), state);
    }

    void restrictedAmpersandInTheStreetIsRefused() {
        Fixture f;
        f.edit("txtPastreet")->setFocus();
        QTest::keyClicks(f.edit("txtPastreet"), QStringLiteral("A&B"));
        QCOMPARE(f.edit("txtPastreet")->text(), QStringLiteral("AB"));
        QCOMPARE(f.prompter.messages().at(0).title, QStringLiteral("Input Error"));
    }

    void aCancelledSaveKeepsThePlacemarksAndTheNextWritesOneFooter() {
        Fixture f;
        f.add(QStringLiteral("North Camp"), QStringLiteral("Camp"), QStringLiteral("100 Main St"));
        const QString before = f.kml();
        f.prompter.cancelDialog();
        f.click("cmdCreateKML");
        QCOMPARE(f.kml(), before);
        QVERIFY(f.child<QPushButton>("cmdCreateKML")->isEnabled());
        f.prompter.choosePath(f.path(QStringLiteral("kept.kml")));
        f.click("cmdCreateKML");
        QCOMPARE(readAll(f.path(QStringLiteral("kept.kml"))).count("</Document>"), 1);
    }

    void anEditedDocumentThatIsNotXmlIsNamedBeforeWriting() {
        Fixture f;
        f.add(QStringLiteral("North Camp"), QStringLiteral("Camp"), QStringLiteral("100 Main St"));
        f.click("chkKMLEd");
        QVERIFY(!f.child<QPlainTextEdit>("txtAdAdd")->isReadOnly());
        f.child<QPlainTextEdit>("txtAdAdd")->appendPlainText(QStringLiteral("<Placemark>"));
        f.click("cmdCreateKML");  // refused, not asked: Google Earth would not open it
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("not well-formed (line ")));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QVERIFY(filesIn(f.out.path()).isEmpty());
    }

    void aMissingZipDatabaseIsNamed() {
        Fixture f(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));  // no databases there
        f.edit("meZip")->setText(QStringLiteral("32301"));
        f.child<QPushButton>("cmdZipSearch")->setEnabled(true);
        f.click("cmdZipSearch");
        QVERIFY(f.prompter.messageTexts().back().contains(QStringLiteral("zipcode2.sqlite")));
    }
};

QTEST_MAIN(frmGEAddressTest)
#include "frmGEAddressTest.moc"
