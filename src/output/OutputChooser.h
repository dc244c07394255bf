#pragma once
// Choosing the file an output goes to: one rule for record files, shapefiles
// and KML alike.

#include "platform/Prompter.h"

#include <QString>

#include <optional>

namespace waypost {

/// Asks for a new output file: the save dialog, the default extension when
/// the chosen name has none, \p prefix put in front of the file name, and the
/// overwrite question ("File Already Exists  - Overwrite?") for a file that
/// holds something. Any answer but Yes shows the dialog again, in the folder
/// just chosen, and every existing file chosen there is asked about in turn.
/// std::nullopt when a dialog was cancelled.
std::optional<QString> chooseNewOutput(Prompter& prompter, const Prompter::FileDialog& dialog,
                                       const QString& prefix = {});

/// Asks for a file to append to; a name not there yet may be typed, since
/// appending creates it. The default extension is added when the name has none.
std::optional<QString> chooseAppendOutput(Prompter& prompter, Prompter::FileDialog dialog);

}  // namespace waypost
