#include "conversion/rename_table.h"

#include "joblist/job_list.h"

namespace skelvane::conversion {

namespace {

// A rule can only match where its first byte stands, and every rule that writes something
// needs a match first; so a line with none of these bytes comes through every rule unchanged.
// Motion data lines, nearly all of a file, are digits, signs, dots and blanks.
constexpr std::array<bool, 256> kSearchStartBytes = [] {
    std::array<bool, 256> table{};
    for (const RenameRule& rule : kRenameRules) {
        table[static_cast<unsigned char>(rule.search.front())] = true;
    }
    return table;
}();

}  // namespace

DroppedParts droppedPartsOf(const joblist::JobList& jobs, int row) {
    DroppedParts dropped;
    for (const joblist::BodyPart& part : joblist::kBodyParts) {
        if (jobs.PartOff(part.number, row) != 0.0f) dropped.set(part.number);
    }
    return dropped;
}

LineRenamer::LineRenamer(const DroppedParts& dropped) {
    for (std::size_t i = 0; i < kRenameRules.size(); ++i) {
        replacements_[i] = replacementOf(kRenameRules[i], dropped);
    }
}

bool LineRenamer::cannotMatch(std::string_view line) {
    for (char c : line) {
        if (kSearchStartBytes[static_cast<unsigned char>(c)]) return false;
    }
    return true;
}

std::string_view LineRenamer::rename(std::string_view line) {
    if (cannotMatch(line)) return line;

    // Rules that find nothing cost one search and no copy; a rule that matches rebuilds the
    // line into the spare buffer, which then becomes the current one.
    std::string_view current = line;
    for (std::size_t i = 0; i < kRenameRules.size(); ++i) {
        const std::string_view search = kRenameRules[i].search;
        std::size_t pos = current.find(search);
        if (pos == std::string_view::npos) continue;

        next_.clear();
        std::size_t from = 0;
        do {
            next_.append(current.substr(from, pos - from));
            next_.append(replacements_[i]);
            from = pos + search.size();
            pos = current.find(search, from);
        } while (pos != std::string_view::npos);
        next_.append(current.substr(from));

        current_.swap(next_);
        current = current_;
    }
    return current;
}

std::string renameLine(std::string_view line, const DroppedParts& dropped) {
    LineRenamer renamer(dropped);
    return std::string(renamer.rename(line));
}

namespace {

// One find-and-replace pass: every non-overlapping occurrence, left to right, into a new text.
std::string replaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement) {
    std::string result;
    std::size_t from = 0;
    for (std::size_t pos; (pos = text.find(search, from)) != std::string_view::npos;
         from = pos + search.size()) {
        result.append(text.substr(from, pos - from)).append(replacement);
    }
    return result.append(text.substr(from));
}

}  // namespace

std::string renameLinePlain(std::string_view line, const DroppedParts& dropped) {
    std::string text(line);
    for (const RenameRule& rule : kRenameRules) {
        text = replaceAll(text, rule.search, replacementOf(rule, dropped));
    }
    return text;
}

}  // namespace skelvane::conversion
