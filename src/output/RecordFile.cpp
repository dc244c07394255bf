#include "output/RecordFile.h"

#include <QFile>

#include <optional>

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

namespace {

/// The values of one record line as this program writes them (strings in
/// double quotes, a doubled quote inside); std::nullopt for any other line.
std::optional<int> recordValueCount(const QByteArray& line) {
    if (!line.endsWith("\r\n")) return std::nullopt;
    int count = 1;
    bool quoted = false;
    for (qsizetype i = 0; i + 2 < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) ++count;
        else if ((c == '\r' || c == '\n') && !quoted) return std::nullopt;
    }
    if (quoted) return std::nullopt;
    return count;
}

}  // namespace

WriteResult appendRecord(const QString& path, const QStringList& header, const std::vector<RecordValue>& record) {
    QFile existing(path);
    if (existing.exists() && existing.size() > 0) {
        // The header of these records, or (a file an append began) one of their lines.
        if (!existing.open(QIODevice::ReadOnly)) return WriteResult::failure(path, existing.errorString());
        constexpr qint64 kLongestLine = 1 << 16;
        const QByteArray first = existing.readLine(kLongestLine);
        const bool ours =
            first == headerLine(header) || recordValueCount(first) == static_cast<int>(header.size());
        if (!ours)
            return WriteResult::error(QStringLiteral("%1 is not a record file of these records (its first line is "
                                                     "neither their header nor one of them); nothing was appended.")
                                          .arg(path));
    }
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
    // A text file keeps the extension chosen, unless it is that of a format
    // other programs would open as such and then fail to read (a KMZ, a .shp).
    static const QStringList otherFormats{QStringLiteral("kml"), QStringLiteral("kmz"), QStringLiteral("shp"),
                                          QStringLiteral("shx"), QStringLiteral("dbf"), QStringLiteral("prj"),
                                          QStringLiteral("cpg"), QStringLiteral("sqlite"), QStringLiteral("mdb"),
                                          QStringLiteral("accdb"), QStringLiteral("xls"), QStringLiteral("xlsx")};
    const bool misleading = otherFormats.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
    if (!required && hasFileExtension(path) && !misleading) return path;
    return path + u'.' + extension;
}

}  // namespace waypost
