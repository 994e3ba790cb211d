#include "cli/dry_run_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace skelvane::cli {

namespace {

using conversion::JointEntry;
using conversion::JointOutcome;
using conversion::JointReport;
using conversion::LineEnds;
// Keys come out in the order they are set, the order the fields are documented in.
using Json = nlohmann::ordered_json;

template <class T>
Json orNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json();
}

// Names wider than this do not widen their column: one absurd name would push every other
// row off the screen.
constexpr std::size_t kMaxColumnWidth = 32;

std::string_view outcomeWord(JointOutcome outcome) {
    switch (outcome) {
        case JointOutcome::Renamed:
            return "renamed";
        case JointOutcome::Dropped:
            return "dropped";
        case JointOutcome::Untouched:
            return "untouched";
    }
    return "";
}

std::string_view lineEndsWords(LineEnds ends) {
    switch (ends) {
        case LineEnds::None:
            return "no line ends";
        case LineEnds::CrLf:
            return "CR LF line ends";
        case LineEnds::Lf:
            return "LF line ends";
        case LineEnds::Cr:
            return "CR line ends";
        case LineEnds::Mixed:
            return "mixed line ends";
    }
    return "";
}

std::string_view lineEndsKey(LineEnds ends) {
    switch (ends) {
        case LineEnds::None:
            return "none";
        case LineEnds::CrLf:
            return "CRLF";
        case LineEnds::Lf:
            return "LF";
        case LineEnds::Cr:
            return "CR";
        case LineEnds::Mixed:
            return "mixed";
    }
    return "";
}

// Names and paths come from files and arguments: control bytes in them must not reach the
// terminal as escape sequences.
std::string printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            shown.append("\\x").push_back(kHex[byte >> 4]);
            shown.push_back(kHex[byte & 0xF]);
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

// Columns on a terminal, taking each UTF-8 sequence as one.
std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void appendPadded(std::string& out, std::string_view text, std::size_t width) {
    out.append(text);
    out.append(std::max<std::size_t>(width, displayWidth(text)) - displayWidth(text) + 2, ' ');
}

std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

void appendSummary(std::string& out, const JointReport& report) {
    const auto& joints = report.joints;
    const auto untouched = static_cast<std::size_t>(std::count_if(
        joints.begin(), joints.end(),
        [](const JointEntry& joint) { return joint.outcome == JointOutcome::Untouched; }));
    const auto partial = static_cast<std::size_t>(std::count_if(
        joints.begin(), joints.end(), [](const JointEntry& joint) { return joint.partialWord; }));

    out.append("  ");
    out.append(report.frames ? counted(static_cast<std::size_t>(*report.frames), "frame", "frames")
                             : std::string("frames unknown"));
    out.append(", ").append(lineEndsWords(report.lineEnds));
    out.append(", ").append(counted(joints.size(), "joint", "joints"));
    if (partial > 0)
        out.append(", ").append(counted(partial, "partial-word hit", "partial-word hits"));
    if (untouched > 0) out.append(", ").append(std::to_string(untouched)).append(" untouched");
    out.append("\n");
}

void appendJointTable(std::string& out, const std::vector<JointEntry>& joints) {
    if (joints.empty()) return;
    std::vector<std::pair<std::string, std::string>> names;
    names.reserve(joints.size());
    std::size_t oldWidth = displayWidth("old name");
    std::size_t newWidth = displayWidth("new name");
    for (const JointEntry& joint : joints) {
        names.emplace_back(printable(joint.oldName), printable(joint.newName));
        oldWidth = std::max(oldWidth, std::min(displayWidth(names.back().first), kMaxColumnWidth));
        newWidth = std::max(newWidth, std::min(displayWidth(names.back().second), kMaxColumnWidth));
    }

    out.append("    ");
    appendPadded(out, "old name", oldWidth);
    appendPadded(out, "new name", newWidth);
    out.append("what happened\n");
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const JointEntry& joint = joints[i];
        const bool flagged = joint.partialWord || joint.outcome == JointOutcome::Untouched;
        out.append(flagged ? "  ! " : "    ");
        appendPadded(out, names[i].first, oldWidth);
        appendPadded(out, names[i].second, newWidth);
        out.append(outcomeWord(joint.outcome));
        if (joint.partialWord) out.append(", partial word");
        out.append("\n");
    }
}

Json jointsJson(const std::vector<JointEntry>& joints) {
    Json list = Json::array();
    for (const JointEntry& joint : joints) {
        list.push_back({{"old", joint.oldName},
                        {"new", joint.newName},
                        {"outcome", outcomeWord(joint.outcome)},
                        {"partial_word", joint.partialWord}});
    }
    return list;
}

}  // namespace

std::string dryRunText(const std::vector<DryRunFile>& files) {
    std::string out;
    std::size_t converting = 0;
    for (const DryRunFile& file : files) {
        if (!out.empty()) out.append("\n");
        out.append(printable(file.source));
        if (file.refusal) {
            out.append(": would not convert");
            if (!file.output.empty()) out.append(" to ").append(printable(file.output));
            out.append(": ").append(printable(*file.refusal)).append("\n");
        } else {
            ++converting;
            out.append(" -> ").append(printable(file.output));
            // Converted all the same (forced), so say what it is.
            if (file.report && !file.report->bvh) out.append("  (not a BVH file)");
            out.append("\n");
        }
        if (file.report) {
            appendSummary(out, *file.report);
            appendJointTable(out, file.report->joints);
        }
    }
    if (!out.empty()) out.append("\n");
    out.append(std::to_string(converting))
        .append(" of ")
        .append(counted(files.size(), "file", "files"))
        .append(" would be converted; nothing was written.\n");
    return out;
}

std::string dryRunJson(const std::vector<DryRunFile>& files) {
    Json list = Json::array();
    for (const DryRunFile& file : files) {
        Json entry;
        entry["source"] = file.source;
        entry["output"] = file.output.empty() ? Json() : Json(file.output);
        entry["converts"] = !file.refusal.has_value();
        entry["refusal"] = orNull(file.refusal);
        // An unreadable source: what it is stays unknown, which null says and false would not.
        const JointReport* report = file.report ? &*file.report : nullptr;
        entry["bvh"] = report ? Json(report->bvh) : Json();
        entry["frames"] = report ? orNull(report->frames) : Json();
        entry["line_ends"] = report ? Json(lineEndsKey(report->lineEnds)) : Json();
        entry["joints"] = report ? jointsJson(report->joints) : Json::array();
        list.push_back(std::move(entry));
    }
    return list.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace skelvane::cli
