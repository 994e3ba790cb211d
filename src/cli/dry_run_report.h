#pragma once

#include <optional>
#include <string>
#include <vector>

#include "conversion/joint_report.h"

namespace skelvane::cli {

/// One file of a planned run, as the dry run shows it.
struct DryRunFile {
    /// The source as named on the command line.
    std::string source;
    /// The path the run would write; empty when there is none to name.
    std::string output;
    /// Why the real run would not convert this file (for example "not a BVH file").
    std::optional<std::string> refusal;
    /// What the source holds; absent when it could not be read.
    std::optional<conversion::JointReport> report;
};

/// The dry run for people: per file, where it would go or why not, then its joint table with
/// untouched joints and partial-word hits marked "!".
std::string dryRunText(const std::vector<DryRunFile>& files);

/// The dry run for scripts: one JSON array with an object per file; bytes that are not UTF-8
/// in names and paths come out as U+FFFD.
std::string dryRunJson(const std::vector<DryRunFile>& files);

}  // namespace skelvane::cli
