#include "platform/FileWriting.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace waypost {

WriteResult WriteResult::failure(const QString& path, const QString& reason) {
    return WriteResult(QStringLiteral("Could not write the file %1: %2").arg(path, reason));
}

WriteResult writeFileAtomically(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return WriteResult::failure(path, file.errorString());
    if (file.write(contents) != contents.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return WriteResult::failure(path, reason);
    }
    if (!file.commit()) return WriteResult::failure(path, file.errorString());
    return WriteResult::success();
}

WriteResult appendToFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return WriteResult::failure(path, file.errorString());
    const qint64 before = file.size();
    const bool written = file.write(contents) == contents.size() && file.flush();
    if (!written) {
        const QString reason = file.errorString();
        file.resize(before);
        return WriteResult::failure(path, reason);
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        QFile::resize(path, before);
        return WriteResult::failure(path, reason);
    }
    return WriteResult::success();
}

}  // namespace waypost
