#include "cli/dry_run_report.h"

#include <algorithm>
#include <vector>

#include "cli/check_report.h"
#include "cli/json_report.h"
#include "cli/terminal_text.h"
#include "common/body_parts.h"

namespace skelvane::cli {

namespace {

using conversion::JointEntry;
using conversion::JointOutcome;
using conversion::JointReport;
using conversion::LineEnds;

template <class T>
Json orNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json();
}

// Names wider than this do not widen their column: one absurd name would push every other
// row off the screen.
constexpr std::size_t kMaxColumnWidth = 32;

void appendPadded(std::string& out, std::string_view text, std::size_t width) {
    out.append(text);
    out.append(std::max<std::size_t>(width, displayWidth(text)) - displayWidth(text) + 2, ' ');
}

// A name for the table; one cut for display says so.
std::string shownName(std::string_view name, bool cut) {
    return printable(name) + (cut ? "..." : "");
}

void appendSummary(std::string& out, const JointReport& report) {
    out.append("  ");
    out.append(report.frames ? counted(*report.frames, "frame", "frames")
                             : std::string("frames unknown"));
    out.append(", ").append(conversion::lineEndsWords(report.lineEnds));
    out.append(", ").append(counted(report.jointCount, "joint", "joints"));
    if (report.partialWords > 0) {
        out.append(", ").append(
            counted(report.partialWords, "partial-word hit", "partial-word hits"));
    }
    if (report.untouched > 0)
        out.append(", ").append(std::to_string(report.untouched) + " untouched");
    out.append("\n");
}

std::optional<std::string> nothingReason(const JointEntry& joint) {
    const std::string_view reason = conversion::nothingReasonKey(joint);
    return reason.empty() ? std::nullopt : std::optional<std::string>(reason);
}

// A part as --drop names it: the joint it governs, or for the parts without one their name.
std::optional<std::string> partName(int part) {
    if (part < 1 || part > common::kPartCount) return std::nullopt;
    const common::BodyPart& body = common::bodyPart(part);
    return std::string(body.poserJoint.empty() ? body.imageName : body.poserJoint);
}

// What a user should know before converting the file: new names shared by several joints, an
// output that exists, line ends that change.
void appendNotes(std::string& out, const DryRunFile& file) {
    const JointReport& report = *file.report;
    if (!report.sharedNames.empty()) {
        out.append("  warning: several joints get one name (");
        for (std::size_t i = 0; i < report.sharedNames.size(); ++i) {
            const auto& [name, count] = report.sharedNames[i];
            out.append(i == 0 ? "" : ", ").append(std::to_string(count) + " " + printable(name));
        }
        out.append("); many importers cannot tell them apart\n");
    }
    if (file.replacesExisting && !file.refusal)
        out.append("  note: the output exists and is replaced\n");
    const LineEnds ends = report.lineEnds;
    if (ends == LineEnds::Lf || ends == LineEnds::Cr || ends == LineEnds::Mixed) {
        out.append("  note: ").append(conversion::lineEndsWords(ends)).append(" become CR LF\n");
    }
}

// The mapping the file goes through, and which preset fits it best; through roles, the target
// and the rig found.
void appendMapping(std::string& out, const DryRunFile& file) {
    if (file.roles != nullptr) {
        out.append("  target: ").append(printable(file.roles->target->name));
        out.append("; ").append(rolesNote(*file.roles)).append("\n");
        return;
    }
    out.append("  mapping: ");
    out.append(file.mapping != nullptr ? printable(file.mapping->name) : std::string("none"));
    if (file.bestFit) out.append(" (--map auto)");
    out.append("; ").append(file.report->fit.summary()).append("\n");
}

std::string_view verdictKey(conversion::FitVerdict verdict) {
    switch (verdict) {
        case conversion::FitVerdict::Fits:
            return "fits";
        case conversion::FitVerdict::TargetNames:
            return "target names";
        case conversion::FitVerdict::NothingFits:
            return "nothing fits";
    }
    return "";
}

Json fitJson(const conversion::FitResult& fit) {
    return {{"best", fit.best != nullptr ? Json(fit.best->name) : Json()},
            {"verdict", verdictKey(fit.verdict)},
            {"renamed", fit.renamed},
            {"joints", fit.joints},
            {"summary", fit.summary()}};
}

// How a role was found, in the table's words (see foundWords) and as a value for scripts.
constexpr std::size_t kFoundWidth = 11;
using conversion::foundWords;

std::string_view foundKey(conversion::RoleStatus status) {
    switch (status) {
        case conversion::RoleStatus::Synonym:
            return "common_word";
        case conversion::RoleStatus::NameTooLong:
            return "name_too_long";
        default:
            return foundWords(status);
    }
}

std::string_view skeletonKey(conversion::SkeletonSays says) {
    switch (says) {
        case conversion::SkeletonSays::NotRead:
            return "not_read";
        case conversion::SkeletonSays::Agrees:
            return "agrees";
        case conversion::SkeletonSays::Decides:
            return "decides";
        case conversion::SkeletonSays::Contradicts:
            return "contradicts";
        case conversion::SkeletonSays::CannotTell:
            return "cannot_tell";
    }
    return "";
}

std::string_view choiceKey(conversion::NameChoice choice) {
    switch (choice) {
        case conversion::NameChoice::Target:
            return "target";
        case conversion::NameChoice::Nothing:
            return "nothing";
        case conversion::NameChoice::Kept:
            return "kept";
        case conversion::NameChoice::NotInTarget:
            return "not_in_target";
    }
    return "";
}

std::string roleText(const JointEntry& joint) {
    if (!joint.role || !joint.role->role) return "-";
    return std::string(common::roleName(*joint.role->role));
}

// A name numbered to stay unique, other than "nothing", whose numbers go without saying.
bool isNumberedName(const JointEntry& joint) {
    return joint.numbered && joint.outcome != JointOutcome::Dropped;
}

bool isContradicted(const JointEntry& joint) {
    return joint.role && joint.role->skeleton == conversion::SkeletonSays::Contradicts;
}

// Joints a user should look at: untouched ones and partial-word hits; where names are planned,
// those that keep their names or carry a number instead, or whose names the skeleton
// contradicts.
bool isFlagged(const JointEntry& joint, const conversion::RoleSummary* roles) {
    if (joint.nameFrom && roles != nullptr) {
        return conversion::keepsItsName(joint) || isNumberedName(joint) || isContradicted(joint);
    }
    return isNumberedName(joint) || joint.partialWord || joint.outcome == JointOutcome::Untouched;
}

// What happens to a joint, in the words of whatHappens, or through roles, of the plan.
std::string whatHappensTo(const JointEntry& joint, const conversion::RoleSummary* roles) {
    const std::string numbered = isNumberedName(joint) ? ", numbered to stay unique" : "";
    if (roles == nullptr) {
        return conversion::whatHappens(joint, conversion::Audience::CommandLine) + numbered;
    }
    return conversion::whatHappensThroughRoles(joint, printable(roles->target->name),
                                               conversion::Audience::CommandLine) +
           numbered;
}

void appendJointTable(std::string& out, const JointReport& report,
                      const conversion::RoleSummary* roles) {
    const std::vector<JointEntry>& joints = report.joints;
    if (joints.empty()) return;
    std::vector<std::pair<std::string, std::string>> names;
    names.reserve(joints.size());
    std::size_t oldWidth = displayWidth("old name");
    std::size_t newWidth = displayWidth("new name");
    std::size_t roleWidth = displayWidth("role");
    for (const JointEntry& joint : joints) {
        names.emplace_back(shownName(joint.oldName, joint.oldLength > joint.oldName.size()),
                           shownName(joint.newName, joint.newLength > joint.newName.size()));
        oldWidth = std::max(oldWidth, std::min(displayWidth(names.back().first), kMaxColumnWidth));
        newWidth = std::max(newWidth, std::min(displayWidth(names.back().second), kMaxColumnWidth));
        roleWidth = std::max(roleWidth, roleText(joint).size());
    }

    out.append("    ");
    appendPadded(out, "old name", oldWidth);
    appendPadded(out, "new name", newWidth);
    if (roles != nullptr) {
        appendPadded(out, "role", roleWidth);
        appendPadded(out, "found", kFoundWidth);
    }
    out.append("what happened\n");
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const JointEntry& joint = joints[i];
        out.append(isFlagged(joint, roles) ? "  ! " : "    ");
        appendPadded(out, names[i].first, oldWidth);
        appendPadded(out, names[i].second, newWidth);
        if (roles != nullptr) {
            appendPadded(out, roleText(joint), roleWidth);
            appendPadded(out, joint.role ? foundWords(joint.role->status) : "", kFoundWidth);
        }
        out.append(whatHappensTo(joint, roles));
        if (joint.cut()) out.append(", name of " + counted(joint.oldLength, "byte", "bytes"));
        out.append("\n");
    }
    if (report.unlisted() > 0) {
        out.append("    ... and " + counted(report.unlisted(), "more joint", "more joints") +
                   ", counted above\n");
    }
}

