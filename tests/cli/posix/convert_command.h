#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "support/test_files.h"

namespace skelvane::cli {

/// How a run of the program ended and what it printed.
struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

/// A path as one shell word.
std::string shellWord(const std::filesystem::path& path);

/// Tests that run skelvane-convert as a user would, from bash, in a fresh folder.
class ConvertCommandTest : public ::testing::Test {
protected:
    /// Runs the tool in the test's folder; `arguments` and `redirections` are shell text.
    Outcome run(const std::string& arguments, const std::string& redirections = "") {
        return runAfter("", arguments, redirections);
    }

    /// The same, with shell commands (`prelude`) run first in the same shell.
    Outcome runAfter(const std::string& prelude, const std::string& arguments,
                     const std::string& redirections = "");

    static std::string fixture(std::string_view name);

    skelvane::testing::TempFolder folder_;
    /// The program run: the build's, or a copy of it.
    std::filesystem::path program_ = SKELVANE_CONVERT;
};

}  // namespace skelvane::cli
