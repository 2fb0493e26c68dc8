#pragma once

#include <exception>

namespace velloran {

// An operation ended as if cancelled: there is nothing to report to the user.
class OperationCancelled : public std::exception {
public:
    const char *what() const noexcept override { return "The operation was cancelled."; }
};

} // namespace velloran
