#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "conversion/rename/joint_report.h"
#include "conversion/run/run.h"

namespace skelvane::cli {

/// One file of a planned run, as the dry run shows it.
struct DryRunFile {
    /// The source as named on the command line.
    std::string source;
    /// The path the run would write; empty when there is none to name.
    std::string output;
    /// Why the real run would not convert this file (for example "not a BVH file").
    std::optional<std::string> refusal;
    /// Whether the source starts like a BVH file; absent when unknown.
    std::optional<bool> bvh;
    /// What the source holds; null when it was not read to its end.
    const conversion::JointReport* report = nullptr;
    /// The mapping the file would be renamed with; null when the source was not read.
    const conversion::Mapping* mapping = nullptr;
    /// True when that mapping is the file's best fit, chosen by --map auto.
    bool bestFit = false;
    /// True when the output exists and would be replaced.
    bool replacesExisting = false;
    /// For a conversion through roles: what was found in the source; null otherwise.
    const conversion::RoleSummary* roles = nullptr;
};

/// The dry run for people, one file at a time: where it would go or why not, then its joint
/// table with untouched joints and partial-word hits marked "!"; through roles, with each
/// joint's role and how it was found, and joints that keep their names or are numbered marked.
/// Files after the first are set apart by an empty line (`first` tells which this is).
std::string dryRunText(const DryRunFile& file, bool first);

/// What a conversion through roles found in a source, in words for the line that tells it
/// ("rig: mixamo, 55 of 55 joints; 2 names kept").
std::string rolesNote(const conversion::RoleSummary& roles);

/// The dry run for scripts, one file at a time: an element of one JSON array, with the text
/// that opens the array before the first, separates elements or closes the array after the
/// last (dryRunJsonEnd). Bytes that are not UTF-8 in names and paths come out as U+FFFD.
std::string dryRunJson(const DryRunFile& file, bool first);

/// What closes the JSON array (`empty` when it has no element).
std::string dryRunJsonEnd(bool empty);

}  // namespace skelvane::cli
