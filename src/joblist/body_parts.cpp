#include "joblist/body_parts.h"

namespace skelvane::joblist {

std::optional<BodyPart> findPartByImageName(std::string_view imageName) {
    for (const BodyPart& part : kBodyParts) {
        if (part.imageName == imageName) return part;
    }
    return std::nullopt;
}

}  // namespace skelvane::joblist
