#include "platform/ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using waypost::ProgramPaths;

// The data lie beside the executable when it holds the templates, else in the
// installed share/waypost; the logs and data files are found under the data.
TEST(ProgramPaths, DataBesideTheExecutableOrInShareWaypost) {
    const std::pair<const char*, const char*> layouts[] = {{"bin/templates", "bin"}, {"share/waypost/templates", "share/waypost"}};
    for (const auto& [layout, data] : layouts) {
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")) && QDir(dir.path()).mkpath(QString::fromLatin1(layout)));
        const auto paths = ProgramPaths::locate(dir.filePath(QStringLiteral("bin")));
        EXPECT_EQ(paths.dataDir(), QDir::cleanPath(dir.filePath(QString::fromLatin1(data))));
        EXPECT_EQ(paths.logDir(), paths.dataDir() + QStringLiteral("/logs"));
    }
}

// Logs go to the user's folder when the data folder is read-only.
TEST(ProgramPaths, LogsGoToTheUsersFolderWhenTheDataFolderIsReadOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin/templates")));
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool readOnly = !QFileInfo(bin).isWritable();  // root can write anyway
    const auto paths = ProgramPaths::locate(bin);
    QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!readOnly) GTEST_SKIP() << "this user can write into read-only folders";
    EXPECT_FALSE(paths.logDir().startsWith(bin));
}
