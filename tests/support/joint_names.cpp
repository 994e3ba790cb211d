#include "support/joint_names.h"

#include <algorithm>

namespace skelvane::testing {

namespace {

bool isBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::vector<std::string> jointNamesIn(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end);
        if (text.starts_with("\r\n")) {
            text.remove_prefix(2);
        } else if (!text.empty()) {
            text.remove_prefix(1);
        }
        for (const std::string_view keyword : {"ROOT", "JOINT"}) {
            if (line.size() > keyword.size() && line.starts_with(keyword) &&
                isBlank(line[keyword.size()])) {
                names.emplace_back(trimmed(line.substr(keyword.size())));
            }
        }
    }
    return names;
}

}  // namespace skelvane::testing
