#include "platform/FileWriting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

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

QString temporaryNameBeside(const QString& target, const QString& kind) {
    const QFileInfo info(target);
    return info.absoluteDir().filePath(QStringLiteral(".%1.%2.%3.%4")
                                           .arg(info.fileName())
                                           .arg(QCoreApplication::applicationPid())
                                           .arg(QUuid::createUuid().toString(QUuid::Id128), kind));
}

void removeLeftovers(const QString& folder, const QString& kind) {
    const QRegularExpression ours(QStringLiteral(R"(^\..+\.(\d+)\.[0-9a-f]{32}\.%1$)")
                                      .arg(QRegularExpression::escape(kind)));
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral(".*.") + kind}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch()) continue;
        const auto owner = static_cast<pid_t>(match.captured(1).toLongLong());
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) QFile::remove(dir.filePath(name));
    }
}

}  // namespace waypost
