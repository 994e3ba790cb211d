#include "conversion/rename_table.h"

#include "joblist/job_list.h"

namespace skelvane::conversion {

DroppedParts droppedPartsOf(const joblist::JobList& jobs, int row) {
    DroppedParts dropped;
    for (const joblist::BodyPart& part : joblist::kBodyParts) {
        if (jobs.isDropped(row, part.number)) dropped.set(part.number);
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

std::string_view LineRenamer::rename(std::string_view line, RuleHits* hits) {
    if (hits != nullptr) hits->reset();
    if (cannotMatch(line)) return line;

    // Rules that find nothing cost one search and no copy; a rule that matches rebuilds the
    // line into the spare buffer, which then becomes the current one.
    std::string_view current = line;
    for (std::size_t i = 0; i < kRenameRules.size(); ++i) {
        const std::string_view search = kRenameRules[i].search;
        std::size_t pos = current.find(search);
        if (pos == std::string_view::npos) continue;
        if (hits != nullptr) hits->set(i);

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

}  // namespace skelvane::conversion
