#pragma once
// A zip archive (a KMZ) read back through GDAL's /vsizip/, as another program would read it.

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cpl_string.h>
#include <cpl_vsi.h>

namespace waypost::test {

/// Every file in the archive at \p path by its name inside it ("doc.kml",
/// "icons/campa.png"); empty when the archive cannot be read.
inline QMap<QString, QByteArray> readArchive(const QString& path) {
    QMap<QString, QByteArray> entries;
    const QByteArray root = "/vsizip/" + path.toUtf8();
    char** names = VSIReadDirRecursive(root.constData());
    for (int i = 0; names && names[i]; ++i) {
        const QByteArray entry = root + '/' + names[i];
        VSIStatBufL stat;
        if (VSIStatL(entry.constData(), &stat) != 0 || VSI_ISDIR(stat.st_mode)) continue;
        VSILFILE* file = VSIFOpenL(entry.constData(), "rb");
        if (!file) continue;
        QByteArray bytes(static_cast<qsizetype>(stat.st_size), '\0');
        const size_t read = VSIFReadL(bytes.data(), 1, bytes.size(), file);
        VSIFCloseL(file);
        bytes.truncate(static_cast<qsizetype>(read));
        entries.insert(QString::fromUtf8(names[i]), bytes);
    }
    CSLDestroy(names);
    return entries;
}

}  // namespace waypost::test
