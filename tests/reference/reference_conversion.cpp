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

}  // namespace

std::string renameLinePlain(std::string_view line, const conversion::DroppedParts& dropped) {
    std::string text(line);
    for (const conversion::RenameRule& rule : conversion::kRenameRules) {
        text = replaceAll(text, rule.search, conversion::replacementOf(rule, dropped));
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

}  // namespace skelvane::reference
