#pragma once

#include "platform/Prompter.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace waypost {

/// A Prompter for tests and for offscreen screenshots: it replays a queue of
/// answers given ahead of time and records every prompt with its exact text,
/// title, icon, buttons and default button.
///
/// A prompt that finds no fitting answer in the queue is recorded in
/// unexpected() and answered safely (the default button, or a cancel), so a
/// test can fail with a clear reason instead of hanging on a dialog.
class ScriptedPrompter final : public Prompter {
public:
    enum class Kind { Message, Question, Input, OpenFile, SaveFile, Beep };

    struct Call {
        Kind kind = Kind::Message;
        QString text;   ///< message or prompt text (empty for dialogs and beeps)
        QString title;  ///< box title or dialog title
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
        QString defaultText;  ///< input boxes
        FileDialog dialog;    ///< file dialogs
    };

    // Answers, consumed in order by the prompts that need one.
    void answerYes();
    void answerNo();
    void answerText(const QString& text);  ///< an input box confirmed with this text
    void cancelInput();                    ///< an input box cancelled
    void choosePath(const QString& path);  ///< an open or save dialog
    void cancelDialog();                   ///< an open or save dialog cancelled

    const std::vector<Call>& calls() const { return m_calls; }
    /// Only the OK-only messages, in order.
    std::vector<Call> messages() const;
    /// The texts of the OK-only messages, in order.
    QStringList messageTexts() const;
    /// The text of the last message; empty when none came (so a failing test reads it safely).
    QString lastMessage() const;
    int beeps() const;
    /// Prompts that found no fitting answer, described for a test failure.
    const QStringList& unexpected() const { return m_unexpected; }
    /// Answers still waiting in the queue.
    std::size_t pendingAnswers() const { return m_answers.size(); }
    /// Forgets the recorded calls (not the queued answers).
    void clearCalls();

    void message(const QString& text, const QString& title = kAppTitle, Icon icon = Icon::None) override;
    Answer question(const QString& text, const QString& title = kAppTitle, Icon icon = Icon::Question,
                    Answer defaultButton = Answer::Yes) override;
    std::optional<QString> inputText(const QString& prompt, const QString& title = kAppTitle,
                                     const QString& defaultText = {}) override;
    std::optional<QString> openFile(const FileDialog& dialog) override;
    std::optional<QString> saveFile(const FileDialog& dialog) override;
    void beep() override;

private:
    enum class AnswerKind { YesNo, Text, Path };
    struct Scripted {
        AnswerKind kind;
        Answer answer = Answer::Ok;
        QString value;
        bool cancelled = false;
    };

    /// Takes the next answer when it is of \p kind; false (and a record) otherwise.
    bool take(AnswerKind kind, const QString& what, Scripted& out);
    std::optional<QString> fileDialog(Kind kind, const FileDialog& dialog);

    std::deque<Scripted> m_answers;
    std::vector<Call> m_calls;
    QStringList m_unexpected;
};

}  // namespace waypost
