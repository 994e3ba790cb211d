// libFuzzer target: contains rows read from the front of the bytes, among rows that never match
// (they end in a byte kept for them, 0x7f, read as 0x7e in the bytes) so that the mapping has
// 4096 rows and each row hands on 512 bytes at a time; the rest of the bytes, cut into random
// small blocks, go through the block converter. Rows that lengthen the text make its output
// cross chunks anywhere; it must be the plain line-by-line reference's, byte for byte.
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "conversion/rename/stream_converter.h"
#include "reference/reference_conversion.h"

namespace {

using skelvane::conversion::Mapping;
using skelvane::conversion::MappingRow;
using skelvane::conversion::MatchMode;

class StringSink final : public skelvane::conversion::ByteSink {
public:
    std::error_code write(std::string_view bytes) override {
        text.append(bytes);
        return {};
    }
    std::string text;
};

// Up to six rows, each from three bytes (the length of its text, 1 to 3, the length of a seed,
// 0 to 4, and how many times over the seed makes its replacement, up to 1024 bytes) and the
// bytes of its text and seed; nothing when the input is too short.
std::optional<Mapping> rowsReadFrom(std::string_view& input) {
    if (input.empty()) return std::nullopt;
    Mapping mapping;
    mapping.mode = MatchMode::Contains;
    const int count = 1 + static_cast<unsigned char>(input[0]) % 6;
    input.remove_prefix(1);
    for (int i = 0; i < count; ++i) {
        if (input.size() < 3) return std::nullopt;
        const std::size_t fromLength = 1 + static_cast<unsigned char>(input[0]) % 3;
        const std::size_t seedLength = static_cast<unsigned char>(input[1]) % 5;
        const std::size_t times = 1 + static_cast<unsigned char>(input[2]);
        input.remove_prefix(3);
        if (input.size() < fromLength + seedLength) return std::nullopt;
        MappingRow row{std::string(input.substr(0, fromLength)), {}, 0};
        for (std::size_t n = 0; n < times; ++n) row.to.append(input.substr(fromLength, seedLength));
        mapping.rows.push_back(std::move(row));
        input.remove_prefix(fromLength + seedLength);
    }
    return mapping;
}

// The same rows spread among rows that never match, up to 4096 rows: each of those starts as
// the row after it does and goes on with the byte kept for them, so that it may begin at the end
// of any chunk, or is that byte alone.
Mapping padded(const Mapping& mapping) {
    Mapping result = mapping;
    result.rows.clear();
    const std::size_t gap = 4096 / mapping.rows.size();
    for (const MappingRow& row : mapping.rows) {
        for (std::size_t i = 1; i < gap; ++i) {
            const std::string start = row.from.substr(0, i % (row.from.size() + 1));
            result.rows.push_back(MappingRow{start + "\x7f", "", 0});
        }
        result.rows.push_back(row);
    }
    result.rows.resize(4096, MappingRow{"\x7f", "", 0});
    return result;
}

// The plain reference, line by line and row by row; nothing once it has written more than
// 64 KiB (128 chunks), as rows that double the text one after another soon would.
std::optional<std::string> referenceUpTo64KiB(std::string_view input, const Mapping& mapping) {
    std::string out;
    for (std::string line : skelvane::reference::splitLines(input)) {
        for (const MappingRow& row : mapping.rows) {
            Mapping one = mapping;
            one.rows = {row};
            line = skelvane::reference::renameLinePlain(line, one, {});
            if (out.size() + line.size() > (64 << 10)) return std::nullopt;
        }
        out += line + "\r\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte chooses how the bytes after the rows are cut into blocks.
    std::minstd_rand random(data[0]);
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (char& byte : bytes) {
        if (byte == '\x7f') byte = '\x7e';
    }
    std::string_view input = bytes;
    const std::optional<Mapping> rows = rowsReadFrom(input);
    if (!rows) return 0;
    // The rows added never match: the reference needs only the rows read.
    const std::optional<std::string> expected = referenceUpTo64KiB(input, *rows);
    if (!expected) return 0;

    const Mapping mapping = padded(*rows);
    const skelvane::conversion::CompiledMapping compiled(mapping, {});
    StringSink sink;
    skelvane::conversion::BlockConverter converter(compiled, sink);
    for (std::size_t pos = 0; pos < input.size();) {
        const std::size_t length = std::min<std::size_t>(1 + random() % 64, input.size() - pos);
        converter.convert(input.substr(pos, length));
        pos += length;
    }
    converter.finish();
    if (sink.text != *expected) __builtin_trap();
    return 0;
}
