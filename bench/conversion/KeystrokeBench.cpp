// Time from one keystroke in a degree field of the conversion page to every
// result label updated (latitude, longitude, Albers, UTM, US National Grid)
// and the results handed to the caller. The page does all of that inside the
// key's own event, so the time of delivering the key is the figure.
//
// Usage: conversion_bench [KEYS]   (default 10000). Prints median, mean, 95th
// percentile and maximum in microseconds. Runs offscreen.

#include "widgets/LocationReceiver.h"
#include "conversion/wp_ddc_0306.h"
#include "platform/ProgramPaths.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Services.h"
#include "platform/TimeZoneInfo.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include "widgets/LocationLink.h"

#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

namespace {

/// A caller that takes the results the way a feature window does: into labels.
class LabelCaller : public QWidget, public waypost::LocationReceiver {
public:
    LabelCaller() {
        for (auto*& label : m_labels) label = new QLabel(this);
    }
    void receiveFoundSection(const waypost::engine::Location& location) override { show(location); }
    void receiveLocation(const std::optional<waypost::engine::Location>& location, waypost::SectionHandover) override {
        show(location);
        ++handBacks;
    }
    long handBacks = 0;

private:
    void show(const std::optional<waypost::engine::Location>& location) {
        waypost::LocationLabels{m_labels[0], m_labels[1], m_labels[2], m_labels[3], m_labels[4], m_labels[5], nullptr}
            .show(location);
    }
    QLabel* m_labels[6]{};
};

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long keys = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
    if (keys <= 0) {
        std::fprintf(stderr, "usage: conversion_bench [KEYS]\n");
        return 2;
    }

    waypost::ScriptedPrompter prompter;
    waypost::FixedClock clock(QDateTime(QDate(2026, 9, 14), QTime(14, 30)));
    waypost::FixedTimeZone zone(QStringLiteral("Eastern Standard Time"), QStringLiteral("Eastern Daylight Time"),
                                true, -5 * 3600);
    const waypost::ProgramPaths paths(QStringLiteral("/tmp"), QStringLiteral("/tmp"));
    const waypost::Services services{prompter, clock, zone, paths};
    waypost::wp_ddc_0306 page(services);
    LabelCaller caller;
    page.show();
    page.activateWindow();
    if (!QTest::qWaitForWindowActive(&page)) {
        std::fprintf(stderr, "conversion_bench: the page did not become active\n");
        return 1;
    }
    page.startLocating(&caller, QStringLiteral("wpFac"));

    // The three degree groups in turn; within a group the keys run through the
    // fields by auto-advance, as a dispatcher types them. Digits are drawn with
    // a fixed seed, so some values are refused and reset, as in real typing.
    const char* const groups[] = {"optDD", "OptDDM", "optDMS"};
    std::mt19937 rng(20260914);
    std::uniform_int_distribution<int> digit(0, 9);
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(keys));
    int group = 0;
    page.findChild<QRadioButton*>(QLatin1String(groups[group]))->click();
    for (long i = 0; i < keys; ++i) {
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (!field || !field->isEnabled()) {
            // Past the group's last field: on to the next group.
            group = (group + 1) % 3;
            page.findChild<QRadioButton*>(QLatin1String(groups[group]))->click();
            field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        }
        // A field entered by auto-advance arrives selected; one that was filled
        // and not left (a refused value put back) is selected again, as a user would.
        if (field->text().size() == field->maxLength() && !field->hasSelectedText()) field->selectAll();
        const char key = static_cast<char>('0' + digit(rng));
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(field, key);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }

    std::vector<double> sorted = micros;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(sorted.size());
    const double p95 = sorted[static_cast<std::size_t>(static_cast<double>(sorted.size() - 1) * 0.95)];
    std::printf("conversion page, keystroke to all result labels, %ld keys offscreen\n", keys);
    std::printf("  median %.1f us   mean %.1f us   95th percentile %.1f us   max %.1f us\n", median, mean, p95,
                sorted.back());
    std::printf("  hand-backs %ld, messages %lld (refused values)\n", caller.handBacks,
                static_cast<long long>(prompter.messages().size()));
    std::printf("  target: median under 1000 us: %s\n", median < 1000 ? "met" : "NOT met");
    return median < 1000 ? 0 : 1;
}
