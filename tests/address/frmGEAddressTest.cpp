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

/// Every text of a document by the element holding it (an icon reference by
/// its file name), read with an XML reader; "error" holds a parse error.
QMap<QString, QStringList> readElements(const QByteArray& kml) {
    QMap<QString, QStringList> texts;
    QXmlStreamReader xml(kml);
    QString element;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) element = xml.name().toString();
        else if (xml.isEndElement()) element.clear();
        else if (xml.isCharacters() && !xml.isWhitespace())
            texts[element] << (element == "href"_L1 ? xml.text().toString().section(u'/', -1) : xml.text().toString());
    }
    if (xml.hasError()) texts[u"error"_s] << xml.errorString();
    return texts;
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
    void placemarksMakeOneDocument_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("KML") << u"list.kml"_s;
        QTest::newRow("KMZ") << u"list.kmz"_s;
    }
    // A cancelled save keeps the placemarks; the next writes them all in one
    // document with one footer (a KMZ with each icon once), then clears the list.
    void placemarksMakeOneDocument() {
        QFETCH(QString, file);
        Fixture f;
        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.add(u"Pad 2"_s, u"Made Up"_s, u"2 Oak Ave"_s, u"http://x.org/a?b=1&c=\"2\""_s);
        f.add(u"South Camp"_s, u"Camp"_s, u"9 Elm St"_s);
        QCOMPARE(f.kml().count(u"<Placemark>"_s), 3);
        QVERIFY(f.kml().contains(u"</Placemark>\n<Placemark>"_s));
        const QString before = f.kml();
        f.prompter.cancelDialog();
        f.click("cmdCreateKML");
        QCOMPARE(f.kml(), before);
        QVERIFY(f.child<QPushButton>("cmdCreateKML")->isEnabled());

        f.prompter.choosePath(f.path(file));
        f.click("cmdCreateKML");
        QByteArray written = readAll(f.path(file));
        if (file.endsWith(u".kmz"_s)) {
            const QMap<QString, QByteArray> entries = readArchive(f.path(file));
            QCOMPARE(entries.keys(), QStringList({"doc.kml", "icons/campa.png", "icons/other.png"}));
            QCOMPARE(entries.value(u"icons/campa.png"_s), readAll(f.paths.iconsDir() + u"/campa.png"_s));
            written = entries.value(u"doc.kml"_s);
            QCOMPARE(written.count("<href>icons/campa.png</href>"), 2);
        }
        // One footer, CR LF throughout; a second footer or declaration would be an XML error.
        QVERIFY(written.endsWith("</Folder>\r\n</Document>\r\n</kml>\r\n"));
        QCOMPARE(written.count('\n'), written.count("\r\n"));
        const auto texts = readElements(written);
        QCOMPARE(texts.value(u"error"_s), QStringList());
        QCOMPARE(texts.value(u"address"_s),
                 QStringList({"100 Main St,Tallahassee,FL 32301", "2 Oak Ave,Tallahassee,FL 32301",
                              "9 Elm St,Tallahassee,FL 32301"}));
        QCOMPARE(texts.value(u"name"_s), QStringList({"Address List", "Locations", "Camp", "Made Up", "Camp"}));
        QCOMPARE(texts.value(u"href"_s), QStringList({"campa.png", "other.png", "campa.png"}));
        QCOMPARE(texts.value(u"description"_s),
                 QStringList({"North Camp", "<br>Pad 2</br><br><a href=\"http://x.org/a?b=1&c=&quot;2&quot;\">"
                                            "Display Link</a></br>", "South Camp"}));
        QCOMPARE(f.kml(), QString());  // written, so cleared
    }

    // A five-digit zip fills the city and state; a letter beeps; four digits or an unknown zip are told.
    void zipCodesAreLookedUp_data() {
        QTest::addColumn<QString>("zip");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");  ///< the city and the state afterwards
        QTest::newRow("found") << "32301" << "" << "Tallahassee, FL";
        QTest::newRow("leading zero, another state") << "01001" << "" << "Agawam, MA";
        QTest::newRow("not found") << "00000" << "No Records Found." << ", FL";
        QTest::newRow("four digits") << "3230" << "You must enter a valid zip code" << "Old Town, FL";
    }
    void zipCodesAreLookedUp() {
        QFETCH(QString, zip);
        QFETCH(QString, message);
        QFETCH(QString, shown);
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

    // Refused input: an ampersand typed in the street (with a message), a zip look-up without its database (the
    // database named), and an edited document that is not well-formed (named, nothing written: Google Earth would
    // not open it).
    void restrictedInputAndAMissingDatabaseAreRefused() {
        Fixture f(QStringLiteral(WAYPOST_SOURCE_DIR "/data"));  // no databases there
        f.edit("txtPastreet")->setFocus();
        QTest::keyClicks(f.edit("txtPastreet"), u"A&B"_s);
        QCOMPARE(f.edit("txtPastreet")->text(), u"AB"_s);
        QCOMPARE(f.prompter.messageTexts().size(), 1);
        f.edit("meZip")->setText(u"32301"_s);
        f.child<QPushButton>("cmdZipSearch")->setEnabled(true);
        f.click("cmdZipSearch");
        QVERIFY(f.prompter.messageTexts().back().contains(u"zipcode2.sqlite"_s));

        f.add(u"North Camp"_s, u"Camp"_s, u"100 Main St"_s);
        f.click("chkKMLEd");
        QVERIFY(!f.child<QPlainTextEdit>("txtAdAdd")->isReadOnly());
        f.child<QPlainTextEdit>("txtAdAdd")->appendPlainText(u"<Placemark>"_s);
        f.click("cmdCreateKML");
        QVERIFY(f.prompter.messageTexts().back().contains(u"not well-formed (line "_s));
        QVERIFY(f.prompter.unexpected().isEmpty());
        QVERIFY(filesIn(f.out.path()).isEmpty());
    }
};

QTEST_MAIN(frmGEAddressTest)
#include "frmGEAddressTest.moc"