Json jointsJson(const std::vector<JointEntry>& joints, const conversion::RoleSummary* roles) {
    Json list = Json::array();
    for (const JointEntry& joint : joints) {
        Json entry = {{"old", joint.oldName},
                      {"new", joint.newName},
                      {"outcome", conversion::outcomeKey(joint.outcome)},
                      {"reason", orNull(nothingReason(joint))},
                      {"part", orNull(partName(joint.part))},
                      {"partial_word", joint.partialWord},
                      {"cut", joint.cut()},
                      {"old_length", joint.oldLength},
                      {"new_length", joint.newLength}};
        // Where names were planned, how each was chosen; through roles, the role too, and what
        // the skeleton said where it was read.
        if (joint.nameFrom) {
            if (roles != nullptr && joint.role) {
                const conversion::JointRole& found = *joint.role;
                const std::string_view targetName =
                    found.role ? roles->target->nameOf(*found.role) : std::string_view();
                entry["role"] = found.role ? Json(common::roleName(*found.role)) : Json();
                entry["found"] = foundKey(found.status);
                entry["target"] = targetName.empty() ? Json() : Json(targetName);
                if (roles->skeleton) {
                    entry["skeleton"] = skeletonKey(found.skeleton);
                    entry["name_role"] =
                        found.named ? Json(common::roleName(*found.named)) : Json();
                }
            }
            entry["name_from"] = choiceKey(*joint.nameFrom);
            entry["numbered"] = joint.numbered;
        }
        list.push_back(std::move(entry));
    }
    return list;
}

