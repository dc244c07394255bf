#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace waypost {
namespace {

bool folderIsWritable(const QString& folder) {
    // The folder itself, or the nearest one that exists, must accept new files.
    QFileInfo info(folder);
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath()) return false;
        info = QFileInfo(parent);
    }
    return info.isDir() && info.isWritable();
}

}  // namespace

ProgramPaths::ProgramPaths(QString dataDir, QString logDir, QString userDataDir)
    : m_dataDir(QDir::cleanPath(std::move(dataDir))), m_logDir(QDir::cleanPath(std::move(logDir))),
      m_userDataDir(userDataDir.isEmpty() ? QString() : QDir::cleanPath(std::move(userDataDir))) {}

ProgramPaths ProgramPaths::locate(const QString& executableDir) {
    const QDir exe(executableDir);
    QString data = exe.absolutePath();
    if (!QFileInfo(exe.filePath(QStringLiteral("templates"))).isDir()) {
        const QString installed = QDir::cleanPath(exe.absoluteFilePath(QStringLiteral("../share/waypost")));
        if (QFileInfo(installed + QStringLiteral("/templates")).isDir()) data = installed;
    }
    QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (appData.isEmpty()) appData = QDir::homePath() + QStringLiteral("/.local/share/waypost");
    QString logs = data + QStringLiteral("/logs");
    if (!folderIsWritable(logs)) logs = appData + QStringLiteral("/logs");
    return ProgramPaths(data, logs, appData);
}

ProgramPaths ProgramPaths::forApplication() { return locate(QCoreApplication::applicationDirPath()); }

QString ProgramPaths::dataFile(const QString& relative) const { return m_dataDir + QLatin1Char('/') + relative; }

}  // namespace waypost
