#include "common/title_rule.h"

namespace skelvane::common {

namespace {

// Length of the UTF-8 sequence starting at `pos`, or 0 when none starts there.
std::size_t sequenceLength(std::string_view bytes, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > bytes.size()) return 0;
    if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string titleOf(std::string_view fileName) {
    std::size_t keep = 0;
    if (isValidUtf8(fileName)) {
        // Walk back over the last kTitleCut code points: continuation bytes are 10xxxxxx.
        keep = fileName.size();
        for (int cut = 0; cut < kTitleCut && keep > 0; ++cut) {
            do {
                --keep;
            } while (keep > 0 && (static_cast<unsigned char>(fileName[keep]) & 0xC0) == 0x80);
        }
    } else if (fileName.size() > kTitleCut) {
        keep = fileName.size() - kTitleCut;
    }
    return std::string(fileName.substr(0, keep));
}

std::string defaultOutputName(std::string_view title) {
    return std::string(title).append(kOutputSuffix);
}

std::string outputFileName(std::string_view outputName) {
    return std::string(outputName).append(kOutputExtension);
}

}  // namespace skelvane::common
