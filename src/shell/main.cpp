#include "platform/ProgramPaths.h"
#include "platform/QtPrompter.h"
#include "platform/Services.h"
#include "platform/TimeZoneInfo.h"
#include "platform/WindowRegistry.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("waypost"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/waypost.png")));

    waypost::QtPrompter prompter;
    waypost::SystemClock clock;
    waypost::SystemTimeZone timeZone;
    const waypost::ProgramPaths paths = waypost::ProgramPaths::forApplication();
    const waypost::Services services{prompter, clock, timeZone, paths};

    waypost::WindowRegistry registry;
    waypost::registerWindows(registry, services);
    registry.show(waypost::windowName::wp_main);
    return QApplication::exec();
}
