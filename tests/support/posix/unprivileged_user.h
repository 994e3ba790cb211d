#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace skelvane::testing {

/// Runs `work` in a forked child that, when the tests run as root, first becomes the unprivileged
/// user "nobody", so that permission checks bite as they do for users; returns what `work`
/// returned, or why the child gave no answer.
std::string asUnprivilegedUser(const std::function<std::string()>& work);

/// Why the user that asUnprivilegedUser becomes cannot reach `path` (a folder on the way that
/// only its owner may enter, such as a private temporary folder), in one line; nothing when it
/// can. A test that needs the path skips with this reason.
std::optional<std::string> unreachableForUnprivilegedUser(const std::filesystem::path& path);

}  // namespace skelvane::testing
