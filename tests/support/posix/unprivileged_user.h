#pragma once

#include <functional>
#include <string>

namespace skelvane::testing {

/// Runs `work` in a forked child that, when the tests run as root, first becomes the unprivileged
/// user "nobody", so that permission checks bite as they do for users; returns what `work`
/// returned, or why the child gave no answer.
std::string asUnprivilegedUser(const std::function<std::string()>& work);

}  // namespace skelvane::testing
