#pragma once

#include <QString>

namespace waypost {

/// Where the program finds the data that lies beside it (templates, icons,
/// databases, projection files, lists) and where it keeps its logs.
///
/// In the build tree and in a portable copy the data lies in the executable's
/// own folder; installed, it lies in <prefix>/share/waypost beside <prefix>/bin.
class ProgramPaths {
public:
    /// Paths as given, for tests and for callers that know them. Without
    /// \p userDataDir there is no per-user data folder.
    ProgramPaths(QString dataDir, QString logDir, QString userDataDir = QString());

    /// Finds the data folder for an executable in \p executableDir: the folder
    /// itself when it holds templates/, otherwise ../share/waypost. The log
    /// folder is <data>/logs when that can be written, otherwise the user's
    /// application data folder plus /logs.
    static ProgramPaths locate(const QString& executableDir);
    /// locate() for the running program.
    static ProgramPaths forApplication();

    const QString& dataDir() const { return m_dataDir; }
    const QString& logDir() const { return m_logDir; }
    /// The user's own data folder (lists a user keeps, such as a storm list of
    /// their own); empty when there is none.
    const QString& userDataDir() const { return m_userDataDir; }
    QString templatesDir() const { return dataFile(QStringLiteral("templates")); }
    QString iconsDir() const { return dataFile(QStringLiteral("icons")); }
    QString databasesDir() const { return dataFile(QStringLiteral("databases")); }
    /// A file or folder inside the data folder.
    QString dataFile(const QString& relative) const;

private:
    QString m_dataDir;
    QString m_logDir;
    QString m_userDataDir;
};

}  // namespace waypost
