#pragma once
// Work that may take a while runs off the interface thread; the window stays
// painted (and does not take input) until it is done.

#include <QPointer>
#include <QWidget>

#include <exception>
#include <functional>
#include <optional>

namespace waypost {

/// Runs \p work on a thread of its own while \p window, disabled, keeps being
/// painted, and hands back its result; an exception of \p work is thrown
/// again here. std::nullopt when the window was closed and deleted meanwhile
/// (then nothing of it may be touched).
template <class Result>
std::optional<Result> runOffInterface(QWidget* window, std::function<Result()> work);

namespace detail {
/// Runs \p work on its own thread, \p window disabled, until it ends; false
/// when the window went away meanwhile.
bool runWhilePainting(QWidget* window, const std::function<void()>& work);
}  // namespace detail

template <class Result>
std::optional<Result> runOffInterface(QWidget* window, std::function<Result()> work) {
    std::optional<Result> result;
    std::exception_ptr failure;
    const bool stayed = detail::runWhilePainting(window, [&] {
        try {
            result = work();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (!stayed) return std::nullopt;
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace waypost
