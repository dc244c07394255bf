#pragma once
// Every message box, question, input box, file dialog and beep of the windows
// goes through a Prompter, so that tests can script the answers and read back
// exactly what the user would have seen.

#include <QString>
#include <QStringList>
#include <optional>

namespace waypost {

/// The application title that message boxes carry when no other title is given.
inline const QString kAppTitle = QStringLiteral("Waypost");

class Prompter {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    /// What a file dialog shows. The filter uses Qt's form "Desc (*.x);;All (*.*)".
    struct FileDialog {
        QString title;
        QString filter;
        QString defaultExtension;  ///< without the dot: "kml"; added when the name has none
        QString fileName;          ///< the default file name, may be empty
        QString folder;            ///< start folder; empty means the remembered one
        bool allowNewName = false; ///< an open dialog that also takes the name of a file not there yet
        QStringList otherExtensions;  ///< further formats offered: a name ending in one is kept as it is
    };

    virtual ~Prompter() = default;

    /// An OK-only message box.
    virtual void message(const QString& text, const QString& title = kAppTitle, Icon icon = Icon::None) = 0;
    /// A Yes/No question; returns Answer::Yes or Answer::No.
    virtual Answer question(const QString& text, const QString& title = kAppTitle,
                            Icon icon = Icon::Question, Answer defaultButton = Answer::Yes) = 0;
    /// An input box; std::nullopt when cancelled, "" when confirmed empty.
    virtual std::optional<QString> inputText(const QString& prompt, const QString& title = kAppTitle,
                                             const QString& defaultText = {}) = 0;
    /// An input box whose text is not shown (a password); by default an ordinary one.
    virtual std::optional<QString> inputSecret(const QString& prompt, const QString& title = kAppTitle) {
        return inputText(prompt, title);
    }
    /// Open/save file dialogs; std::nullopt when cancelled. A save dialog does not
    /// ask about overwriting: the callers ask their own questions.
    virtual std::optional<QString> openFile(const FileDialog& dialog) = 0;
    virtual std::optional<QString> saveFile(const FileDialog& dialog) = 0;
    virtual void beep() = 0;
};

}  // namespace waypost
