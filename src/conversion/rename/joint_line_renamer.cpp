#include "conversion/rename/joint_line_renamer.h"

namespace skelvane::conversion {

namespace {

constexpr std::string_view kRoot = "ROOT";
constexpr std::string_view kJoint = "JOINT";

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

}  // namespace

JointLineRenamer::JointLineRenamer(const CompiledMapping& mapping) : mapping_(mapping) {}

void JointLineRenamer::passHeld() {
    out_.append(keyword_).append(name_).append(blanks_);
    keyword_.clear();
    name_.clear();
    blanks_.clear();
    phase_ = Phase::Pass;
}

void JointLineRenamer::endLine() {
    if (phase_ == Phase::Name) {
        const Rename* rename = mapping_.renameOf(name_);
        out_.append(rename != nullptr ? std::string_view(rename->replacement)
                                      : std::string_view(name_));
        out_.append(blanks_);
    } else {
        out_.append(keyword_);
    }
    keyword_.clear();
    name_.clear();
    blanks_.clear();
    phase_ = Phase::Indent;
    lineBegun_ = false;
}

std::error_code JointLineRenamer::feed(std::string_view piece, bool lineEnds, ByteSink& out) {
    // Most lines are decided at their first bytes and then pass whole.
    if (phase_ == Phase::Pass) {
        if (lineEnds) endLine();
        return piece.empty() ? std::error_code() : out.write(piece);
    }
    lineBegun_ = lineBegun_ || !piece.empty();
    out_.clear();
    // Once the line is decided, the rest of the piece goes on as it lies.
    std::string_view passed;
    for (std::size_t i = 0; i < piece.size() && phase_ != Phase::Pass; ++i) {
        const char byte = piece[i];
        switch (phase_) {
            case Phase::Indent:
                if (isBlank(byte)) {
                    out_.push_back(byte);
                    break;
                }
                phase_ = Phase::Keyword;
                [[fallthrough]];
            case Phase::Keyword:
                if ((keyword_ == kRoot || keyword_ == kJoint) && isBlank(byte)) {
                    out_.append(keyword_).push_back(byte);
                    keyword_.clear();
                    phase_ = Phase::Gap;
                    break;
                }
                keyword_.push_back(byte);
                if (!kRoot.starts_with(keyword_) && !kJoint.starts_with(keyword_)) {
                    passHeld();
                    passed = piece.substr(i + 1);
                }
                break;
            case Phase::Gap:
                if (isBlank(byte)) {
                    out_.push_back(byte);
                    break;
                }
                phase_ = Phase::Name;
                [[fallthrough]];
            case Phase::Name:
                if (isBlank(byte)) {
                    blanks_.push_back(byte);
                    if (blanks_.size() <= kMostHeldBlanks) break;
                } else {
                    name_.append(blanks_).push_back(byte);
                    blanks_.clear();
                    if (name_.size() <= mapping_.longestSearch()) break;
                }
                // No row is this long, or the blanks go on for ever: nothing can match.
                passHeld();
                passed = piece.substr(i + 1);
                break;
            case Phase::Pass:
                break;
        }
    }
    // A line that passes has nothing held, so its end adds nothing after the passed bytes.
    if (lineEnds) endLine();
    if (!out_.empty()) {
        if (const std::error_code error = out.write(out_)) return error;
    }
    return passed.empty() ? std::error_code() : out.write(passed);
}

}  // namespace skelvane::conversion
