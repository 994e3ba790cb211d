// Whether bytes start as a BVH file does: an optional UTF-8 byte order mark, blanks, HIERARCHY.
#include "conversion/bvh/bvh_reader.h"

#include <string_view>

namespace skelvane::conversion {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kFirstWord = "HIERARCHY";

bool isAsciiSpace(char byte) {
    switch (byte) {
        case ' ':
        case '\t':
        case '\n':
        case '\v':
        case '\f':
        case '\r':
            return true;
        default:
            return false;
    }
}

}  // namespace

BvhStartCheck::Verdict BvhStartCheck::feed(std::string_view piece) {
    for (const char byte : piece) {
        if (verdict_ != Verdict::NeedMore) break;
        if (!bomDone_) {
            if (byte == kUtf8Mark[bomMatched_]) {
                bomDone_ = ++bomMatched_ == kUtf8Mark.size();
                continue;
            }
            // Only a mark begun and then broken off is wrong; no mark at all is fine.
            if (bomMatched_ != 0) {
                verdict_ = Verdict::NotBvh;
                break;
            }
            bomDone_ = true;
        }
        if (keywordMatched_ == 0 && isAsciiSpace(byte)) continue;
        if (byte != kFirstWord[keywordMatched_]) {
            verdict_ = Verdict::NotBvh;
        } else if (++keywordMatched_ == kFirstWord.size()) {
            verdict_ = Verdict::Bvh;
        }
    }
    return verdict_;
}

BvhStartCheck::Verdict BvhStartCheck::finish() {
    if (verdict_ == Verdict::NeedMore) verdict_ = Verdict::NotBvh;
    return verdict_;
}

bool startsLikeBvh(std::string_view bytes) {
    BvhStartCheck check;
    check.feed(bytes);
    return check.finish() == BvhStartCheck::Verdict::Bvh;
}

}  // namespace skelvane::conversion
