#pragma once

#include "Text.h"

#include <optional>
#include <utility>

namespace qel {

// Error numbers the program reports; 6 selects the "Overflow" report wherever it surfaces.
enum class ErrorNumber : int {
    InvalidArgument = 5,
    Overflow = 6,
    OutOfMemory = 7,
    FileNotFound = 53,
    DeviceIoError = 57,
    DiskFull = 61,
    InputPastEnd = 62,
    PermissionDenied = 70,
    DiskNotReady = 71,
    PathFileAccess = 75,
};

// Which operation failed decides the wording of the box the user sees.
enum class FailureSource {
    Transform,   // ReverseText, RoverTransform
    StripHeader, // StripHeader
    Number,      // reading a number from a text
    File,        // the key-disk drive and the key file on it
};

struct Failure {
    ErrorNumber number;
    Text description;
    FailureSource source;

    bool isOverflow() const { return number == ErrorNumber::Overflow; }
};

// A value, or what went wrong while making it. The engine never shows anything itself; the caller
// decides how a failure reaches the user.
template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure.has_value(); }
    const T& value() const& { return m_value; }
    T&& value() && { return std::move(m_value); }
    const Failure& failure() const { return *m_failure; }

private:
    T m_value{};
    std::optional<Failure> m_failure;
};

} // namespace qel
