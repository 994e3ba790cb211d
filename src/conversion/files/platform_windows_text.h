#pragma once

// Windows' text and errors as the rest of the program takes them: names in WTF-8 bytes, errors
// as the portable conditions where there is one.

#include <string>
#include <string_view>
#include <system_error>

namespace skelvane::conversion::platform::windows {

/// UTF-16 as WTF-8: UTF-8 that also carries unpaired surrogates, which Windows allows in names.
std::string wtf8Of(std::wstring_view wide);
/// WTF-8 back to UTF-16; a byte that starts no valid sequence becomes U+FFFD.
std::wstring wideOf(std::string_view bytes);

/// A Windows error code: the portable condition for the common ones (so that messages read as
/// on Linux), Windows' own words for the rest.
std::error_code errorOf(unsigned long code);
/// The calling thread's last error, as errorOf gives it.
std::error_code lastError();

}  // namespace skelvane::conversion::platform::windows
