#include "output/TextCleaning.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;

TEST(fncXMLchk, CleansTheRestrictedCharactersThenTrims) {
    const struct {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u" a/b ", u"a b"},            // the slash becomes a blank, then the outer blanks go
        {u"\\x\\", u" x "},            // backslashes become blanks after the trim
        {u"\"x\"", u" x "},            // so do double quotes
        {u"Smith's Camp", u"Smith s Camp"},
        {u"A:B?C>D<E#F&G/H", u"A B C D E F G H"},
        {u"&Camp&", u"Camp"},           // & becomes a blank before the trim
        {u"  Helibase 2  ", u"Helibase 2"},
        {u"", u""},
        {u"\tTab", u"\tTab"},           // only blanks are trimmed
        {u"Ça va", u"Ça va"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fncXMLchk(QString::fromUtf16(c.in)), QString::fromUtf16(c.out)) << QString::fromUtf16(c.in).toStdString();
}

TEST(XmlText, EscapedTextParsesBackToItself) {
    const QString nasty = QStringLiteral("Tom & Jerry's <camp> \"A\"");
    const QString doc = QStringLiteral("<a b=\"%1\">%1</a>").arg(xmlEscaped(nasty));
    QXmlStreamReader xml(doc);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.attributes().value(QStringLiteral("b")).toString(), nasty);
    EXPECT_EQ(xml.readElementText(), nasty);
    EXPECT_FALSE(xml.hasError());
}

TEST(XmlText, CdataSafeTextCannotCloseItsSection) {
    const QString text = QStringLiteral("a]]>b<br>&c");
    const QString doc = QStringLiteral("<a><![CDATA[%1]]></a>").arg(cdataSafe(text));
    QXmlStreamReader xml(doc);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.readElementText(), text);
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}
