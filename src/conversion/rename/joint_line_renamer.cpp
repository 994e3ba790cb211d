#include "conversion/rename/joint_line_renamer.h"

#include "conversion/bvh/bvh_reader.h"

namespace skelvane::conversion {

JointLineRenamer::JointLineRenamer(const CompiledMapping& mapping) : mapping_(mapping) {}

std::error_code JointLineRenamer::feed(std::string_view piece, bool lineEnds, ByteSink& out) {
    if (passing_) {
        passing_ = !lineEnds;
        return piece.empty() ? std::error_code() : out.write(piece);
    }
    out_.clear();
    // Once the name is given up, the rest of the piece goes on as it lies.
    std::string_view passed;
    bool givenUp = false;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char byte = piece[i];
        if (isBlank(byte)) {
            blanks_.push_back(byte);
            if (blanks_.size() <= kMostHeldBlanks) continue;
        } else {
            name_.append(blanks_).push_back(byte);
            blanks_.clear();
            if (name_.size() <= mapping_.longestSearch()) continue;
        }
        // No row is this long, or the blanks go on for ever: nothing can match.
        out_.append(name_).append(blanks_);
        name_.clear();
        blanks_.clear();
        passing_ = !lineEnds;
        givenUp = true;
        passed = piece.substr(i + 1);
        break;
    }
    if (lineEnds && !givenUp) {
        const Rename* rename = mapping_.renameOf(name_);
        out_.append(rename != nullptr ? std::string_view(rename->replacement)
                                      : std::string_view(name_));
        out_.append(blanks_);
        name_.clear();
        blanks_.clear();
    }
    if (!out_.empty()) {
        if (const std::error_code error = out.write(out_)) return error;
    }
    return passed.empty() ? std::error_code() : out.write(passed);
}

}  // namespace skelvane::conversion
