#include "conversion/mapping/mapping.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <system_error>
#include <unordered_map>

#include "conversion/bvh/bvh_reader.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"
#include "common/body_parts.h"
#include "common/title_rule.h"

namespace skelvane::conversion {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kVersionPrefix = "# skelvane-map ";

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string inQuotes(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '\'').append(text).append(1, '\'');
    return quoted;
}

// The first character of `text` that may not stand in a joint name, as U+XXXX: a control
// character (C0, DEL, C1) or a line or paragraph separator, which would break the line or the
// name it stands in; nothing when there is none. `text` is UTF-8.
std::optional<std::string> forbiddenInName(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::optional<unsigned> code;
        if (byte < 0x20 || byte == 0x7F) {
            code = byte;
        } else if (byte == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F) code = next;
        } else if (text.substr(i, 3) == "\xE2\x80\xA8" || text.substr(i, 3) == "\xE2\x80\xA9") {
            code = 0x2028u + (static_cast<unsigned char>(text[i + 2]) - 0xA8u);
        }
        if (code) {
            std::array<char, 8> hex{};
            std::snprintf(hex.data(), hex.size(), "U+%04X", *code);
            return std::string(hex.data());
        }
    }
    return std::nullopt;
}

// A directive is `# word: value`; the word is letters, digits, '-' and '_'.
struct Directive {
    std::string_view word;
    std::string_view value;
};

std::optional<Directive> directiveIn(std::string_view comment) {
    std::string_view rest = comment.substr(1);
    while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && (std::isalnum(static_cast<unsigned char>(rest[end])) ||
                                 rest[end] == '-' || rest[end] == '_')) {
        ++end;
    }
    if (end == 0 || end == rest.size() || rest[end] != ':') return std::nullopt;
    if (end + 1 < rest.size() && !isBlank(rest[end + 1])) return std::nullopt;  // `http://`
    return Directive{rest.substr(0, end), trimBlanks(rest.substr(end + 1))};
}

// The fields of one row under RFC 4180 quoting (no line ends inside fields), or why not.
Result<std::vector<std::string>, std::string> splitFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (true) {
        std::string field;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i == line.size()) return std::string("unclosed quote");
                if (line[i] == '"') {
                    if (i + 1 == line.size() || line[i + 1] != '"') break;
                    ++i;
                }
                field += line[i];
            }
            ++i;
            if (i < line.size() && line[i] != ',') return std::string("text after a closing quote");
        } else {
            const std::size_t end = std::min(line.find(',', i), line.size());
            field = line.substr(i, end - i);
            if (field.find('"') != std::string::npos) {
                return std::string("quote inside a field that does not begin with one");
            }
            i = end;
        }
        fields.push_back(std::move(field));
        if (i == line.size()) return fields;
        ++i;
    }
}

class MappingParser {
public:
    MappingParser(std::string_view text, std::string_view fileName)
        : rest_(text), fileName_(fileName) {}

    Result<Mapping, MappingError> parse();

private:
    std::optional<std::string_view> nextLine();
    MappingError error(std::string reason) const {
        return {MappingFault::Invalid, fileName_, line_, std::move(reason)};
    }
    std::optional<MappingError> takeDirective(const Directive& directive);
    std::optional<MappingError> takeRow(std::string_view line);

    std::string_view rest_;
    std::string fileName_;
    std::size_t line_ = 0;
    std::optional<MappingError> lineError_;
    Mapping mapping_;
    bool titleSeen_ = false;
    bool matchSeen_ = false;
    // Exact mode: the line of each `from`, to tell a second one where the first is.
    std::unordered_map<std::string, std::size_t> fromLines_;
};

// The next line without its end; nothing at the end of the text or when the line is refused
// (then lineError_ says why).
std::optional<std::string_view> MappingParser::nextLine() {
    if (rest_.empty()) return std::nullopt;
    ++line_;
    const std::size_t lf = rest_.find('\n');
    std::string_view line = rest_.substr(0, lf);
    rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) {
        lineError_ = error("CR without LF; lines end with LF or CR LF");
    } else if (!common::isValidUtf8(line)) {
        lineError_ = error("bytes that are not UTF-8");
    }
    if (lineError_) return std::nullopt;
    return line;
}

Result<Mapping, MappingError> MappingParser::parse() {
    if (rest_.size() > kMaxMappingBytes) {
        const std::string_view within = rest_.substr(0, kMaxMappingBytes);
        line_ = static_cast<std::size_t>(std::count(within.begin(), within.end(), '\n')) + 1;
        return error("larger than 1 MB");
    }
    if (rest_.starts_with(kByteOrderMark)) rest_.remove_prefix(kByteOrderMark.size());
    mapping_.name = fileName_;
    mapping_.origin = fileName_;
    mapping_.title = platform::bytesOfPath(platform::pathFromBytes(fileName_).filename());

    const std::optional<std::string_view> first = nextLine();
    if (lineError_) return *lineError_;
    const std::string_view version = trimBlanks(first.value_or(std::string_view()));
    if (version != kMappingVersionLine) {
        line_ = 1;
        if (version.starts_with(kVersionPrefix)) {
            return error("unknown version line " + inQuotes(version) + "; this program reads " +
                         inQuotes(kMappingVersionLine));
        }
        return error("missing version line " + inQuotes(kMappingVersionLine));
    }

    bool headerSeen = false;
    while (const std::optional<std::string_view> line = nextLine()) {
        if (trimBlanks(*line).empty()) continue;
        if (line->front() == '#') {
            if (headerSeen) continue;
            if (const std::optional<Directive> directive = directiveIn(*line)) {
                if (auto failure = takeDirective(*directive)) return *failure;
            } else {
                if (!mapping_.notes.empty()) mapping_.notes += '\n';
                mapping_.notes += line->substr(line->size() > 1 && (*line)[1] == ' ' ? 2 : 1);
            }
        } else if (headerSeen) {
            if (auto failure = takeRow(*line)) return *failure;
        } else if (trimBlanks(*line) == kMappingHeader) {
            headerSeen = true;
        } else {
            return error("missing header row " + inQuotes(kMappingHeader));
        }
    }
    if (lineError_) return *lineError_;
    if (!headerSeen) {
        ++line_;
        return error("missing header row " + inQuotes(kMappingHeader));
    }
    return std::move(mapping_);
}

