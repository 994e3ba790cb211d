#pragma once

#include <string>

namespace skelvane::bench {

/// Runs two shell commands alternately (A, B, A, B...) `pairs` times and prints each one's
/// median time and the median of the pairwise ratios time(A) / time(B), which is how many
/// times faster B is than A. `setup`, when not empty, runs untimed before every command.
/// Returns that median ratio.
double race(int pairs, const std::string& nameA, const std::string& commandA,
            const std::string& nameB, const std::string& commandB, const std::string& setup);

}  // namespace skelvane::bench
