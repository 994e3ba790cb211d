#include "conversion/rename/joint_scanner.h"

#include <utility>

namespace skelvane::conversion {

// Role finding takes the names a report keeps.
static_assert(kShownNameBytes >= kMaxRigNameBytes);

JointScanner::JointScanner(const CompiledMapping& mapping, Reading reading, bool checkStructure,
                           const RigProfile* judgeBy)
    : namer_(mapping),
      reader_({checkStructure ? Reading::Hierarchy : reading, PlainLines::Joined}) {
    if (!checkStructure) return;
    check_.emplace(reader_);
    if (judgeBy == nullptr) return;
    target_.emplace(*judgeBy, reader_);
    if (target_->readsFrames()) check_->handFrameWords(*target_);
}

void JointScanner::followName(const JointEntry& joint) {
    if (joint.cut()) return;
    auto found = newNameCounts_.find(joint.newName);
    if (found == newNameCounts_.end()) {
        if (newNameCounts_.size() == kFollowedNames) return;
        found = newNameCounts_.emplace(joint.newName, 0).first;
        newNamesInOrder_.push_back(&found->first);
    }
    ++found->second;
}

void JointScanner::takePlainLines(std::string_view lines, const Line& last) {
    if (check_) check_->takePlainLines(lines, last);
}

void JointScanner::take(const LinePiece& piece) {
    if (check_) check_->take(piece);
    if (piece.inName && !piece.bytes.empty()) namer_.feed(piece.bytes);
    if (!piece.lineEnds) return;
    if (piece.line.kind != LineKind::Root && piece.line.kind != LineKind::Joint) return;
    JointEntry entry = namer_.finish(piece.line.nameLength);
    followName(entry);
    // A name cut for display is longer than any row: no mapping renames it.
    fit_.addJoint(entry.cut() ? std::string_view() : std::string_view(entry.oldName));
    if (names_ != nullptr) names_->add(entry.oldName, entry.oldLength);
    report_.add(std::move(entry));
}

JointReport JointScanner::finish() {
    reader_.finish(*this);
    report_.lineEnds = reader_.lineEnds().style();
    report_.bvh = reader_.start() == BvhStartCheck::Verdict::Bvh;
    report_.frames = reader_.motion().frames;
    report_.fit = fit_.result();
    if (check_) report_.findings = check_->finish();
    // A file that is not BVH is that, whatever a target takes.
    if (target_ && report_.bvh) {
        target_->finish(*report_.findings);
        report_.findings->sort();
    }
    for (const std::string* name : newNamesInOrder_) {
        const std::uint64_t count = newNameCounts_.at(*name);
        if (count < 2 || name->empty()) continue;
        report_.sharedNames.emplace_back(*name, count);
        if (report_.sharedNames.size() == kListedSharedNames) break;
    }
    return std::move(report_);
}

}  // namespace skelvane::conversion
