#pragma once

#include <stdexcept>
#include <string>

namespace quillery {

// A failure of an extraction run. The message (UTF-8) is meant for the user:
// it says what failed and where (file and line, item, or path).
class RunError : public std::runtime_error {
public:
    explicit RunError(const std::string& message) : std::runtime_error(message) {}
};

// Thrown by a front end's Yield when the user has given up the run (for
// example by closing the window); the run stops without writing anything.
class RunAbandoned : public std::exception {
public:
    const char* what() const noexcept override { return "run abandoned"; }
};

} // namespace quillery
