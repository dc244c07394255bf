#include "output/OutputChooser.h"

#include "output/RecordFile.h"

#include <QFileInfo>

namespace waypost {

std::optional<QString> chooseNewOutput(Prompter& prompter, const Prompter::FileDialog& dialog, const QString& prefix) {
    const auto choose = [&](const Prompter::FileDialog& d) -> std::optional<QString> {
        const auto chosen = prompter.saveFile(d);
        if (!chosen) return std::nullopt;
        return prefixedPath(withDefaultExtension(*chosen, d.defaultExtension), prefix);
    };
    auto path = choose(dialog);
    if (!path || QFileInfo(*path).size() == 0) return path;
    const auto answer = prompter.question(QStringLiteral("File Already Exists  - Overwrite?"),
                                          QStringLiteral("File Exists"), Prompter::Icon::Critical,
                                          Prompter::Answer::No);
    if (answer == Prompter::Answer::Yes) return path;
    Prompter::FileDialog again = dialog;
    again.folder = QFileInfo(*path).absolutePath();
    return choose(again);
}

std::optional<QString> chooseAppendOutput(Prompter& prompter, Prompter::FileDialog dialog) {
    dialog.allowNewName = true;
    const auto chosen = prompter.openFile(dialog);
    if (!chosen) return std::nullopt;
    return withDefaultExtension(*chosen, dialog.defaultExtension);
}

}  // namespace waypost
