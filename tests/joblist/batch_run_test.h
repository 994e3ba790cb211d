#pragma once

// What the tests of the window's run, portable and POSIX-only, share: a job list run in a fresh
// folder that is the current directory, with every progress call recorded.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "joblist/batch_run.h"
#include "conversion/mapping/mapping_catalog.h"
#include "joblist/job_list.h"
#include "support/test_files.h"

namespace skelvane::joblist {

struct RecordingObserver : RunObserver {
    std::vector<float> maximums;
    std::vector<float> values;
    std::vector<std::string> infos;
    void setProgressMaximum(float maximum) override { maximums.push_back(maximum); }
    void setProgressValue(float value) override { values.push_back(value); }
    void showInfo(std::string_view text) override { infos.emplace_back(text); }
};

// Every test works in a fresh folder that is also the current directory.
class ConvertAllTest : public ::testing::Test {
protected:
    std::filesystem::path fixture(std::string_view name) const {
        return skelvane::testing::testdataDir() / name;
    }

    // Adds a row the way the window does: title, title + "_max", " " and the full path.
    int addRow(const std::filesystem::path& source) {
        std::string title = source.filename().string();
        title.resize(title.size() - 4);
        return jobs_.appendRow(title, title + "_max", " ", source.string());
    }

    RunReport run() { return convertAll(jobs_, observer_); }

    skelvane::testing::TempFolder folder_;
    skelvane::testing::WorkingDirectory cwd_{folder_.path()};
    JobList jobs_;
    RecordingObserver observer_;
};

}  // namespace skelvane::joblist
