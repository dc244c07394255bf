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

QString xmlEscaped(const QString& text) { return text.toHtmlEscaped().replace(u'\'', QStringLiteral("&apos;")); }

QString cdataSafe(const QString& text) {
    QString s = text;
    return s.replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
}

}  // namespace waypost
