// libFuzzer target: random bytes, cut into random pieces, go through the BVH start check; its
// verdict must be the plain check's.
#include <cstdint>
#include <random>
#include <string_view>

#include "conversion/bvh/bvh_reader.h"
#include "reference/reference_bvh_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses how the rest is cut into pieces.
    std::minstd_rand random(data[0]);
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    skelvane::conversion::BvhStartCheck check;
    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t length = std::min<std::size_t>(1 + random() % 16, input.size() - pos);
        check.feed(input.substr(pos, length));
        pos += length;
    }
    const bool bvh = check.finish() == skelvane::conversion::BvhStartCheck::Verdict::Bvh;
    if (bvh != skelvane::reference::startsLikeBvhPlain(input)) __builtin_trap();
    return 0;
}
