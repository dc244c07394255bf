#include "output/KmzArchive.h"

#include "output/TextCleaning.h"

#include <cpl_conv.h>
#include <cpl_error.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cstdio>

namespace waypost {
namespace {

const QString kHrefOpen = QStringLiteral("<href>");
const QString kHrefClose = QStringLiteral("</href>");

/// Adds one entry to an open archive. \return GDAL's reason on failure, else empty.
QString addEntry(void* zip, const QString& name, const QByteArray& bytes) {
    if (CPLCreateFileInZip(zip, name.toUtf8().constData(), nullptr) != CE_None) return QString::fromUtf8(CPLGetLastErrorMsg());
    const bool written = bytes.isEmpty() || CPLWriteFileInZip(zip, bytes.constData(), static_cast<int>(bytes.size())) == CE_None;
    const bool closed = CPLCloseFileInZip(zip) == CE_None;
    return written && closed ? QString() : QString::fromUtf8(CPLGetLastErrorMsg());
}

}  // namespace

bool isKmzPath(const QString& path) { return path.endsWith(QLatin1String(".kmz"), Qt::CaseInsensitive); }

QString kmzDocument(const QString& kml, const QString& iconsDir, QStringList& iconFiles) {
    const QString prefix = xmlEscaped(QDir::cleanPath(iconsDir) + u'/');
    QString out;
    qsizetype from = 0;
    while (true) {
        const qsizetype open = kml.indexOf(kHrefOpen, from);
        const qsizetype close = open < 0 ? -1 : kml.indexOf(kHrefClose, open + kHrefOpen.size());
        if (close < 0) break;
        const qsizetype start = open + kHrefOpen.size();
        const QString href = kml.mid(start, close - start).trimmed();
        out += kml.mid(from, start - from);
        const QString file = href.mid(prefix.size());
        if (href.startsWith(prefix) && !file.isEmpty() && !file.contains(u'/')) {
            out += QStringLiteral("icons/") + file;
            const QString name = QFileInfo(file).fileName();
            if (!iconFiles.contains(name)) iconFiles << name;
        } else {
            out += kml.mid(start, close - start);
        }
        from = close;
    }
    return out + kml.mid(from);
}

WriteResult writeKmz(const QString& path, const QString& document, const QString& iconsDir,
                     const QStringList& iconFiles) {
    const QFileInfo target(path);
    const QString temporary = target.absoluteDir().filePath(
        QStringLiteral(".%1.%2.writing").arg(target.fileName(), QUuid::createUuid().toString(QUuid::Id128)));
    QString failure;
    void* zip = CPLCreateZip(temporary.toUtf8().constData(), nullptr);
    if (!zip) {
        failure = QString::fromUtf8(CPLGetLastErrorMsg());
    } else {
        failure = addEntry(zip, QStringLiteral("doc.kml"), document.toUtf8());
        for (const QString& icon : iconFiles) {
            if (!failure.isEmpty()) break;
            QFile file(QDir(iconsDir).filePath(icon));
            if (!file.open(QIODevice::ReadOnly)) {
                failure = QStringLiteral("the icon %1 cannot be read: %2").arg(file.fileName(), file.errorString());
                break;
            }
            failure = addEntry(zip, QStringLiteral("icons/") + icon, file.readAll());
        }
        if (CPLCloseZip(zip) != CE_None && failure.isEmpty()) failure = QString::fromUtf8(CPLGetLastErrorMsg());
    }
    if (failure.isEmpty() && std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        failure = QStringLiteral("the archive cannot be put in place");
    if (!failure.isEmpty()) {
        QFile::remove(temporary);
        return WriteResult::failure(path, failure);
    }
    return WriteResult::success();
}

WriteResult writeKmlOrKmz(const QString& path, const QString& kml, const QString& iconsDir) {
    if (!isKmzPath(path)) return writeFileAtomically(path, kml.toUtf8());
    QStringList icons;
    const QString document = kmzDocument(kml, iconsDir, icons);
    return writeKmz(path, document, iconsDir, icons);
}

}  // namespace waypost
