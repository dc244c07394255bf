// The platform services: where the program's files are, whole-file and
// appending writes, the time zone, and the scripted prompter the tests answer with.

#include "platform/FileWriting.h"
#include "platform/ProgramPaths.h"
#include "platform/ScriptedPrompter.h"
#include "platform/TimeZoneInfo.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace waypost;
using waypost::test::readAll;

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

// Logs go to the user's folder when the data folder cannot take them: here a file stands where their folder would
// be, which stops root too (a read-only folder takes the same way).
TEST(ProgramPaths, LogsGoToTheUsersFolderWhenTheDataFolderCannotTakeThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin/templates")));
    ASSERT_TRUE(test::writeFile(dir.filePath(QStringLiteral("bin/logs")), "not a folder"));
    EXPECT_FALSE(ProgramPaths::locate(dir.filePath(QStringLiteral("bin"))).logDir().startsWith(dir.path()));
}

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

// A folder that takes no new file keeps the old one as it was, never written in place: /proc/self, whoever
// runs the test, where the process's name could be written over but no file made beside it.
TEST(FileWriting, AtomicWriteIntoAFolderThatTakesNoNewFileKeepsTheOldFile) {
    const QString name = QStringLiteral("/proc/self/comm");
    const QByteArray before = readAll(name);
    EXPECT_FALSE(writeFileAtomically(name, "renamed\n"));
    EXPECT_EQ(readAll(name), before);
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

// The tests run with TZ=America/New_York (set by CTest). The zone is named as
// it is at that moment, and in English whatever the desktop's language: a
// Spanish desktop in New York still has Eastern time.
TEST(SystemTimeZone, NamesTheZoneAsItIsAtThatMomentInEnglish) {
    if (QTimeZone::systemTimeZoneId() != QByteArray("America/New_York"))
        GTEST_SKIP() << "the test environment did not set the time zone";
    const QDateTime summer(QDate(2026, 7, 1), QTime(12, 0), QTimeZone::systemTimeZone());
    const QDateTime winter(QDate(2026, 1, 15), QTime(12, 0), QTimeZone::systemTimeZone());
    SystemTimeZone zone;
    EXPECT_EQ(std::pair(zone.daylightInForce(summer), zone.offsetFromUtc(summer)), std::pair(true, -4 * 3600));
    EXPECT_EQ(std::pair(zone.daylightInForce(winter), zone.offsetFromUtc(winter)), std::pair(false, -5 * 3600));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::UnitedStates));
    const QStringList names{SystemTimeZone().zoneName(winter), SystemTimeZone().zoneName(summer)};
    QLocale::setDefault(before);
    EXPECT_EQ(names, QStringList({"Eastern Standard Time", "Eastern Daylight Time"}));
}

// (Answers replayed in order, every call recorded: every window test scripts its dialogs through them.)
// A missing or mismatched answer is recorded and answered safely; a path
// queued where a question comes stays for the dialog.
TEST(ScriptedPrompter, AMissingOrMismatchedAnswerIsReportedAndAnsweredSafely) {
    ScriptedPrompter p;
    EXPECT_EQ(p.question(QStringLiteral("Overwrite?"), QStringLiteral("Waypost"), Prompter::Icon::Question,
                         Prompter::Answer::No), Prompter::Answer::No);
    ASSERT_EQ(p.unexpected().size(), 1);
    EXPECT_TRUE(p.unexpected()[0].contains(QStringLiteral("Overwrite?")));
    p.choosePath(QStringLiteral("/tmp/x"));
    EXPECT_EQ(p.question(QStringLiteral("Sure?")), Prompter::Answer::Yes);
    EXPECT_EQ(p.unexpected().size(), 2);
    EXPECT_EQ(p.saveFile({}), std::optional<QString>(QStringLiteral("/tmp/x")));  // the path stayed queued
}
