#pragma once

#include "platform/Prompter.h"

class QWidget;

namespace waypost {

/// The real dialogs: QMessageBox, QInputDialog and Qt's own (non-native) file
/// dialogs, so that they look and behave the same on every desktop.
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr);

    void message(const QString& text, const QString& title, Icon icon) override;
    Answer question(const QString& text, const QString& title, Icon icon, Answer defaultButton) override;
    std::optional<QString> inputText(const QString& prompt, const QString& title,
                                     const QString& defaultText) override;
    std::optional<QString> inputSecret(const QString& prompt, const QString& title = kAppTitle) override;
    std::optional<QString> openFile(const FileDialog& dialog) override;
    std::optional<QString> saveFile(const FileDialog& dialog) override;
    void beep() override;

private:
    std::optional<QString> runFileDialog(const FileDialog& dialog, bool save);

    QWidget* m_parent;
    QString m_lastFolder;  ///< the folder of the last file chosen, offered next time
};

}  // namespace waypost
