#include "cli/check_report.h"

#include <algorithm>

#include "cli/json_report.h"
#include "cli/terminal_text.h"

namespace skelvane::cli {

namespace {

using conversion::Finding;
using conversion::FindingKind;
using conversion::Findings;

// Every kind, in the order the counts of those left out are told.
template <typename Each>
void forEachKind(Each each) {
    for (std::size_t i = 0; i < conversion::kFindingKinds; ++i) each(static_cast<FindingKind>(i));
}

}  // namespace

std::string findingsText(std::string_view file, const Findings& findings, std::string_view indent) {
    const std::string name = printable(file);
    std::string out;
    for (const Finding& finding : findings.listed()) {
        out.append(indent).append(name).append(":").append(std::to_string(finding.line));
        out.append(": ").append(severityWord(severityOf(finding.kind))).append(": ");
        out.append(printable(finding.reason)).append("\n");
    }
    forEachKind([&](FindingKind kind) {
        if (const std::uint64_t more = findings.unlisted(kind)) {
            out.append(indent).append(name).append(": ");
            out.append(severityWord(severityOf(kind))).append(": ");
            out.append(std::to_string(more) + " more " + std::string(findingTopic(kind)) + "\n");
        }
    });
    return out;
}

std::string arrayElement(const Json& element, bool first) {
    // Elements of an array printed with an indent of 2 stand 2 in, their keys 4.
    std::string out = first ? "[\n" : ",\n";
    const std::string text = element.dump(2, ' ', false, Json::error_handler_t::replace);
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        out.append("  ").append(text, from, end - from);
        if (end < text.size()) out.push_back('\n');
        from = end + 1;
    }
    return out;
}

Json findingsJson(const Findings& findings) {
    Json listed = Json::array();
    for (const Finding& finding : findings.listed()) {
        listed.push_back({{"line", finding.line},
                          {"severity", severityWord(severityOf(finding.kind))},
                          {"kind", findingKey(finding.kind)},
                          {"reason", finding.reason}});
    }
    Json unlisted = Json::array();
    forEachKind([&](FindingKind kind) {
        if (const std::uint64_t more = findings.unlisted(kind)) {
            unlisted.push_back({{"kind", findingKey(kind)},
                                {"severity", severityWord(severityOf(kind))},
                                {"count", more}});
        }
    });
    return {{"errors", findings.errors()},
            {"warnings", findings.warnings()},
            {"findings", std::move(listed)},
            {"unlisted", std::move(unlisted)}};
}

std::string checkJson(std::string_view file, const Findings* findings, std::string_view failure,
                      bool first) {
    Json entry;
    entry["source"] = file;
    entry["failure"] = findings == nullptr ? Json(failure) : Json();
    entry["check"] = findings != nullptr ? findingsJson(*findings) : Json();
    return arrayElement(entry, first);
}

}  // namespace skelvane::cli
