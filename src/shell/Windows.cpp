#include "shell/Windows.h"

#include "platform/WindowRegistry.h"
#include "shell/frmAbout.h"
#include "shell/wp_main.h"

namespace waypost {

void registerWindows(WindowRegistry& registry, const Services& services) {
    registry.registerWindow(windowName::frmAbout, [services] { return new frmAbout(services); });
    // The main window is registered last so that it sees every job.
    registry.registerWindow(windowName::wp_main,
                            [services, &registry] { return new wp_main(services, registry); });
}

}  // namespace waypost
