#include "output/TextCleaning.h"

namespace waypost {

QString fncXMLchk(const QString& text) {
    QString s = text;
    for (const QChar c : {u'\'', u':', u'?', u'>', u'<', u'#', u'&', u'/'})
        s.replace(c, u' ');
    // Only blanks are trimmed, as the cleaning has always done.
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first] == u' ') ++first;
    while (last > first && s[last - 1] == u' ') --last;
    s = s.mid(first, last - first);
    s.replace(u'\\', u' ');
    s.replace(u'"', u' ');
    return s;
}

bool isXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString xmlCharactersOnly(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            kept += c;
            kept += text[++i];  // a whole pair is one character from U+10000 on
        } else if (!c.isSurrogate() && isXmlCharacter(c.unicode())) {
            kept += c;
        }
    }
    return kept;
}

QString xmlEscaped(const QString& text) {
    return xmlCharactersOnly(text).toHtmlEscaped().replace(u'\'', QStringLiteral("&apos;"));
}

QString cdataSafe(const QString& text) {
    return xmlCharactersOnly(text).replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
}

QStringList listItems(const QString& text) {
    QStringList items;
    QString item;
    bool quoted = false;
    bool wasQuoted = false;
    const auto finish = [&] {
        const QString value = wasQuoted ? item : item.trimmed();
        if (!value.isEmpty()) items << value;
        item.clear();
        wasQuoted = false;
    };
    for (const QChar c : text) {
        if (quoted) {
            if (c == u'"') quoted = false;
            else item += c;
        } else if (c == u'"' && item.trimmed().isEmpty()) {
            item.clear();
            quoted = wasQuoted = true;
        } else if (c == u',' || c == u'\n' || c == u'\r') {
            finish();
        } else if (!wasQuoted) {
            item += c;
        }
    }
    finish();
    return items;
}

}  // namespace waypost
