#include "platform/FileWriting.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using waypost::appendToFile;
using waypost::writeFileAtomically;
using waypost::test::readAll;

// A whole write replaces the file or, failing (a full disk), keeps the old one
// and leaves no temporary file. (A missing folder's failure naming the file:
// KitTest.)
TEST(FileWriting, AtomicWriteReplacesWholeFilesOrKeepsTheOldOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pfcamps.txt"));
    ASSERT_TRUE(writeFileAtomically(path, "\"Name\"\r\n"));
    ASSERT_TRUE(writeFileAtomically(path, "second\r\n"));
    {
        const waypost::testing::FileSizeLimit limit(4096);
        EXPECT_FALSE(writeFileAtomically(path, QByteArray(70000, 'x')));
    }
    EXPECT_EQ(readAll(path), QByteArray("second\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("pfcamps.txt")});
}

// A folder that takes no new file keeps the old one as it was.
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

// A line the disk cannot take (in part, or at all: a folder, a full device) is
// told naming the file and undone, so no half line stays. (Whole lines appended,
// a missing file made: KitTest.)
TEST(FileWriting, AFailedAppendKeepsTheEarlierRecords) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pfsites.txt"));
    ASSERT_TRUE(appendToFile(path, "\"Name\"\r\n\"one\"\r\n"));
    const QByteArray before = readAll(path);
    {
        const waypost::testing::FileSizeLimit limit(static_cast<rlim_t>(before.size()) + 10);
        EXPECT_FALSE(appendToFile(path, QByteArray(50, 'x') + "\r\n"));
    }
    EXPECT_EQ(readAll(path), before);

    for (const QString& refusing : {dir.path(), QStringLiteral("/dev/full")}) {  // /dev/full takes the open, not the data
        if (!QFile::exists(refusing)) continue;
        const auto result = appendToFile(refusing, QByteArray(70000, 'x'));
        EXPECT_FALSE(result) << refusing.toStdString();
        EXPECT_TRUE(result.message().contains(refusing)) << result.message().toStdString();
    }
}
