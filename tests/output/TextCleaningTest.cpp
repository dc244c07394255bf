#include "output/TextCleaning.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;

TEST(fncXMLchk, CleansTheRestrictedCharactersThenTrims) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u" a/b ", u"a b"},  // the slash becomes a blank, then the outer blanks go
        {u"\\x\\", u" x "},  // backslashes become blanks after the trim
        {u"\"x\"", u" x "},  // so do double quotes
        {u"Smith's Camp", u"Smith s Camp"}, {u"A:B?C>D<E#F&G/H", u"A B C D E F G H"},
        {u"&Camp&", u"Camp"},  // & becomes a blank before the trim
        {u"  Helibase 2  ", u"Helibase 2"}, {u"", u""},
        {u"\tTab", u"\tTab"},  // only blanks are trimmed
        {u"Ça va", u"Ça va"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(fncXMLchk(QString::fromUtf16(in)), QString::fromUtf16(out)) << QString::fromUtf16(in).toStdString();
}

// Escaped text, in an attribute and in an element, and CDATA-safe text read back as they were.
TEST(XmlText, EscapedAndCdataTextParsesBackToItself) {
    const QString nasty = QStringLiteral("Tom & Jerry's <camp> \"A\""), cdata = QStringLiteral("a]]>b<br>&c");
    QXmlStreamReader xml(
        QStringLiteral("<r><a b=\"%1\">%1</a><c><![CDATA[%2]]></c></r>").arg(xmlEscaped(nasty), cdataSafe(cdata)));
    ASSERT_TRUE(xml.readNextStartElement() && xml.readNextStartElement());
    EXPECT_EQ(xml.attributes().value(QStringLiteral("b")).toString(), nasty);
    EXPECT_EQ(xml.readElementText(), nasty);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.readElementText(), cdata);
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}
