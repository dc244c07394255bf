#pragma once

#include "platform/Services.h"

namespace waypost {

class WindowRegistry;

/// Makes every window of the program known to \p registry, each built with
/// \p services. The main window, the screenshot tool and the tests share it.
void registerWindows(WindowRegistry& registry, const Services& services);

}  // namespace waypost