Json rolesJson(const conversion::RoleSummary& roles) {
    return {{"target", roles.target->name},
            {"source", roles.source != nullptr ? Json(roles.source->name) : Json()},
            {"source_given", roles.sourceGiven},
            {"source_joints", roles.sourceJoints},
            {"considered", roles.considered},
            {"with_role", roles.withRole},
            {"kept", roles.kept},
            {"numbered", roles.numbered},
            {"skeleton", roles.skeleton ? Json({{"humanoid", roles.skeleton->humanoid},
                                                {"decided", roles.skeleton->decided},
                                                {"contradicted", roles.skeleton->contradicted}})
                                        : Json()},
            {"summary", rolesNote(roles)}};
}

}  // namespace

std::string dryRunText(const DryRunFile& file, bool first) {
    std::string out = first ? "" : "\n";
    out.append(printable(file.source));
    if (file.refusal) {
        out.append(": would not convert");
        if (!file.output.empty()) out.append(" to ").append(printable(file.output));
        out.append(": ").append(printable(*file.refusal)).append("\n");
    } else {
        out.append(" -> ").append(printable(file.output));
        // Converted all the same (forced, or the window's way), so say what it is.
        if (file.bvh == false) out.append("  (not a BVH file)");
        out.append("\n");
    }
    if (file.report != nullptr) {
        appendSummary(out, *file.report);
        appendMapping(out, file);
        appendNotes(out, file);
        if (file.report->findings)
            out.append(findingsText(file.source, *file.report->findings, "  "));
        appendJointTable(out, *file.report, file.roles);
    }
    return out;
}

