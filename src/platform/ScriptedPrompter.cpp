#include "platform/ScriptedPrompter.h"

namespace waypost {

void ScriptedPrompter::answerYes() { m_answers.push_back({AnswerKind::YesNo, Answer::Yes, {}, false}); }
void ScriptedPrompter::answerNo() { m_answers.push_back({AnswerKind::YesNo, Answer::No, {}, false}); }
void ScriptedPrompter::answerText(const QString& text) {
    m_answers.push_back({AnswerKind::Text, Answer::Ok, text, false});
}
void ScriptedPrompter::cancelInput() { m_answers.push_back({AnswerKind::Text, Answer::Ok, {}, true}); }
void ScriptedPrompter::choosePath(const QString& path) {
    m_answers.push_back({AnswerKind::Path, Answer::Ok, path, false});
}
void ScriptedPrompter::cancelDialog() { m_answers.push_back({AnswerKind::Path, Answer::Ok, {}, true}); }

std::vector<ScriptedPrompter::Call> ScriptedPrompter::messages() const {
    std::vector<Call> out;
    for (const auto& c : m_calls)
        if (c.kind == Kind::Message) out.push_back(c);
    return out;
}

QStringList ScriptedPrompter::messageTexts() const {
    QStringList out;
    for (const auto& c : m_calls)
        if (c.kind == Kind::Message) out << c.text;
    return out;
}

QString ScriptedPrompter::lastMessage() const {
    const QStringList all = messageTexts();
    return all.isEmpty() ? QString() : all.last();
}

int ScriptedPrompter::beeps() const {
    int n = 0;
    for (const auto& c : m_calls)
        if (c.kind == Kind::Beep) ++n;
    return n;
}

void ScriptedPrompter::clearCalls() { m_calls.clear(); }

bool ScriptedPrompter::take(AnswerKind kind, const QString& what, Scripted& out) {
    if (m_answers.empty()) {
        m_unexpected << QStringLiteral("no answer queued for %1").arg(what);
        return false;
    }
    if (m_answers.front().kind != kind) {
        m_unexpected << QStringLiteral("the next queued answer does not fit %1").arg(what);
        return false;
    }
    out = m_answers.front();
    m_answers.pop_front();
    return true;
}

void ScriptedPrompter::message(const QString& text, const QString& title, Icon icon) {
    m_calls.push_back({Kind::Message, text, title, icon, Buttons::Ok, Answer::Ok, {}, {}});
}

Prompter::Answer ScriptedPrompter::question(const QString& text, const QString& title, Icon icon,
                                            Answer defaultButton) {
    m_calls.push_back({Kind::Question, text, title, icon, Buttons::YesNo, defaultButton, {}, {}});
    Scripted s;
    if (!take(AnswerKind::YesNo, QStringLiteral("the question \"%1\"").arg(text), s)) return defaultButton;
    return s.answer;
}

std::optional<QString> ScriptedPrompter::inputText(const QString& prompt, const QString& title,
                                                   const QString& defaultText) {
    m_calls.push_back({Kind::Input, prompt, title, Icon::None, Buttons::Ok, Answer::Ok, defaultText, {}});
    Scripted s;
    if (!take(AnswerKind::Text, QStringLiteral("the input box \"%1\"").arg(prompt), s) || s.cancelled)
        return std::nullopt;
    return s.value;
}

std::optional<QString> ScriptedPrompter::fileDialog(Kind kind, const FileDialog& dialog) {
    m_calls.push_back({kind, {}, dialog.title, Icon::None, Buttons::Ok, Answer::Ok, {}, dialog});
    Scripted s;
    if (!take(AnswerKind::Path, QStringLiteral("the file dialog \"%1\"").arg(dialog.title), s) || s.cancelled)
        return std::nullopt;
    return s.value;
}

std::optional<QString> ScriptedPrompter::openFile(const FileDialog& dialog) {
    return fileDialog(Kind::OpenFile, dialog);
}

std::optional<QString> ScriptedPrompter::saveFile(const FileDialog& dialog) {
    return fileDialog(Kind::SaveFile, dialog);
}

void ScriptedPrompter::beep() { m_calls.push_back({Kind::Beep, {}, {}, Icon::None, Buttons::Ok, Answer::Ok, {}, {}}); }

}  // namespace waypost
