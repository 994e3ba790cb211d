#include "conversion/rename/joint_report.h"

namespace skelvane::conversion {

void JointReport::add(JointEntry entry) {
    ++jointCount;
    renamed += entry.outcome == JointOutcome::Renamed;
    dropped += entry.outcome == JointOutcome::Dropped;
    untouched += entry.outcome == JointOutcome::Untouched;
    partialWords += entry.partialWord;
    if (joints.size() < kListedJoints) joints.push_back(std::move(entry));
}

std::string_view outcomeKey(JointOutcome outcome) {
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

namespace {

// A joint renamed to "nothing" whatever the diagram says: a row without a part, or one of the
// four parts that are never converted.
bool alwaysNothing(const JointEntry& joint) {
    return joint.part == 0 || common::isFixedPart(joint.part);
}

}  // namespace

std::string_view nothingReasonKey(const JointEntry& joint) {
    if (joint.outcome != JointOutcome::Dropped) return "";
    return alwaysNothing(joint) ? "always" : "part not converted";
}

std::string whatHappens(const JointEntry& joint, Audience audience) {
    std::string words;
    switch (joint.outcome) {
        case JointOutcome::Renamed:
            words = "renamed";
            break;
        case JointOutcome::Untouched:
            words = "untouched: no row matches";
            break;
        case JointOutcome::Dropped: {
            words = "renamed to nothing, ";
            if (alwaysNothing(joint)) {
                words += "always";
                break;
            }
            const common::BodyPart& part = common::bodyPart(joint.part);
            words += audience == Audience::CommandLine
                         ? "--drop " + std::string(part.poserJoint)
                         : std::string(part.toolTip) + " switched off";
            break;
        }
    }
    if (joint.partialWord) words += ", partial word";
    return words;
}

std::string_view foundWords(RoleStatus status) {
    switch (status) {
        case RoleStatus::Exact:
            return "exact";
        case RoleStatus::Normalised:
            return "normalised";
        case RoleStatus::Synonym:
            return "common word";
        case RoleStatus::Unknown:
            return "unknown";
        case RoleStatus::Ambiguous:
            return "ambiguous";
        case RoleStatus::Conflict:
            return "conflict";
        case RoleStatus::NameTooLong:
            return "too long";
        case RoleStatus::Skeleton:
            return "skeleton";
    }
    return "";
}

std::string skeletonObjection(const JointRole& role) {
    if (role.skeleton != SkeletonSays::Contradicts || !role.named) return {};
    return "the skeleton contradicts its name (" + std::string(common::roleName(*role.named)) + ")";
}

namespace {

// Why a joint keeps its name through roles.
std::string keptBecause(const JointEntry& joint, std::string_view target) {
    const JointRole found = joint.role.value_or(JointRole{});
    if (joint.nameFrom == NameChoice::NotInTarget && found.role) {
        return "kept: " + std::string(target) + " has no joint for " +
               std::string(common::roleName(*found.role));
    }
    if (found.skeleton == SkeletonSays::Contradicts) return "kept: " + skeletonObjection(found);
    switch (found.status) {
        case RoleStatus::Ambiguous:
            return "kept: its role is ambiguous";
        case RoleStatus::Conflict:
            return "kept: another joint was found for its role";
        case RoleStatus::NameTooLong:
            return "kept: too long to compare";
        default:
            return found.skeleton == SkeletonSays::CannotTell
                       ? "kept: no role found by name or skeleton"
                       : "kept: no role found";
    }
}

}  // namespace

std::string whatHappensThroughRoles(const JointEntry& joint, std::string_view target,
                                    Audience audience) {
    std::string words = whatHappens(joint, audience);
    if (!joint.nameFrom) return words;
    switch (*joint.nameFrom) {
        case NameChoice::Target:
            if (joint.outcome == JointOutcome::Untouched) words = "already so named";
            break;
        case NameChoice::Nothing:
            break;
        case NameChoice::Kept:
        case NameChoice::NotInTarget:
            return keptBecause(joint, target);
    }
    if (joint.role) {
        const std::string objection = skeletonObjection(*joint.role);
        if (!objection.empty()) words += ", " + objection;
    }
    return words;
}

bool keepsItsName(const JointEntry& joint) {
    if (!joint.nameFrom) return joint.outcome == JointOutcome::Untouched;
    return joint.nameFrom == NameChoice::Kept || joint.nameFrom == NameChoice::NotInTarget;
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

std::string_view cutAtCharacter(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    const auto continues = [&](std::size_t at) {
        return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    // Back over the continuation bytes to the start of the character that does not fit whole;
    // a character has at most three of them, so more is no UTF-8 and is cut by bytes.
    std::size_t end = limit;
    while (end > 0 && limit - end < 4 && continues(end)) --end;
    return text.substr(0, continues(end) ? limit : end);
}

}  // namespace skelvane::conversion