std::string dryRunJson(const DryRunFile& file, bool first) {
    Json entry;
    entry["source"] = file.source;
    entry["output"] = file.output.empty() ? Json() : Json(file.output);
    entry["converts"] = !file.refusal.has_value();
    entry["refusal"] = orNull(file.refusal);
    // What an unread source is stays unknown, which null says and false would not.
    const JointReport* report = file.report;
    entry["bvh"] = orNull(file.bvh);
    entry["frames"] = report ? orNull(report->frames) : Json();
    entry["line_ends"] = report ? Json(conversion::lineEndsKey(report->lineEnds)) : Json();
    entry["joints"] = report ? jointsJson(report->joints, file.roles) : Json::array();
    entry["joint_count"] = report ? Json(report->jointCount) : Json();
    entry["map"] = file.mapping != nullptr ? Json(file.mapping->name) : Json();
    entry["map_is_best_fit"] = file.bestFit;
    entry["best_fit"] = report ? fitJson(report->fit) : Json();
    if (file.roles != nullptr) entry["roles"] = rolesJson(*file.roles);
    Json shared = Json::array();
    for (const auto& [name, count] :
         report ? report->sharedNames : decltype(report->sharedNames){}) {
        shared.push_back({{"name", name}, {"joints", count}});
    }
    entry["shared_names"] = std::move(shared);
    entry["replaces_existing"] = file.replacesExisting;
    entry["line_ends_change"] =
        report ? Json(report->lineEnds == LineEnds::Lf || report->lineEnds == LineEnds::Cr ||
                      report->lineEnds == LineEnds::Mixed)
               : Json();
    entry["check"] = report && report->findings ? findingsJson(*report->findings) : Json();
    return arrayElement(entry, first);
}

std::string rolesNote(const conversion::RoleSummary& roles) {
    std::string note;
    const std::optional<conversion::SkeletonSummary>& skeleton = roles.skeleton;
    if (roles.evidence == conversion::RoleEvidence::Skeleton) {
        note = skeleton && skeleton->humanoid
                   ? "skeleton: a humanoid, " + std::to_string(roles.withRole) + " of " +
                         counted(roles.joints, "joint", "joints")
                   : "skeleton: no humanoid's, " + counted(roles.joints, "joint", "joints");
    } else if (roles.source == nullptr) {
        note = "rig: none found among " + counted(roles.joints, "joint", "joints");
    } else {
        note = std::string(roles.sourceGiven ? "from " : "rig: ") + printable(roles.source->name) +
               ", " + std::to_string(roles.sourceJoints) + " of " +
               counted(roles.joints, "joint", "joints");
    }
    std::vector<std::string> more;
    if (roles.kept > 0) more.push_back(counted(roles.kept, "name", "names") + " kept");
    if (roles.numbered > 0) more.push_back(std::to_string(roles.numbered) + " numbered");
    if (skeleton && roles.evidence != conversion::RoleEvidence::Skeleton) {
        if (!skeleton->humanoid) more.push_back("skeleton no humanoid's");
        if (skeleton->decided > 0) {
            more.push_back(std::to_string(skeleton->decided) + " found by the skeleton");
        }
        if (skeleton->contradicted > 0) {
            more.push_back(counted(skeleton->contradicted, "name", "names") +
                           " contradicted by the skeleton");
        }
    }
    for (std::size_t i = 0; i < more.size(); ++i) note += (i == 0 ? "; " : ", ") + more[i];
    return note;
}

std::string dryRunJsonEnd(bool empty) {
    return empty ? "[]\n" : "\n]\n";
}

}  // namespace skelvane::cli
