#pragma once

#include "platform/Clock.h"
#include "platform/ProgramPaths.h"
#include "platform/Prompter.h"
#include "platform/TimeZoneInfo.h"

namespace waypost {

/// What every window is given at construction: its prompts, the clock, the
/// time zone and the program's folders. The objects are owned by whoever
/// builds the bundle (main() or a test) and outlive the windows.
struct Services {
    Prompter& prompter;
    const Clock& clock;
    const TimeZoneInfo& timeZone;
    const ProgramPaths& paths;
};

}  // namespace waypost
