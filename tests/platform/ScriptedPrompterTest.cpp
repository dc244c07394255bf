#include "platform/ScriptedPrompter.h"

#include <gtest/gtest.h>

using waypost::Prompter;
using waypost::ScriptedPrompter;

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
