#include "platform/ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using waypost::ProgramPaths;

TEST(ProgramPaths, DataBesideTheExecutableWhenItHoldsTemplates) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin/templates")));
    const auto paths = ProgramPaths::locate(dir.filePath(QStringLiteral("bin")));
    EXPECT_EQ(paths.dataDir(), QDir::cleanPath(dir.filePath(QStringLiteral("bin"))));
    EXPECT_EQ(paths.logDir(), paths.dataDir() + QStringLiteral("/logs"));
    EXPECT_EQ(paths.dataFile(QStringLiteral("fl_albers.prj")), paths.dataDir() + QStringLiteral("/fl_albers.prj"));
}

TEST(ProgramPaths, InstalledLayoutUsesShareWaypost) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("share/waypost/templates")));
    const auto paths = ProgramPaths::locate(dir.filePath(QStringLiteral("bin")));
    EXPECT_EQ(paths.dataDir(), QDir::cleanPath(dir.filePath(QStringLiteral("share/waypost"))));
}

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
    EXPECT_TRUE(paths.logDir().endsWith(QStringLiteral("/logs")));
}
