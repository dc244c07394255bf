#include "output/RecordFile.h"

#include "numbers/Numbers.h"

#include <QFileInfo>

namespace waypost {

QString recordNumber(double value) {
    QString text = QString::fromStdString(numbers::generalForm(value));
    if (text.startsWith(QStringLiteral("0."))) text.remove(0, 1);
    else if (text.startsWith(QStringLiteral("-0."))) text.remove(1, 1);
    return text;
}

namespace {

QString quoted(const QString& text) {
    QString s = text;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

}  // namespace

QByteArray recordLine(const std::vector<RecordValue>& values) {
    QStringList parts;
    for (const RecordValue& value : values) {
        if (const auto* text = std::get_if<QString>(&value)) parts << quoted(*text);
        else parts << recordNumber(std::get<double>(value));
    }
    return (parts.join(u',') + QStringLiteral("\r\n")).toUtf8();
}

QByteArray headerLine(const QStringList& fieldNames) {
    std::vector<RecordValue> values(fieldNames.cbegin(), fieldNames.cend());
    return recordLine(values);
}

WriteResult createRecordFile(const QString& path, const QStringList& header, const std::vector<RecordValue>& record) {
    return writeFileAtomically(path, headerLine(header) + recordLine(record));
}

WriteResult appendRecord(const QString& path, const std::vector<RecordValue>& record) {
    return appendToFile(path, recordLine(record));
}

PathParts splitPath(const QString& path) {
    const qsizetype cut = path.lastIndexOf(u'/');
    if (cut < 0) return {QString(), path};
    return {path.left(cut), path.mid(cut + 1)};
}

QString prefixedPath(const QString& chosenPath, const QString& prefix) {
    const PathParts parts = splitPath(chosenPath);
    if (chosenPath.lastIndexOf(u'/') < 0) return prefix + parts.fileName;
    return parts.folder + u'/' + prefix + parts.fileName;
}

bool hasFileExtension(const QString& path) {
    // One to four letters or digits after the last dot of the name.
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0) return false;
    const QString suffix = name.mid(dot + 1);
    if (suffix.isEmpty() || suffix.size() > 4) return false;
    for (const QChar c : suffix)
        if (!c.isLetterOrNumber()) return false;
    return true;
}

QString withDefaultExtension(const QString& path, const QString& extension) {
    if (extension.isEmpty()) return path;
    // Shapefiles and KML need their own extension; "St. Marks" has none at all.
    const bool required = extension.compare(QLatin1String("shp"), Qt::CaseInsensitive) == 0 ||
                          extension.compare(QLatin1String("kml"), Qt::CaseInsensitive) == 0;
    if (path.endsWith(u'.' + extension, Qt::CaseInsensitive)) return path;
    // A KML document may also be asked for zipped with its icons.
    if (extension.compare(QLatin1String("kml"), Qt::CaseInsensitive) == 0 &&
        path.endsWith(QLatin1String(".kmz"), Qt::CaseInsensitive))
        return path;
    if (!required && hasFileExtension(path)) return path;
    return path + u'.' + extension;
}

}  // namespace waypost
