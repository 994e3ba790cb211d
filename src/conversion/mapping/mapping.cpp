#include "conversion/mapping/mapping.h"

#include <unordered_map>

#include "common/body_parts.h"
#include "conversion/files/platform.h"

namespace skelvane::conversion {

namespace {

constexpr TableFormat kMappingFormat{kMappingVersionLine, kMappingHeader, "title, match",
                                     kMaxMappingRows};

class MappingContents final : public TableContents {
public:
    explicit MappingContents(Mapping& mapping) : mapping_(mapping) {}

    std::optional<std::string> directive(std::string_view word, std::string_view value) override;
    std::optional<std::string> row(std::vector<std::string>& fields, std::size_t line) override;

private:
    Mapping& mapping_;
    bool titleSeen_ = false;
    bool matchSeen_ = false;
    // Exact mode: the line of each `from`, to tell a second one where the first is.
    std::unordered_map<std::string, std::size_t> fromLines_;
};

std::optional<std::string> MappingContents::directive(std::string_view word,
                                                      std::string_view value) {
    if (word != "title" && word != "match") {
        return "unknown directive " + inQuotes(word) +
               " (known: " + std::string(kMappingFormat.directives) + ")";
    }
    bool& seen = word == "title" ? titleSeen_ : matchSeen_;
    if (seen) return inQuotes(word) + " given twice";
    seen = true;
    if (word == "title") {
        if (value.empty()) return "empty title";
        mapping_.title = value;
    } else if (value == "contains") {
        mapping_.mode = MatchMode::Contains;
    } else if (value == "exact") {
        mapping_.mode = MatchMode::Exact;
    } else {
        return "unknown match mode " + inQuotes(value) + " (use contains or exact)";
    }
    return std::nullopt;
}

std::optional<std::string> MappingContents::row(std::vector<std::string>& fields,
                                                std::size_t line) {
    MappingRow row{std::move(fields[0]), std::move(fields[1]), 0};
    const std::string_view part = trimBlanks(fields[2]);
    if (row.from.empty()) return "empty 'from'";
    if (!part.empty()) {
        row.part = common::partNumberOf(part);
        if (row.part == 0) {
            return "unknown body part " + inQuotes(part) +
                   " (use 1..23 or a name such as rShoulder)";
        }
    }
    if (mapping_.mode == MatchMode::Exact) {
        // Both are whole joint names: `to` is written as one.
        if (row.to.empty()) return "empty 'to' (only contains mode may delete text)";
        for (const auto& [field, text] : {std::pair{"from", &row.from}, {"to", &row.to}}) {
            if (auto reason = whyNotAJointName(field, *text)) return reason;
        }
        const auto [first, inserted] = fromLines_.emplace(row.from, line);
        if (!inserted) {
            return inQuotes(row.from) + " given twice (first on line " +
                   std::to_string(first->second) + ")";
        }
    }
    mapping_.rows.push_back(std::move(row));
    return std::nullopt;
}

}  // namespace

std::string_view replacementOf(const MappingRow& row, const DroppedParts& dropped) {
    if (row.part != 0 && (common::isFixedPart(row.part) || dropped.test(row.part))) {
        return kNothing;
    }
    return row.to;
}

Result<Mapping, MappingError> parseMapping(std::string_view text, std::string_view fileName) {
    Mapping mapping;
    mapping.name = fileName;
    mapping.origin = fileName;
    mapping.title = platform::bytesOfPath(platform::pathFromBytes(fileName).filename());
    MappingContents contents(mapping);
    if (auto error = readTableFile(text, fileName, kMappingFormat, contents, mapping.notes)) {
        return std::move(*error);
    }
    return mapping;
}

Result<Mapping, MappingError> loadMappingFile(const std::filesystem::path& file,
                                              NamedPipe namedPipe) {
    auto text = readTableFileBytes(file, namedPipe);
    if (!text) return std::move(text.error());
    return parseMapping(*text, platform::bytesOfPath(file));
}

}  // namespace skelvane::conversion
