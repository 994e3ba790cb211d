// The structure check's reading of the hierarchy's lines: each joint's declaration and braces,
// its OFFSET and its CHANNELS.
#include "conversion/bvh/structure_check.h"

#include <string>

#include "conversion/bvh/reasons.h"

namespace skelvane::conversion {

void StructureCheck::checkDeclaration(const Line& line) {
    const std::string_view keyword = reasonKeyword(line.kind);
    const Hierarchy& hierarchy = reader_.hierarchy();
    const bool kept = line.joint != kNoJoint;
    awaitingBrace_ = line.number;
    awaitingJoint_ = line.joint;
    if (line.kind == LineKind::Root) {
        ++roots_;
        if (openBraces_ > 0) {
            findings_.add(line.number, FindingKind::Hierarchy,
                          [] { return std::string("ROOT inside the braces of a joint"); });
        } else if (roots_ > 1) {
            findings_.add(line.number, FindingKind::Roots, [&] {
                return "a second ROOT, " + jointWords(line.joint) +
                       ": most readers take only the first";
            });
        }
    } else if (openBraces_ == 0) {
        findings_.add(line.number, FindingKind::Hierarchy,
                      [&] { return std::string(keyword) + " outside the braces of any joint"; });
    } else if (kept && hierarchy.joints[line.joint].parent != kNoJoint &&
               hierarchy.joints[hierarchy.joints[line.joint].parent].endSite) {
        findings_.add(line.number, FindingKind::Hierarchy,
                      [&] { return std::string(keyword) + " inside an End Site"; });
    }
    if (line.kind == LineKind::EndSite) return;
    if (line.fault == LineFault::NoName) {
        findings_.add(line.number, FindingKind::Name,
                      [&] { return std::string(keyword) + " without a name"; });
        return;
    }
    const auto name = [&] {
        return kept ? "the name " + quotedStart(hierarchy.joints[line.joint].name) : "the name";
    };
    if (innerBlank_) {
        findings_.add(line.number, FindingKind::NameBlank, [&] {
            return name() +
                   " holds a blank: the Second Life upload and three.js keep only its first word";
        });
    }
    if (dot_) {
        findings_.add(line.number, FindingKind::NameDot,
                      [&] { return name() + " holds a dot: three.js cannot bind its tracks"; });
    }
    if (!kept || line.nameLength > kKeptJointNameBytes) return;
    const auto named = names_.emplace(hierarchy.joints[line.joint].name, line.number);
    if (!named.second) {
        const auto earlier = named.first;
        findings_.add(line.number, FindingKind::DuplicateName, [&] {
            return jointWords(line.joint) + " is named as the joint on line " +
                   std::to_string(earlier->second) +
                   ": Blender's importer fails, three.js binds both to one track";
        });
    }
}

void StructureCheck::checkCloseBrace(const Line& line) {
    if (line.fault == LineFault::ClosesNothing) {
        findings_.add(line.number, FindingKind::Braces,
                      [] { return std::string("'}' closes no brace"); });
        return;
    }
    --openBraces_;
    if (line.joint == kNoJoint) return;
    const Joint& joint = reader_.hierarchy().joints[line.joint];
    if (joint.offsetLine == 0) {
        findings_.add(joint.line, FindingKind::Offset,
                      [&] { return jointWords(line.joint) + " has no OFFSET"; });
    }
    if (joint.channelsLine == 0 && !joint.endSite) {
        findings_.add(joint.line, FindingKind::Channels,
                      [&] { return jointWords(line.joint) + " has no CHANNELS"; });
    }
}

void StructureCheck::checkOffset(const Line& line) {
    if (openBraces_ == 0) {
        findings_.add(line.number, FindingKind::Offset,
                      [] { return std::string("OFFSET outside the braces of any joint"); });
    }
    if (line.fault == LineFault::NotANumber) {
        findings_.add(line.number, FindingKind::Offset, [&] {
            return "OFFSET holds " + quotedStart(line.faultWord) + ", which is no number";
        });
    } else if (line.fault == LineFault::WordCount) {
        findings_.add(line.number, FindingKind::Offset, [&] {
            return "OFFSET holds " + counted(line.words, "number", "numbers") + "; it takes 3";
        });
    }
    if (line.joint == kNoJoint) return;
    const Joint& joint = reader_.hierarchy().joints[line.joint];
    if (joint.offsetLine != line.number) {
        findings_.add(line.number, FindingKind::Offset, [&] {
            return "a second OFFSET of " + jointWords(line.joint) + " (the first is on line " +
                   std::to_string(joint.offsetLine) + ")";
        });
    }
}

void StructureCheck::checkChannels(const Line& line) {
    const bool counted = line.words > 0 && line.fault != LineFault::NotACount;
    if (counted) {
        channels_ = line.count > std::numeric_limits<std::uint64_t>::max() - channels_
                        ? std::numeric_limits<std::uint64_t>::max()
                        : channels_ + line.count;
    } else {
        // The frames' length is unknown: no frame line is held against it.
        channelsKnown_ = false;
    }
    if (openBraces_ == 0) {
        findings_.add(line.number, FindingKind::Channels,
                      [] { return std::string("CHANNELS outside the braces of any joint"); });
    }
    if (line.fault == LineFault::NotACount) {
        findings_.add(line.number, FindingKind::Channels, [&] {
            return "CHANNELS counts " + quotedStart(line.faultWord) + ", which is no count";
        });
    } else if (line.words == 0) {
        findings_.add(line.number, FindingKind::Channels,
                      [] { return std::string("CHANNELS without a count"); });
    }
    if (line.fault == LineFault::NotAChannel) {
        findings_.add(line.number, FindingKind::Channels, [&] {
            return "CHANNELS names " + quotedStart(line.faultWord) +
                   ", none of Xposition, Yposition, Zposition, Xrotation, Yrotation, Zrotation";
        });
    }
    if (counted && line.count != line.words - 1) {
        findings_.add(line.number, FindingKind::Channels, [&] {
            return "CHANNELS counts " + std::to_string(line.count) + " but names " +
                   std::to_string(line.words - 1);
        });
    }
    if (line.joint == kNoJoint) return;
    const Joint& joint = reader_.hierarchy().joints[line.joint];
    if (joint.endSite) {
        findings_.add(line.number, FindingKind::Channels,
                      [] { return std::string("CHANNELS in an End Site, which has none"); });
    } else if (joint.channelsLine != line.number) {
        findings_.add(line.number, FindingKind::Channels, [&] {
            return "a second CHANNELS of " + jointWords(line.joint) + " (the first is on line " +
                   std::to_string(joint.channelsLine) + ")";
        });
    }
}

}  // namespace skelvane::conversion
