#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/base/fatal.h"

namespace foundation {

// The error domains this layer reports.
inline constexpr std::string_view kPOSIXErrorDomain = "POSIX";            // code is an errno value
inline constexpr std::string_view kFoundationErrorDomain = "Foundation";  // code is a FoundationErrorCode

enum FoundationErrorCode : int {
    kErrorNoContainer = 1,      // no container installed (Container::setCurrent)
    kErrorInvalidArgument = 2,  // malformed input (URL, UUID, bookmark, JSON, PNG ...)
    kErrorFileExists = 3,       // a destination exists and is never overwritten
    kErrorFileNotFound = 4,     // the item is missing
    kErrorCorruptData = 5,      // stored data could not be decoded
    kErrorWriteFailed = 6,      // writing failed (see description)
    kErrorUnsupported = 7,      // the operation does not apply (e.g. a non-file URL)
};

// An error that crosses an API: where it comes from, its code in that domain, and a text for logs.
struct Error {
    std::string domain;
    int code = 0;
    std::string description;

    bool operator==(const Error&) const = default;

    // A POSIX error from errno, e.g. posix(ENOENT, "open /a/b").
    static Error posix(int errnum, std::string_view context);
    static Error foundation(FoundationErrorCode code, std::string_view description);

    bool isPOSIX(int errnum) const { return domain == kPOSIXErrorDomain && code == errnum; }
};

// A value or an Error, in place of exceptions across the API (std::expected is C++23).
// Reading the value of a failed result (or the error of a successful one) is a programming error.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_storage(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit by design
    Result(Error error) : m_storage(std::in_place_index<1>, std::move(error)) {}  // NOLINT

    bool ok() const { return m_storage.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        check();
        return std::get<0>(m_storage);
    }
    const T& value() const& {
        check();
        return std::get<0>(m_storage);
    }
    T&& value() && {
        check();
        return std::get<0>(std::move(m_storage));
    }
    T valueOr(T fallback) const& { return ok() ? std::get<0>(m_storage) : std::move(fallback); }
    T valueOr(T fallback) && { return ok() ? std::get<0>(std::move(m_storage)) : std::move(fallback); }
    std::optional<T> optional() const& { return ok() ? std::optional<T>(std::get<0>(m_storage)) : std::nullopt; }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const {
        if (ok()) base::fatal("error() of a successful Result");
        return std::get<1>(m_storage);
    }

private:
    void check() const {
        if (!ok()) base::fatal("value() of a failed Result: " + std::get<1>(m_storage).description);
    }

    std::variant<T, Error> m_storage;
};

// Success without a value, or an Error.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)) {}  // NOLINT: implicit by design

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }

    const Error& error() const {
        if (ok()) base::fatal("error() of a successful Result");
        return *m_error;
    }

private:
    std::optional<Error> m_error;
};

using Status = Result<void>;

}  // namespace foundation
