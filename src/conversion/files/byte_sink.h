#pragma once

#include <string_view>
#include <system_error>

namespace skelvane::conversion {

/// Where converted bytes go.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    /// Takes the bytes; returns the system's error, or nothing.
    virtual std::error_code write(std::string_view bytes) = 0;
};

}  // namespace skelvane::conversion
