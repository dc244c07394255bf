#include "platform/ProgramPaths.h"
#include "platform/QtPrompter.h"
#include "platform/Services.h"
#include "platform/TimeZoneInfo.h"
#include "platform/WindowRegistry.h"
#include "shell/GuardedApplication.h"
#include "shell/Windows.h"

#include <QIcon>

int main(int argc, char* argv[]) {
    waypost::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("waypost"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/waypost.png")));

    waypost::QtPrompter prompter;
    waypost::SystemClock clock;
    waypost::SystemTimeZone timeZone;
    const waypost::ProgramPaths paths = waypost::ProgramPaths::forApplication();
    const waypost::Services services{prompter, clock, timeZone, paths};
    app.setReport([&prompter](const QString& what) {
        prompter.message(what, waypost::kAppTitle, waypost::Prompter::Icon::Critical);
    });

    waypost::WindowRegistry registry;
    waypost::registerWindows(registry, services);
    registry.show(waypost::windowName::wp_main);
    const int status = QApplication::exec();
    app.setReport({});  // the prompter goes before the application
    return status;
}
