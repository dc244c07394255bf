#include "platform/ScriptedPrompter.h"

#include <gtest/gtest.h>

using waypost::Prompter;
using waypost::ScriptedPrompter;

// Answers are replayed in order, and a call is recorded as it was made. (Beeps
// and every other kind of call recorded and counted: the window tests.)
TEST(ScriptedPrompter, ReplaysAnswersInOrderAndRecordsEveryCall) {
    ScriptedPrompter p;
    p.answerNo();
    p.answerText(QStringLiteral("http://example.org"));
    p.cancelInput();
    p.answerText(QString());
    p.choosePath(QStringLiteral("/tmp/a.kml"));
    Prompter& prompter = p;
    prompter.message(QStringLiteral("Disk full"), QStringLiteral("Shapefile"), Prompter::Icon::Critical);
    EXPECT_EQ(prompter.question(QStringLiteral("Overwrite?"), QStringLiteral("File"), Prompter::Icon::Question,
                                Prompter::Answer::No), Prompter::Answer::No);
    EXPECT_EQ(prompter.inputText(QStringLiteral("Link")), std::optional<QString>(QStringLiteral("http://example.org")));
    EXPECT_EQ(prompter.inputText(QStringLiteral("Link")), std::nullopt);
    EXPECT_EQ(prompter.inputText(QStringLiteral("Link")), std::optional<QString>(QString()));  // confirmed empty
    EXPECT_EQ(prompter.saveFile({QStringLiteral("Save KML"), {}, {}, QStringLiteral("camp.kml"), {}, false, {}}),
              std::optional<QString>(QStringLiteral("/tmp/a.kml")));

    EXPECT_TRUE(p.unexpected().isEmpty());
    EXPECT_EQ(p.messages().at(0).title, QStringLiteral("Shapefile"));
}

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
