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
#include <QXmlStreamReader>

using namespace waypost;
using namespace waypost::test;
using namespace Qt::StringLiterals;

namespace {

struct Placemarks {
    QString error;
    QStringList addresses, names, icons, descriptions;
};

Placemarks readPlacemarks(const QByteArray& kml) {
    Placemarks p;
    QXmlStreamReader xml(kml);
    QString element;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) element = xml.name().toString();
        if (xml.isEndElement()) element.clear();
        if (!(xml.isCharacters() || xml.isCDATA()) || xml.isWhitespace()) continue;
        const QString text = xml.text().toString();
        if (element == "address"_L1) p.addresses << text;
        else if (element == "href"_L1) p.icons << text.section(u'/', -1);
        else if (element == "description"_L1) p.descriptions << text;
        else if (element == "name"_L1) p.names << text;
    }
    if (xml.hasError()) p.error = xml.errorString();
    return p;
}

}  // namespace

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
    // A cancelled save keeps the placemarks; the next writes them all in one document with one footer.
    void twoPlacemarksMakeOneDocumentWithOneFooter() {
        Fixture f;
        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.add(u"Pad 2"_s, u"Made Up"_s, u"2 Oak Ave"_s, u"http://x.org/a?b=1&c=\"2\""_s);
        QCOMPARE(f.kml().count(u"<Placemark>"_s), 2);
        QVERIFY(f.kml().contains(u"</Placemark>\n<Placemark>"_s));
        const QString before = f.kml();
        f.prompter.cancelDialog();
        f.click("cmdCreateKML");
        QCOMPARE(f.kml(), before);
        QVERIFY(f.child<QPushButton>("cmdCreateKML")->isEnabled());

        f.prompter.choosePath(f.path(u"list.kml"_s));
        f.click("cmdCreateKML");
        const QByteArray written = readAll(f.path(u"list.kml"_s));
        QVERIFY(written.endsWith("</Folder>\r\n</Document>\r\n</kml>\r\n"));
        QCOMPARE(written.count('\n'), written.count("\r\n"));  // one line-end convention in the whole file
        QCOMPARE(written.count("</kml>"), 1);
        QCOMPARE(written.count("<?xml"), 1);
        const Placemarks p = readPlacemarks(written);
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.addresses, QStringList({"100 Main St,Tallahassee,FL 32301", "2 Oak Ave,Tallahassee,FL 32301"}));
        QCOMPARE(p.names, QStringList({"Address List", "Locations", "Camp", "Made Up"}));
        QCOMPARE(p.icons, QStringList({"campa.png", "other.png"}));
        QCOMPARE(p.descriptions, QStringList({"North Camp", "<br>Pad 2</br><br><a href=\"http://x.org/a?b=1&c=&quot;2&quot;\">"
                                                            "Display Link</a></br>"}));
        QCOMPARE(f.kml(), QString());  // written, so cleared
    }

    void aKmzCarriesEachIconOnce() {
        Fixture f;
        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.add(u"South Camp"_s, u"Camp"_s, u"9 Elm St"_s);
        f.add(u"Pad 2"_s, u"Helibase"_s, u"2 Oak Ave"_s);
        f.prompter.choosePath(f.path(u"list.kmz"_s));
        f.click("cmdCreateKML");
        const QMap<QString, QByteArray> entries = readArchive(f.path(u"list.kmz"_s));
        QCOMPARE(entries.keys(), QStringList({"doc.kml", "icons/campa.png", "icons/helibasea.png"}));
        QCOMPARE(entries.value(u"icons/campa.png"_s), readAll(f.paths.iconsDir() + u"/campa.png"_s));
        const QByteArray doc = entries.value(u"doc.kml"_s);
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
        f.edit("txtPacity")->setText(u"Old Town"_s);
        f.edit("meZip")->setFocus();
        QTest::keyClicks(f.edit("meZip"), zip + u"x"_s);  // the letter beeps
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
        QTest::keyClicks(f.edit("txtPastreet"), u"A&B"_s);
        QCOMPARE(f.edit("txtPastreet")->text(), u"AB"_s);
        QCOMPARE(f.prompter.messages().at(0).title, u"Input Error"_s);
    }

    void anEditedDocumentThatIsNotXmlIsNamedBeforeWriting() {
        Fixture f;
        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.click("chkKMLEd");
        QVERIFY(!f.child<QPlainTextEdit>("txtAdAdd")->isReadOnly());
        f.child<QPlainTextEdit>("txtAdAdd")->appendPlainText(u"<Placemark>"_s);
        f.click("cmdCreateKML");  // refused, not asked: Google Earth would not open it
        QVERIFY(f.prompter.messageTexts().back().contains(u"not well-formed (line "_s));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QVERIFY(filesIn(f.out.path()).isEmpty());
    }

    void aMissingZipDatabaseIsNamed() {
        Fixture f(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));  // no databases there
        f.edit("meZip")->setText(u"32301"_s);
        f.child<QPushButton>("cmdZipSearch")->setEnabled(true);
        f.click("cmdZipSearch");
        QVERIFY(f.prompter.messageTexts().back().contains(u"zipcode2.sqlite"_s));
    }
};

QTEST_MAIN(frmGEAddressTest)
#include "frmGEAddressTest.moc"
