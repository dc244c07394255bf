#pragma once
// Long work (table imports and runs, a drawing's conversion, the statewide
// section search) runs off the interface thread: the window stays painted,
// shows a figure a person can watch, and gets the result back.

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace waypost {

/// The wait cursor for as long as an object of this lives (short work done
/// on the interface thread).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

/// How far a job has come (records, vertices, iterations), written by the
/// job's thread and read by the window's.
using JobProgress = std::atomic<std::int64_t>;

/// Shows a job's progress figure in the window (on the interface thread).
using ShowProgress = std::function<void(std::int64_t done)>;

/// While a job runs its window takes no input, cannot be closed, the wait
/// cursor shows, and \p show is called with the figure at least every 100 ms and
/// once at the end (none when \p show is empty).
class BackgroundJob {
public:
    /// Runs \p work on a thread of its own and waits for it while the window
    /// keeps being painted and other windows keep working; an exception of
    /// \p work is thrown again here. std::nullopt only if the window was
    /// deleted meanwhile (then nothing of it may be touched).
    template <class Result>
    static std::optional<Result> run(QWidget* window, ShowProgress show, std::function<Result(JobProgress&)> work);

    /// Starts \p work on a thread of its own and returns at once; \p finished
    /// gets the result on the interface thread, unless the window is gone by then.
    template <class Result>
    static void start(QWidget* window, ShowProgress show, std::function<Result(JobProgress&)> work,
                      std::function<void(const Result&)> finished);

private:
    /// The untyped core: \p work runs off the interface thread; \p done runs
    /// on the interface thread afterwards (the window still there or not).
    static void launch(QWidget* window, ShowProgress show, std::function<void(JobProgress&)> work,
                       std::function<void(bool windowThere)> done, bool wait);
};

template <class Result>
std::optional<Result> BackgroundJob::run(QWidget* window, ShowProgress show, std::function<Result(JobProgress&)> work) {
    std::optional<Result> result;
    std::exception_ptr failure;
    bool there = false;
    launch(
        window, std::move(show),
        [&](JobProgress& progress) {
            try {
                result = work(progress);
            } catch (...) {
                failure = std::current_exception();
            }
        },
        [&](bool windowThere) { there = windowThere; }, true);
    if (!there) return std::nullopt;
    if (failure) std::rethrow_exception(failure);
    return result;
}

template <class Result>
void BackgroundJob::start(QWidget* window, ShowProgress show, std::function<Result(JobProgress&)> work,
                          std::function<void(const Result&)> finished) {
    auto result = std::make_shared<Result>();
    launch(
        window, std::move(show), [result, work = std::move(work)](JobProgress& progress) { *result = work(progress); },
        [result, finished = std::move(finished)](bool windowThere) {
            if (windowThere) finished(*result);
        },
        false);
}

}  // namespace waypost
