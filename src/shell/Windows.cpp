#include "shell/Windows.h"

#include "address/frmGEAddress.h"
#include "batch/BatchWindows.h"
#include "conversion/wp_ddc_0306.h"
#include "features/frmDBMan.h"
#include "kmlimport/kml_firedp_0611.h"
#include "features/wpFac.h"
#include "features/wpHcane.h"
#include "platform/WindowRegistry.h"
#include "shell/frmAbout.h"
#include "shell/frmAgency.h"
#include "shell/wp_main.h"

namespace waypost {

void registerWindows(WindowRegistry& registry, const Services& services) {
    registry.registerWindow(windowName::frmAbout, [services] { return new frmAbout(services); });
    registry.registerWindow(windowName::frmAgency, [services] { return new frmAgency(services); }, QStringLiteral("txtService"));
    registry.registerWindow(windowName::wp_ddc_0306, [services] { return new wp_ddc_0306(services); });
    registry.registerWindow(
        windowName::wpFac, [services, &registry] { return new wpFac(services, registry); },
        QStringLiteral("txtfacName"));
    registry.registerWindow(
        windowName::frmDBMan, [services, &registry] { return new frmDBMan(services, registry); },
        QStringLiteral("txtF_Name"));
    registry.registerWindow(
        windowName::wpHcane, [services, &registry] { return new wpHcane(services, registry); },
        QStringLiteral("cmbName"));
    registry.registerWindow(
        windowName::frmGEAddress, [services] { return new frmGEAddress(services); }, QStringLiteral("txtPaname"));
    registry.registerWindow(
        windowName::kml_firedp_0611, [services] { return new kml_firedp_0611(services); }, QStringLiteral("txtF_Name"));
    registry.registerWindow(windowName::frmdatabase, [services] { return new batch::frmdatabase(services); });
    registry.registerWindow(windowName::frmbatLLtoUSNG, [services] { return new batch::frmbatLLtoUSNG(services); });
    // The main window is registered last so that it sees every job.
    registry.registerWindow(windowName::wp_main,
                            [services, &registry] { return new wp_main(services, registry); });
}

}  // namespace waypost
