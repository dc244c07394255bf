#include "output/TextCleaning.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace waypost;

// ' : ? > < # & / become blanks and the text is trimmed; then \ and " become blanks.
TEST(fncXMLchk, CleansTheRestrictedCharactersThenTrims) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u" a/b ", u"a b"},      {u"&Camp&", u"Camp"},  // blanks before the trim
        {u"\\x\\", u" x "},      {u"\"x\"", u" x "},   // blanks after the trim
        {u"A'B:C?D>E<F#G&H/I", u"A B C D E F G H I"},
        {u"", u""},              {u"\tTab", u"\tTab"},  // only blanks are trimmed
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
