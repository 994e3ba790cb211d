// libFuzzer target: random bytes, cut into random pieces, go through the joint scanner; its
// report must be the plain one's: the same counts, frames and line ends, and the same joints.
#include <cstdint>
#include <random>
#include <string_view>

#include "conversion/rename/joint_scanner.h"
#include "conversion/mapping/presets.h"
#include "reference/reference_bvh_reading.h"

namespace {

using skelvane::conversion::JointEntry;
using skelvane::conversion::JointReport;

bool same(const JointEntry& a, const JointEntry& b) {
    return a.oldName == b.oldName && a.newName == b.newName && a.outcome == b.outcome &&
           a.partialWord == b.partialWord && a.oldLength == b.oldLength &&
           a.newLength == b.newLength;
}

bool same(const JointReport& a, const JointReport& b) {
    if (a.bvh != b.bvh || a.jointCount != b.jointCount || a.renamed != b.renamed ||
        a.dropped != b.dropped || a.untouched != b.untouched || a.partialWords != b.partialWords ||
        a.frames != b.frames || a.lineEnds != b.lineEnds || a.joints.size() != b.joints.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.joints.size(); ++i) {
        if (!same(a.joints[i], b.joints[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // The first bytes choose the dropped parts and how the rest is cut into pieces.
    const skelvane::conversion::DroppedParts dropped(data[0] | data[1] << 8 | data[2] << 16);
    std::minstd_rand random(data[3]);
    const std::string_view input(reinterpret_cast<const char*>(data) + 4, size - 4);
    const skelvane::conversion::CompiledMapping poserMax(skelvane::conversion::defaultMapping(),
                                                         dropped);
    skelvane::conversion::JointScanner scanner(poserMax);
    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t length = std::min<std::size_t>(1 + random() % 64, input.size() - pos);
        scanner.feed(input.substr(pos, length));
        pos += length;
    }
    if (!same(scanner.finish(), skelvane::reference::jointReportPlain(input, dropped))) {
        __builtin_trap();
    }
    return 0;
}
