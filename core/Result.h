// How operations report failure: a Status, or a Result<T> that carries a
// value when the operation succeeded. Both are [[nodiscard]], so a caller
// that drops an outcome does not compile.
//
// A status code is 0 for success; negative codes are the protocol's and each
// subsystem's failure codes (listed beside each subsystem, named in
// messaging/ErrorNames.h); positive codes are an errno from the operating
// system, which storage passes on.
//
//     Result<long> found = db.countBlocksOfType(kPrefType);
//     if (!found.ok()) return found.status();
//     use(found.value());
//
// A function returns `Status(kErrorSomething)` to fail; a Result converts from
// that Status or from a value. Managers whose callers read getLastError()
// set it from the Status in one place (HasErrorReporting::remember).
#pragma once

#include <cassert>
#include <cstdint>
#include <optional>
#include <utility>

// The outcome of an operation: success, or the code of its failure.
class [[nodiscard]] Status {
  public:
    constexpr Status() = default;  // success
    constexpr explicit Status(int32_t code) : statusCode(code) {}

    constexpr bool ok() const { return statusCode == 0; }
    constexpr int32_t code() const { return statusCode; }

    friend constexpr bool operator==(Status, Status) = default;

  private:
    int32_t statusCode = 0;
};

inline constexpr Status kSuccess{};

// The outcome of an operation that gives a value: the value, or the
// Status of its failure.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : held(std::move(value)) {}
    // Only failures convert: a success carries a value.
    Result(Status failure) : outcome(failure) { assert(!failure.ok()); }

    bool ok() const { return outcome.ok(); }
    Status status() const { return outcome; }
    int32_t code() const { return outcome.code(); }

    // The value of a successful result; asking a failed one is a programming error.
    const T& value() const& {
        assert(ok());
        return *held;
    }
    T& value() & {
        assert(ok());
        return *held;
    }
    T&& value() && {
        assert(ok());
        return std::move(*held);
    }
    // The value, or `fallback` when the operation failed.
    T valueOr(T fallback) const { return ok() ? *held : std::move(fallback); }

  private:
    Status outcome;
    std::optional<T> held;
};
