#pragma once
// The error a call ends with, for tests of failure paths.

#include <optional>

namespace waypost::test {

/// The \p Error that \p call throws; nothing when it returns. Other exceptions pass through.
template <class Error, class Call>
std::optional<Error> thrown(Call&& call) {
    try {
        call();
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

}  // namespace waypost::test