std::optional<MappingError> MappingParser::takeDirective(const Directive& directive) {
    if (directive.word != "title" && directive.word != "match") {
        return error("unknown directive " + inQuotes(directive.word) + " (known: title, match)");
    }
    bool& seen = directive.word == "title" ? titleSeen_ : matchSeen_;
    if (seen) return error(inQuotes(directive.word) + " given twice");
    seen = true;
    if (directive.word == "title") {
        if (directive.value.empty()) return error("empty title");
        mapping_.title = directive.value;
    } else if (directive.value == "contains") {
        mapping_.mode = MatchMode::Contains;
    } else if (directive.value == "exact") {
        mapping_.mode = MatchMode::Exact;
    } else {
        return error("unknown match mode " + inQuotes(directive.value) +
                     " (use contains or exact)");
    }
    return std::nullopt;
}

std::optional<MappingError> MappingParser::takeRow(std::string_view line) {
    auto split = splitFields(line);
    if (!split) return error(split.error());
    auto& fields = *split;
    if (fields.size() != 3) {
        return error("expected 3 fields (from,to,part), found " + std::to_string(fields.size()));
    }
    MappingRow row{std::move(fields[0]), std::move(fields[1]), 0};
    const std::string_view part = trimBlanks(fields[2]);
    if (row.from.empty()) return error("empty 'from'");
    if (!part.empty()) {
        row.part = common::partNumberOf(part);
        if (row.part == 0) {
            return error("unknown body part " + inQuotes(part) +
                         " (use 1..23 or a name such as rShoulder)");
        }
    }
    if (mapping_.mode == MatchMode::Exact) {
        // Both are whole joint names: `to` is written as one.
        if (row.to.empty()) return error("empty 'to' (only contains mode may delete text)");
        for (const auto& [field, text] : {std::pair{"'from' ", &row.from}, {"'to' ", &row.to}}) {
            if (trimBlanks(*text) != *text) {
                return error(field + inQuotes(*text) +
                             " begins or ends with a blank, which no joint name does");
            }
            if (const auto forbidden = forbiddenInName(*text)) {
                return error(field + inQuotes(*text) + " holds " + *forbidden +
                             ", which no joint name may");
            }
        }
        const auto [first, inserted] = fromLines_.emplace(row.from, line_);
        if (!inserted) {
            return error(inQuotes(row.from) + " given twice (first on line " +
                         std::to_string(first->second) + ")");
        }
    }
    if (mapping_.rows.size() == kMaxMappingRows) {
        return error("more than " + std::to_string(kMaxMappingRows) + " rows");
    }
    mapping_.rows.push_back(std::move(row));
    return std::nullopt;
}

class MappingFaultCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "skelvane-mapping"; }

    std::string message(int code) const override {
        switch (static_cast<MappingFault>(code)) {
            case MappingFault::NoSuchName:
                return "no mapping of that name";
            case MappingFault::Invalid:
                return "not a mapping file";
        }
        return "unknown error";
    }
};

}  // namespace

const std::error_category& mappingFaultCategory() {
    static const MappingFaultCategory category;
    return category;
}

std::error_code make_error_code(MappingFault fault) {
    return {static_cast<int>(fault), mappingFaultCategory()};
}

std::string MappingError::message() const {
    return line == 0 ? file + ": " + reason : file + ":" + std::to_string(line) + ": " + reason;
}

std::string_view replacementOf(const MappingRow& row, const DroppedParts& dropped) {
    if (row.part != 0 && (common::isFixedPart(row.part) || dropped.test(row.part))) {
        return kNothing;
    }
    return row.to;
}

Result<Mapping, MappingError> parseMapping(std::string_view text, std::string_view fileName) {
    return MappingParser(text, fileName).parse();
}

Result<Mapping, MappingError> loadMappingFile(const std::filesystem::path& file,
                                              NamedPipe namedPipe) {
    const std::string name = platform::bytesOfPath(file);
    const auto in = namedPipe == NamedPipe::WaitForWriter
                        ? platform::openForReading(file)
                        : platform::openForReadingWithoutWaiting(file);
    if (!in && in.error() == std::errc::broken_pipe) {
        return MappingError{in.error(), name, 0,
                            "a named pipe with no program writing to it cannot be read"};
    }
    if (!in) return MappingError{in.error(), name, 0, in.error().message()};
    std::string text;
    std::vector<char> block(kBlockSize);
    const std::error_code error = readBlocks(
        in->handle(), block,
        [&](std::string_view bytes) {
            text.append(bytes);
            return true;
        },
        kMaxMappingBytes + 1);
    if (error) return MappingError{error, name, 0, error.message()};
    return parseMapping(text, name);
}

}  // namespace skelvane::conversion
