// What a blocking step on a worker thread hands back to the main thread: its
// value, or the exception it ended with, to be rethrown where it is handled.
#pragma once

#include "platform/task/CancellationError.h"

#include <exception>
#include <optional>
#include <utility>

namespace quorvane {

template <typename T>
class WorkResult {
public:
    template <typename Work>
    static WorkResult of(Work&& work) {
        try {
            return WorkResult(std::forward<Work>(work)());
        } catch (...) {
            return WorkResult(std::current_exception());
        }
    }

    explicit WorkResult(T value)
        : value_(std::move(value)) {}
    explicit WorkResult(std::exception_ptr error)
        : error_(std::move(error)) {}

    bool failed() const { return error_ != nullptr; }
    const std::exception_ptr& error() const { return error_; }

    // The value, or the failure rethrown.
    const T& value() const {
        if (error_) {
            std::rethrow_exception(error_);
        }
        return *value_;
    }

private:
    std::optional<T> value_;
    std::exception_ptr error_;
};

inline bool isCancellation(const std::exception_ptr& error) {
    if (!error) {
        return false;
    }
    try {
        std::rethrow_exception(error);
    } catch (const CancellationError&) {
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace quorvane
