// libFuzzer target: random bytes go through the structure check and the Second Life upload's
// rules, whole and cut into random pieces, which must find the same, and so must the upload's
// rules alone as a conversion holds what it wrote to them; every word of them is a number to
// the check's quick test exactly when it is one to numberOf, and numberOf reads it to the bit
// as std::from_chars does.
#include <bit>
#include <charconv>
#include <cstdint>
#include <optional>
#include <random>
#include <string_view>

#include "conversion/bvh/structure_check.h"
#include "conversion/mapping/rig_profile_catalog.h"
#include "conversion/mapping/target_check.h"

namespace {

using skelvane::conversion::BvhReader;
using skelvane::conversion::FindingKind;
using skelvane::conversion::Findings;

const skelvane::conversion::RigProfile& secondLife() {
    for (const auto& profile : skelvane::conversion::rigProfiles()) {
        if (profile.name == "sl") return profile;
    }
    __builtin_trap();
}

template <typename Feed>
Findings checked(Feed feed) {
    BvhReader reader(
        {skelvane::conversion::Reading::Hierarchy, skelvane::conversion::PlainLines::Joined});
    skelvane::conversion::StructureCheck check(reader);
    skelvane::conversion::TargetCheck target(secondLife(), reader);
    check.handFrameWords(target);
    feed([&](std::string_view piece) { reader.feed(piece, check); });
    reader.finish(check);
    Findings findings = check.finish();
    target.finish(findings);
    findings.sort();
    return findings;
}

template <typename Feed>
Findings judged(Feed feed) {
    skelvane::conversion::TargetReading reading(secondLife());
    feed([&](std::string_view piece) { reading.write(piece); });
    return reading.finish();
}

bool same(const Findings& a, const Findings& b) {
    if (a.listed().size() != b.listed().size()) return false;
    for (std::size_t i = 0; i < a.listed().size(); ++i) {
        const auto& x = a.listed()[i];
        const auto& y = b.listed()[i];
        if (x.line != y.line || x.kind != y.kind || x.reason != y.reason) return false;
    }
    for (std::size_t i = 0; i < skelvane::conversion::kFindingKinds; ++i) {
        const auto kind = static_cast<FindingKind>(i);
        if (a.count(kind) != b.count(kind)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses how the rest is cut into pieces.
    std::minstd_rand random(data[0]);
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto inPieces = [&](auto feed) {
        for (std::size_t pos = 0; pos < input.size();) {
            const std::size_t length = std::min<std::size_t>(1 + random() % 64, input.size() - pos);
            feed(input.substr(pos, length));
            pos += length;
        }
    };
    const auto atOnce = [&](auto feed) { feed(input); };
    if (!same(checked(atOnce), checked(inPieces))) __builtin_trap();
    if (!same(judged(atOnce), judged(inPieces))) __builtin_trap();
    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t end = std::min(input.find_first_of(" \t\r\n", pos), input.size());
        const std::string_view word = input.substr(pos, end - pos);
        if (skelvane::conversion::isNumber(word) !=
            skelvane::conversion::numberOf(word).has_value())
            __builtin_trap();
        double exact = 0;
        const char* const wordEnd = word.data() + word.size();
        const auto [stop, error] = std::from_chars(word.data(), wordEnd, exact);
        const std::optional<double> read = skelvane::conversion::numberOf(word);
        if (read && error == std::errc() && stop == wordEnd &&
            std::bit_cast<std::uint64_t>(*read) != std::bit_cast<std::uint64_t>(exact))
            __builtin_trap();
        pos = end + 1;
    }
    return 0;
}
