#include "reference/reference_conversion.h"

#include <sstream>

namespace skelvane::reference {

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

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

// An exact mapping's rename of a line: only a joint line's whole name, looked up once.
std::string renameJointLinePlain(std::string_view line, const conversion::Mapping& mapping,
                                 const conversion::DroppedParts& dropped) {
    std::size_t at = 0;
    while (at < line.size() && isBlank(line[at])) ++at;
    std::size_t keyword = 0;
    for (const std::string_view word : {"ROOT", "JOINT"}) {
        if (line.substr(at).starts_with(word)) keyword = word.size();
    }
    if (keyword == 0 || at + keyword >= line.size() || !isBlank(line[at + keyword])) {
        return std::string(line);
    }
    std::size_t begin = at + keyword;
    while (begin < line.size() && isBlank(line[begin])) ++begin;
    std::size_t end = line.size();
    while (end > begin && isBlank(line[end - 1])) --end;
    const std::string_view name = line.substr(begin, end - begin);
    for (const conversion::MappingRow& row : mapping.rows) {
        if (row.from != name) continue;
        return std::string(line.substr(0, begin)) +
               std::string(conversion::replacementOf(row, dropped)) +
               std::string(line.substr(end));
    }
    return std::string(line);
}

}  // namespace

std::string renameLinePlain(std::string_view line, const conversion::DroppedParts& dropped) {
    std::string text(line);
    for (const RenameRule& rule : kRenameRules) {
        text = replaceAll(text, rule.search, replacementOf(rule, dropped));
    }
    return text;
}

std::string renameLinePlain(std::string_view line, const conversion::Mapping& mapping,
                            const conversion::DroppedParts& dropped) {
    if (mapping.mode == conversion::MatchMode::Exact) {
        return renameJointLinePlain(line, mapping, dropped);
    }
    std::string text(line);
    for (const conversion::MappingRow& row : mapping.rows) {
        text = replaceAll(text, row.from, conversion::replacementOf(row, dropped));
    }
    return text;
}

bool readLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf& buffer = *in.rdbuf();
    for (int c; (c = buffer.sbumpc()) != std::char_traits<char>::eof();) {
        if (c == '\n') return true;
        if (c == '\r') {
            if (buffer.sgetc() == '\n') buffer.sbumpc();
            return true;
        }
        line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::istringstream in{std::string(bytes)};
    std::vector<std::string> lines;
    for (std::string line; readLine(in, line);) lines.push_back(line);
    return lines;
}

void convertPlain(std::istream& in, std::ostream& out, const conversion::DroppedParts& dropped) {
    for (std::string line; readLine(in, line);) out << renameLinePlain(line, dropped) << "\r\n";
}

std::string referenceConversion(std::string_view bytes, const conversion::DroppedParts& dropped) {
    std::istringstream in{std::string(bytes)};
    std::ostringstream out;
    convertPlain(in, out, dropped);
    return out.str();
}

std::string referenceConversion(std::string_view bytes, const conversion::Mapping& mapping,
                                const conversion::DroppedParts& dropped) {
    std::string out;
    for (const std::string& line : splitLines(bytes)) {
        out += renameLinePlain(line, mapping, dropped) + "\r\n";
    }
    return out;
}

}  // namespace skelvane::reference
