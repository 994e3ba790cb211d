#include "conversion/mapping/table_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <system_error>

#include "common/title_rule.h"
#include "conversion/bvh/bvh_reader.h"
#include "conversion/files/platform.h"
#include "conversion/files/read_blocks.h"

namespace skelvane::conversion {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The first character of `text` that may not stand in a joint name, as U+XXXX: a control
// character (C0, DEL, C1) or a line or paragraph separator; nothing when there is none.
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

class TableReader {
public:
    TableReader(std::string_view text, std::string_view fileName, const TableFormat& format)
        : rest_(text), fileName_(fileName), format_(format) {}

    std::optional<MappingError> read(TableContents& contents, std::string& notes);

private:
    std::optional<std::string_view> nextLine();
    MappingError error(std::string reason) const {
        return {MappingFault::Invalid, fileName_, line_, std::move(reason)};
    }
    std::optional<MappingError> takeRow(std::string_view line, TableContents& contents);

    std::string_view rest_;
    std::string fileName_;
    const TableFormat& format_;
    std::size_t line_ = 0;
    std::size_t rows_ = 0;
    std::optional<MappingError> lineError_;
};

// The next line without its end; nothing at the end of the text or when the line is refused
// (then lineError_ says why).
std::optional<std::string_view> TableReader::nextLine() {
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

std::optional<MappingError> TableReader::read(TableContents& contents, std::string& notes) {
    if (rest_.size() > kMaxTableFileBytes) {
        const std::string_view within = rest_.substr(0, kMaxTableFileBytes);
        line_ = static_cast<std::size_t>(std::count(within.begin(), within.end(), '\n')) + 1;
        return error("larger than 1 MB");
    }
    if (rest_.starts_with(kByteOrderMark)) rest_.remove_prefix(kByteOrderMark.size());

    const std::optional<std::string_view> first = nextLine();
    if (lineError_) return lineError_;
    const std::string_view version = trimBlanks(first.value_or(std::string_view()));
    if (version != format_.versionLine) {
        line_ = 1;
        const std::string_view kind =
            format_.versionLine.substr(0, format_.versionLine.rfind(' ') + 1);
        if (version.starts_with(kind)) {
            return error("unknown version line " + inQuotes(version) + "; this program reads " +
                         inQuotes(format_.versionLine));
        }
        return error("missing version line " + inQuotes(format_.versionLine));
    }

    bool headerSeen = false;
    while (const std::optional<std::string_view> line = nextLine()) {
        if (trimBlanks(*line).empty()) continue;
        if (line->front() == '#') {
            if (headerSeen) continue;
            if (const std::optional<Directive> directive = directiveIn(*line)) {
                if (auto refused = contents.directive(directive->word, directive->value)) {
                    return error(std::move(*refused));
                }
            } else {
                if (!notes.empty()) notes += '\n';
                notes += line->substr(line->size() > 1 && (*line)[1] == ' ' ? 2 : 1);
            }
        } else if (headerSeen) {
            if (auto failure = takeRow(*line, contents)) return failure;
        } else if (trimBlanks(*line) == format_.header) {
            headerSeen = true;
        } else {
            return error("missing header row " + inQuotes(format_.header));
        }
    }
    if (lineError_) return lineError_;
    ++line_;
    if (!headerSeen) return error("missing header row " + inQuotes(format_.header));
    if (auto refused = contents.end()) return error(std::move(*refused));
    return std::nullopt;
}

std::optional<MappingError> TableReader::takeRow(std::string_view line, TableContents& contents) {
    auto split = splitFields(line);
    if (!split) return error(split.error());
    auto& fields = *split;
    const auto expected =
        static_cast<std::size_t>(std::count(format_.header.begin(), format_.header.end(), ',')) + 1;
    if (fields.size() != expected) {
        return error("expected " + std::to_string(expected) + " fields (" +
                     std::string(format_.header) + "), found " + std::to_string(fields.size()));
    }
    if (auto refused = contents.row(fields, line_)) return error(std::move(*refused));
    if (++rows_ > format_.maxRows) {
        return error("more than " + std::to_string(format_.maxRows) + " rows");
    }
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

std::optional<MappingError> readTableFile(std::string_view text, std::string_view fileName,
                                          const TableFormat& format, TableContents& contents,
                                          std::string& notes) {
    return TableReader(text, fileName, format).read(contents, notes);
}

Result<std::string, MappingError> readTableFileBytes(const std::filesystem::path& file,
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
        kMaxTableFileBytes + 1);
    if (error) return MappingError{error, name, 0, error.message()};
    return text;
}

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

std::optional<std::string> whyNotAJointName(std::string_view field, std::string_view text) {
    const std::string named = inQuotes(field) + " " + inQuotes(text);
    if (trimBlanks(text) != text) {
        return named + " begins or ends with a blank, which no joint name does";
    }
    if (const auto forbidden = forbiddenInName(text)) {
        return named + " holds " + *forbidden + ", which no joint name may";
    }
    return std::nullopt;
}

}  // namespace skelvane::conversion
