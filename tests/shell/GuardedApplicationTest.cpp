// The last line of defence: an exception that leaves an event handler is told
// to the person and the program goes on.

#include "shell/GuardedApplication.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace waypost;

TEST(GuardedApplication, AnExceptionOutOfAHandlerIsToldAndTheProgramGoesOn) {
    int argc = 1;
    char name[] = "guard_test";
    char* argv[] = {name, nullptr};
    GuardedApplication app(argc, argv);
    QStringList told;
    app.setReport([&](const QString& what) { told << what; });

    QTimer::singleShot(0, [] { throw std::out_of_range("toWhole: value is out of the whole-number range"); });
    QTimer::singleShot(0, [] { throw 42; });
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[0].contains(QStringLiteral("toWhole: value is out of the whole-number range")));
    EXPECT_TRUE(told[1].contains(QStringLiteral("an unknown error")));
    EXPECT_TRUE(later);  // the events after them still ran
}
