#include "reference/reference_bvh_reading.h"

#include <algorithm>
#include <optional>
#include <string>

#include "reference/reference_conversion.h"

namespace skelvane::reference {

namespace {

using conversion::JointEntry;
using conversion::JointOutcome;

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool isLetter(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return (value >= 'a' && value <= 'z') || (value >= 'A' && value <= 'Z') || value >= 0x80;
}

// The rules one after another, as the plain rename applies them, noting which matched and
// whether a letter stood right beside a match.
JointEntry entryFor(std::string_view name, const conversion::DroppedParts& dropped) {
    JointEntry entry;
    std::string text(name);
    int hits = 0;
    bool besideLetter = false;
    for (const RenameRule& rule : kRenameRules) {
        if (text.find(rule.search) == std::string::npos) continue;
        ++hits;
        const std::string_view replacement = replacementOf(rule, dropped);
        if (replacement == "nothing") {
            if (entry.outcome != JointOutcome::Dropped) entry.part = rule.governingPart;
            entry.outcome = JointOutcome::Dropped;
        } else if (entry.outcome == JointOutcome::Untouched) {
            entry.outcome = JointOutcome::Renamed;
        }
        std::string next;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(rule.search, from)) != std::string::npos;
             from = at + rule.search.size()) {
            const std::size_t end = at + rule.search.size();
            besideLetter = besideLetter || (at > 0 && isLetter(text[at - 1])) ||
                           (end < text.size() && isLetter(text[end]));
            next.append(text, from, at - from).append(replacement);
        }
        text = next.append(text, from);
    }
    // A name too long to keep whole is judged by its hits: any that is not the whole name.
    const bool kept = name.size() <= conversion::kShownNameBytes;
    entry.partialWord = hits > 0 && (kept ? besideLetter : true);
    entry.oldLength = name.size();
    entry.newLength = text.size();
    entry.oldName = conversion::cutAtCharacter(name, conversion::kShownNameBytes);
    entry.newName = conversion::cutAtCharacter(text, conversion::kShownNameBytes);
    return entry;
}

// A frame count: digits only, and no more than fits.
std::optional<std::uint64_t> countOf(std::string_view digits) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
    if (digits.size() > 20 || (digits.size() == 20 && digits > "18446744073709551615")) {
        return std::nullopt;
    }
    return std::stoull(std::string(digits));
}

}  // namespace

bool startsLikeBvhPlain(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::size_t start = bytes.find_first_not_of(" \t\n\v\f\r");
    return start != std::string_view::npos && bytes.substr(start).starts_with("HIERARCHY");
}

conversion::JointReport jointReportPlain(std::string_view bytes,
                                         const conversion::DroppedParts& dropped) {
    conversion::JointReport report;
    report.bvh = startsLikeBvhPlain(bytes);
    bool framesSeen = false;
    for (const std::string& line : splitLines(bytes)) {
        const std::string_view text = trimmed(line);
        for (const std::string_view keyword : {"ROOT", "JOINT"}) {
            const bool joint = text.starts_with(keyword) &&
                               (text.size() == keyword.size() ||
                                kBlanks.find(text[keyword.size()]) != std::string_view::npos);
            if (joint) report.add(entryFor(trimmed(text.substr(keyword.size())), dropped));
        }
        if (!framesSeen && text.starts_with("Frames:")) {
            framesSeen = true;
            report.frames = countOf(trimmed(text.substr(7)));
        }
    }
    // Line ends: every CR LF, lone LF and lone CR.
    std::uint64_t crLf = 0, lf = 0, cr = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            ++crLf;
            ++i;
        } else if (bytes[i] == '\n') {
            ++lf;
        } else if (bytes[i] == '\r') {
            ++cr;
        }
    }
    const int kinds = (crLf > 0) + (lf > 0) + (cr > 0);
    using conversion::LineEnds;
    report.lineEnds = kinds == 0  ? LineEnds::None
                      : kinds > 1 ? LineEnds::Mixed
                      : crLf > 0  ? LineEnds::CrLf
                      : lf > 0    ? LineEnds::Lf
                                  : LineEnds::Cr;
    return report;
}

}  // namespace skelvane::reference
