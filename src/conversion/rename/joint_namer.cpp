#include "conversion/rename/joint_namer.h"

#include <optional>
#include <utility>
#include <vector>

namespace skelvane::conversion {

namespace {

// A kept name holds a few bytes past the shown length, so that it can be cut at the edge of
// a character once it is known where the name ends.
constexpr std::size_t kKeptNameBytes = kShownNameBytes + 4;

// A letter right beside a match makes it a match inside a word; bytes past ASCII are taken for
// the letters of other scripts.
bool isLetter(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return (value | 0x20) >= 'a' && (value | 0x20) <= 'z' ? true : value >= 0x80;
}

// How long the name as the rows leave it may grow while hitInsideWord follows it: rows may
// double it one after another.
constexpr std::size_t kMostFollowedNameBytes = 64 << 10;

// Whether a row matched inside a longer word: a letter right before or after the text it
// matched, in the name as the rows before it left it. Nothing when the rows make the name
// longer than kMostFollowedNameBytes.
std::optional<bool> hitInsideWord(std::string_view name, const std::vector<Rename>& renames) {
    std::string text(name);
    for (const Rename& rename : renames) {
        const std::string& search = rename.search;
        std::size_t pos = text.find(search);
        if (search.empty() || pos == std::string::npos) continue;
        std::string renamed;
        std::size_t from = 0;
        for (; pos != std::string::npos; pos = text.find(search, from)) {
            const std::size_t end = pos + search.size();
            if ((pos > 0 && isLetter(text[pos - 1])) ||
                (end < text.size() && isLetter(text[end]))) {
                return true;
            }
            renamed.append(text, from, pos - from).append(rename.replacement);
            if (renamed.size() > kMostFollowedNameBytes) return std::nullopt;
            from = end;
        }
        text = renamed.append(text, from);
    }
    return false;
}

}  // namespace

JointNamer::JointNamer(const CompiledMapping& mapping)
    : mapping_(mapping), renamer_(mapping), hits_(mapping.renames().size(), false) {}

void JointNamer::keep(std::string& kept, std::uint64_t& length, std::string_view piece) {
    length += piece.size();
    if (kept.size() < kKeptNameBytes) kept.append(piece.substr(0, kKeptNameBytes - kept.size()));
}

std::error_code JointNamer::write(std::string_view bytes) {
    keep(entry_.newName, entry_.newLength, bytes);
    return {};
}

void JointNamer::feed(std::string_view piece) {
    keep(entry_.oldName, entry_.oldLength, piece);
    if (mapping_.mode() == MatchMode::Contains) {
        renamer_.feed(piece, false, *this, &hits_);
    }
}

JointEntry JointNamer::finish(std::uint64_t length) {
    if (mapping_.mode() == MatchMode::Contains) {
        renamer_.feed({}, true, *this, &hits_);
    }
    // Rows neither match nor write blanks at the ends of a name, so the new name ends in the
    // same blanks.
    const std::uint64_t trailingBlanks = entry_.oldLength - std::min(entry_.oldLength, length);
    for (auto [name, fullLength] : {std::pair{&entry_.oldName, &entry_.oldLength},
                                    std::pair{&entry_.newName, &entry_.newLength}}) {
        *fullLength -= std::min(*fullLength, trailingBlanks);
        name->resize(std::min<std::uint64_t>(name->size(), *fullLength));
        name->resize(cutAtCharacter(*name, kShownNameBytes).size());
    }
    if (mapping_.mode() == MatchMode::Exact) {
        nameWhole();
    } else {
        nameByHits();
    }
    hits_.assign(hits_.size(), false);
    return std::exchange(entry_, JointEntry{});
}

void JointNamer::nameWhole() {
    const bool whole = entry_.oldLength == entry_.oldName.size();
    const Rename* rename = whole ? mapping_.renameOf(entry_.oldName) : nullptr;
    entry_.newName = entry_.oldName;
    entry_.newLength = entry_.oldLength;
    if (rename == nullptr || rename->replacement == entry_.oldName) return;
    entry_.newName = cutAtCharacter(rename->replacement, kShownNameBytes);
    entry_.newLength = rename->replacement.size();
    entry_.outcome = rename->dropped ? JointOutcome::Dropped : JointOutcome::Renamed;
    entry_.part = rename->part;
}

void JointNamer::nameByHits() {
    const std::vector<Rename>& renames = mapping_.renames();
    std::size_t hitCount = 0;
    bool wholeName = false;
    for (std::size_t i = 0; i < renames.size(); ++i) {
        if (!hits_[i]) continue;
        ++hitCount;
        if (!renames[i].dropped) {
            if (entry_.outcome == JointOutcome::Untouched) entry_.outcome = JointOutcome::Renamed;
        } else if (entry_.outcome != JointOutcome::Dropped) {
            entry_.outcome = JointOutcome::Dropped;
            entry_.part = renames[i].part;
        }
        wholeName = wholeName || (renames[i].search == entry_.oldName &&
                                  entry_.oldLength == entry_.oldName.size());
    }
    if (hitCount == 0) return;
    // A name kept whole is looked at closely; of one too long to keep, or that the rows make
    // too long to follow, any hit that is not the whole name is taken to lie inside a word.
    std::optional<bool> insideWord;
    if (entry_.oldLength == entry_.oldName.size()) {
        insideWord = hitInsideWord(entry_.oldName, renames);
    }
    entry_.partialWord = insideWord.value_or(!(wholeName && hitCount == 1));
}

JointEntry jointEntryFor(std::string_view name, const CompiledMapping& mapping) {
    JointNamer namer(mapping);
    namer.feed(name);
    return namer.finish(name.size());
}

}  // namespace skelvane::conversion
