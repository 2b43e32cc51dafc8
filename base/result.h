// SPDX-License-Identifier: GPL-3.0-or-later
// Result<T>: a value or an Error, for anything that can fail for reasons outside the program.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace base {

struct Error {
    std::string message;
};

template<typename T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(Error error)
        : m_state(std::move(error))
    {
    }

    bool has_value() const { return m_state.index() == 0; }
    explicit operator bool() const { return has_value(); }
    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Error> m_state;
};

// Result<void>: success, or an Error.
template<>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
        , m_failed(true)
    {
    }
    bool has_value() const { return !m_failed; }
    explicit operator bool() const { return !m_failed; }
    const Error& error() const { return m_error; }

private:
    Error m_error;
    bool m_failed = false;
};

}
