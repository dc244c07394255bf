#include "platform/ScriptedPrompter.h"

#include <gtest/gtest.h>

using waypost::Prompter;
using waypost::ScriptedPrompter;

TEST(ScriptedPrompter, RecordsAMessageWithItsExactTextTitleAndIcon) {
    ScriptedPrompter p;
    Prompter& prompter = p;
    prompter.message(QStringLiteral("Enter Facility Name"));
    prompter.message(QStringLiteral("Disk full"), QStringLiteral("Shapefile"), Prompter::Icon::Critical);
    ASSERT_EQ(p.calls().size(), 2u);
    const auto& first = p.calls()[0];
    EXPECT_EQ(first.kind, ScriptedPrompter::Kind::Message);
    EXPECT_EQ(first.text, QStringLiteral("Enter Facility Name"));
    EXPECT_EQ(first.title, QStringLiteral("Waypost"));
    EXPECT_EQ(first.icon, Prompter::Icon::None);
    EXPECT_EQ(first.buttons, Prompter::Buttons::Ok);
    EXPECT_EQ(p.calls()[1].title, QStringLiteral("Shapefile"));
    EXPECT_EQ(p.calls()[1].icon, Prompter::Icon::Critical);
    EXPECT_EQ(p.messageTexts(), QStringList({QStringLiteral("Enter Facility Name"), QStringLiteral("Disk full")}));
    EXPECT_TRUE(p.unexpected().isEmpty());
}

TEST(ScriptedPrompter, ReplaysAnswersInOrderAndRecordsButtons) {
    ScriptedPrompter p;
    p.answerNo();
    p.answerYes();
    p.answerText(QStringLiteral("http://example.org"));
    p.cancelInput();
    p.answerText(QString());
    p.choosePath(QStringLiteral("/tmp/a.kml"));
    p.cancelDialog();
    Prompter& prompter = p;
    EXPECT_EQ(prompter.question(QStringLiteral("Overwrite?"), QStringLiteral("File"), Prompter::Icon::Question,
                                Prompter::Answer::No),
              Prompter::Answer::No);
    EXPECT_EQ(prompter.question(QStringLiteral("Add a link?")), Prompter::Answer::Yes);
    EXPECT_EQ(prompter.inputText(QStringLiteral("Link")), std::optional<QString>(QStringLiteral("http://example.org")));
    EXPECT_EQ(prompter.inputText(QStringLiteral("Link")), std::nullopt);
    // Confirmed empty is not the same as cancelled.
    const auto empty = prompter.inputText(QStringLiteral("Link"), QStringLiteral("T"), QStringLiteral("x"));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    Prompter::FileDialog dialog{QStringLiteral("Save KML"), QStringLiteral("KML (*.kml)"), QStringLiteral("kml"),
                                QStringLiteral("camp.kml"), {}};
    EXPECT_EQ(prompter.saveFile(dialog), std::optional<QString>(QStringLiteral("/tmp/a.kml")));
    EXPECT_EQ(prompter.openFile(dialog), std::nullopt);
    prompter.beep();

    EXPECT_EQ(p.pendingAnswers(), 0u);
    EXPECT_TRUE(p.unexpected().isEmpty());
    ASSERT_EQ(p.calls().size(), 8u);
    EXPECT_EQ(p.calls()[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(p.calls()[0].defaultButton, Prompter::Answer::No);
    EXPECT_EQ(p.calls()[0].title, QStringLiteral("File"));
    EXPECT_EQ(p.calls()[1].defaultButton, Prompter::Answer::Yes);
    EXPECT_EQ(p.calls()[4].defaultText, QStringLiteral("x"));
    EXPECT_EQ(p.calls()[5].kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(p.calls()[5].dialog.fileName, QStringLiteral("camp.kml"));
    EXPECT_EQ(p.calls()[5].dialog.defaultExtension, QStringLiteral("kml"));
    EXPECT_EQ(p.calls()[6].kind, ScriptedPrompter::Kind::OpenFile);
    EXPECT_EQ(p.beeps(), 1);
    EXPECT_TRUE(p.messages().empty());
}

TEST(ScriptedPrompter, AMissingOrMismatchedAnswerIsReportedAndAnsweredSafely) {
    ScriptedPrompter p;
    // Nothing queued: the default button, and a record of the surprise.
    EXPECT_EQ(p.question(QStringLiteral("Overwrite?"), QStringLiteral("Waypost"), Prompter::Icon::Question,
                         Prompter::Answer::No),
              Prompter::Answer::No);
    ASSERT_EQ(p.unexpected().size(), 1);
    EXPECT_TRUE(p.unexpected()[0].contains(QStringLiteral("Overwrite?")));

    // A path queued where a question comes: not consumed, reported.
    p.choosePath(QStringLiteral("/tmp/x"));
    EXPECT_EQ(p.question(QStringLiteral("Sure?")), Prompter::Answer::Yes);
    EXPECT_EQ(p.unexpected().size(), 2);
    EXPECT_EQ(p.pendingAnswers(), 1u);
    EXPECT_EQ(p.saveFile({}), std::optional<QString>(QStringLiteral("/tmp/x")));
    EXPECT_EQ(p.openFile({}), std::nullopt);
    EXPECT_EQ(p.unexpected().size(), 3);

    p.clearCalls();
    EXPECT_TRUE(p.calls().empty());
}
