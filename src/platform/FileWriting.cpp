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
    // Unbuffered, so that a failed write is seen here and not left in a buffer.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return WriteResult::failure(path, file.errorString());
    const qint64 before = file.size();
    if (file.write(contents) != contents.size()) {
        const QString reason = file.errorString();
        file.close();
        // Cut the file back to its earlier records: no half line stays behind.
        QFile::resize(path, before);
        return WriteResult::failure(path, reason);
    }
    file.close();
    return WriteResult::success();
}

}  // namespace waypost
