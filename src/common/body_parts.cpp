#include "common/body_parts.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace skelvane::common {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

int partNumberOf(std::string_view name) {
    int number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size()) {
        return number >= 1 && number <= kPartCount ? number : 0;
    }
    for (const BodyPart& part : kBodyParts) {
        if (equalsIgnoringCase(name, part.imageName) ||
            (!part.poserJoint.empty() && equalsIgnoringCase(name, part.poserJoint))) {
            return part.number;
        }
    }
    return 0;
}

}  // namespace skelvane::common
