#pragma once

#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>

namespace skelvane::conversion {

/// What an engine function makes, or the error that kept it from making it: the one way the
/// engine's functions fail. A function that makes nothing returns its error alone (an empty
/// std::error_code when it succeeded); errors are std::error_code values, the system's or the
/// engine's own (FileError, RunError, MappingFault), and travel with the file they concern
/// where the caller cannot tell which (Failure, MappingError). Nothing is thrown.
template <typename T, typename E = std::error_code>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}
    /// An error given as one of the error enums (std::errc, FileError...).
    template <typename Enum>
    requires(std::is_same_v<E, std::error_code>&& std::is_error_code_enum_v<Enum>)
        Result(Enum error)
        : Result(E(make_error_code(error))) {}
    Result(std::errc error) requires std::is_same_v<E, std::error_code>
        : Result(E(std::make_error_code(error))) {}

    /// True when it holds the value.
    explicit operator bool() const { return state_.index() == 0; }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    /// The error; only when it holds no value.
    const E& error() const { return std::get<1>(state_); }
    E& error() { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

}  // namespace skelvane::conversion
