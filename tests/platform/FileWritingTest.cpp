#include "platform/FileWriting.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"

#include <unistd.h>

using waypost::appendToFile;
using waypost::writeFileAtomically;
using waypost::test::readAll;

namespace {

QStringList filesIn(const QTemporaryDir& dir) { return QDir(dir.path()).entryList(QDir::Files); }

}  // namespace

TEST(FileWriting, AtomicWriteReplacesWholeFilesOrKeepsTheOldOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pfcamps.txt"));
    ASSERT_TRUE(writeFileAtomically(path, "\"Name\"\r\n"));
    EXPECT_EQ(readAll(path), QByteArray("\"Name\"\r\n"));
    ASSERT_TRUE(writeFileAtomically(path, "second\r\n"));
    EXPECT_EQ(readAll(path), QByteArray("second\r\n"));
    {
        const waypost::testing::FileSizeLimit limit(4096);
        EXPECT_FALSE(writeFileAtomically(path, QByteArray(70000, 'x')));
    }
    EXPECT_EQ(readAll(path), QByteArray("second\r\n"));
    // No temporary files are left beside it.
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("pfcamps.txt")});

    const QString missingFolder = dir.filePath(QStringLiteral("no/such/folder/a.kml"));
    const auto result = writeFileAtomically(missingFolder, "x");
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.message().contains(missingFolder)) << result.message().toStdString();
    EXPECT_FALSE(QFile::exists(missingFolder));
}

TEST(FileWriting, AtomicWriteIntoAReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto result = writeFileAtomically(path, "new");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(result);
    EXPECT_EQ(readAll(path), QByteArray("old"));
}

TEST(FileWriting, AppendAddsWholeLinesAndAFailedAppendKeepsTheEarlierRecords) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pfsites.txt"));
    ASSERT_TRUE(appendToFile(path, "\"Name\"\r\n"));  // a missing file is created
    ASSERT_TRUE(appendToFile(path, "\"one\"\r\n"));
    const QByteArray before = readAll(path);
    EXPECT_EQ(before, QByteArray("\"Name\"\r\n\"one\"\r\n"));
    // A short line that the disk takes only in part, and a long one.
    for (const QByteArray& line : {QByteArray(50, 'x') + "\r\n", QByteArray(70000, 'y') + "\r\n"}) {
        const waypost::testing::FileSizeLimit limit(static_cast<rlim_t>(before.size()) + 10);
        const auto result = appendToFile(path, line);
        EXPECT_FALSE(result);
        EXPECT_TRUE(result.message().contains(path)) << result.message().toStdString();
    }
    // No half line: the next record starts on a line of its own.
    EXPECT_EQ(readAll(path), before);
    ASSERT_TRUE(appendToFile(path, "\"two\"\r\n"));
    EXPECT_EQ(readAll(path), before + "\"two\"\r\n");

    const auto intoFolder = appendToFile(dir.path(), "x\r\n");
    EXPECT_FALSE(intoFolder);
    EXPECT_TRUE(intoFolder.message().contains(dir.path()));
}

TEST(FileWriting, AFullDeviceRefusesAnAppend) {
    // /dev/full accepts the open and refuses the data.
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
    const auto result = appendToFile(QStringLiteral("/dev/full"), QByteArray(70000, 'x'));
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.message().contains(QStringLiteral("/dev/full")));
}
