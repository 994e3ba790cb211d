#pragma once

// What the tests of named temporaries, portable and POSIX-only, share.

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "conversion/files/platform.h"
#include "conversion/run/run.h"
#include "support/test_file_system.h"
#include "support/test_files.h"

namespace skelvane::conversion {

class NamedTemporaryTest : public ::testing::Test {
protected:
    NamedTemporaryTest() { system_.namedTemporariesOnly = true; }

    // Converts `source` into `output` as the window's run does; returns the error, if any.
    std::error_code convert(const std::filesystem::path& source,
                            const std::filesystem::path& output) {
        Job job;
        job.source = source;
        job.output = output;
        JobObserver quiet;
        return runJobs({&job, 1}, {}, quiet, system_).front().failure.error;
    }

    const std::filesystem::path source_ = skelvane::testing::testdataDir() / "opencollar_kneel.bvh";
    skelvane::testing::TempFolder folder_;
    skelvane::testing::TestFileSystem system_;
};

}  // namespace skelvane::conversion
