#include "output/OutputChooser.h"

#include "output/RecordFile.h"

#include <QFileInfo>

namespace waypost {

std::optional<QString> chooseNewOutput(Prompter& prompter, const Prompter::FileDialog& dialog, const QString& prefix) {
    const auto choose = [&](const Prompter::FileDialog& d) -> std::optional<QString> {
        const auto chosen = prompter.saveFile(d);
        if (!chosen) return std::nullopt;
        const bool otherFormat = d.otherExtensions.contains(QFileInfo(*chosen).suffix(), Qt::CaseInsensitive);
        return prefixedPath(otherFormat ? *chosen : withDefaultExtension(*chosen, d.defaultExtension), prefix);
    };
    // Every choice of a file that holds something asks; No shows the dialog
    // again in the folder just chosen.
    Prompter::FileDialog current = dialog;
    while (true) {
        const std::optional<QString> path = choose(current);
        if (!path || QFileInfo(*path).size() == 0) return path;
        const auto answer = prompter.question(QStringLiteral("File Already Exists  - Overwrite?"),
                                              QStringLiteral("File Exists"), Prompter::Icon::Critical,
                                              Prompter::Answer::No);
        if (answer == Prompter::Answer::Yes) return path;
        current.folder = QFileInfo(*path).absolutePath();
    }
}

std::optional<QString> chooseAppendOutput(Prompter& prompter, Prompter::FileDialog dialog) {
    dialog.allowNewName = true;
    const auto chosen = prompter.openFile(dialog);
    if (!chosen) return std::nullopt;
    return withDefaultExtension(*chosen, dialog.defaultExtension);
}

}  // namespace waypost
