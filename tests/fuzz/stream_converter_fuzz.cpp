// libFuzzer target: random bytes, cut into random small blocks, go through the block converter
// under one of the presets (contains and exact); the result must be the plain line-by-line
// reference's, byte for byte.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "conversion/mapping/presets.h"
#include "conversion/rename/stream_converter.h"
#include "reference/reference_conversion.h"

namespace {

using skelvane::conversion::BlockConverter;
using skelvane::conversion::DroppedParts;

class StringSink final : public skelvane::conversion::ByteSink {
public:
    std::error_code write(std::string_view bytes) override {
        text.append(bytes);
        return {};
    }
    std::string text;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    // The first bytes choose the dropped parts, how the rest is cut into blocks and the preset.
    const DroppedParts dropped(data[0] | data[1] << 8 | data[2] << 16);
    std::minstd_rand random(data[3]);
    const auto presets = skelvane::conversion::presets();
    const skelvane::conversion::Mapping& mapping = presets[data[4] % presets.size()];
    const std::string_view input(reinterpret_cast<const char*>(data) + 5, size - 5);

    StringSink sink;
    const skelvane::conversion::CompiledMapping compiled(mapping, dropped);
    BlockConverter converter(compiled, sink);
    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t length = std::min<std::size_t>(1 + random() % 64, input.size() - pos);
        converter.convert(input.substr(pos, length));
        pos += length;
    }
    converter.finish();
    if (sink.text != skelvane::reference::referenceConversion(input, mapping, dropped)) {
        __builtin_trap();
    }
    return 0;
}
