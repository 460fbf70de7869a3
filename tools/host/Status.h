#pragma once

#include <optional>
#include <string>
#include <utility>

namespace ksphost {

// Success, or one line for the user saying what went wrong.
class Status {
public:
    Status() = default;
    static Status Error(std::string message) {
        Status status;
        status.failed = true;
        status.message = std::move(message);
        return status;
    }
    bool Ok() const { return !failed; }
    const std::string& Message() const { return message; }

private:
    bool failed = false;
    std::string message;
};

// A value, or the reason why there is none.
template <typename T>
class Result {
public:
    // Implicit on purpose: functions return either a value or a failed Status.
    // cppcheck-suppress noExplicitConstructor
    Result(T v) : value(std::move(v)) {}
    // cppcheck-suppress noExplicitConstructor
    Result(Status error) : status(std::move(error)) {}
    bool Ok() const { return value.has_value(); }
    T& Value() { return *value; }
    const T& Value() const { return *value; }
    const Status& Error() const { return status; }

private:
    std::optional<T> value;
    Status status;
};

} // namespace ksphost
