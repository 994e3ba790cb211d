#include "conversion/line_scan.h"

#include <array>
#include <bit>
#include <cstdint>

#include "conversion/rename_table.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SKELVANE_X86_VECTORS 1
#endif

namespace skelvane::conversion {

namespace {

// What the line scanner needs to know of a byte: nothing, a line end, or the first byte of
// some search text.
enum ByteClass : unsigned char { kPlain = 0, kLineEnd = 1, kSearchStart = 2 };

constexpr std::array<unsigned char, 256> kByteClasses = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        if (kSearchStartBytes[byte]) table[byte] = kSearchStart;
    }
    table['\r'] = kLineEnd;
    table['\n'] = kLineEnd;
    return table;
}();

// Line ends are below 0x20 and every search text starts with a lower-case letter (0x61 and
// up), so a stretch whose bytes all lie in 0x20..0x5F (digits, blanks, signs, dots, capitals:
// motion data) holds nothing the scanner has to look at. Shifted down by 0x20, such a byte
// keeps its top two bits clear and every other byte sets one of them.
static_assert([] {
    for (int byte = 0x20; byte < 0x60; ++byte) {
        if (kByteClasses[static_cast<std::size_t>(byte)] != kPlain) return false;
    }
    return true;
}());

constexpr std::size_t kStride = 64;

// True when the byte ends the line; notes a byte that begins a search text.
[[gnu::always_inline]] inline bool endsLine(char byte, bool& mayMatch) {
    const unsigned char cls = kByteClasses[static_cast<unsigned char>(byte)];
    mayMatch |= cls == kSearchStart;
    return cls == kLineEnd;
}

// The common frame: whole strides, looking only at the bytes `markedBytes` marks (bit i set
// when byte i of the 64 lies outside 0x20..0x5F), then the short tail byte by byte.
template <std::uint64_t (*markedBytes)(const char*)>
[[gnu::always_inline]] inline std::size_t findLineEnd(const char* data, std::size_t pos,
                                                      std::size_t size, bool& mayMatch) {
    for (; pos + kStride <= size; pos += kStride) {
        for (std::uint64_t marked = markedBytes(data + pos); marked != 0; marked &= marked - 1) {
            const std::size_t at = pos + static_cast<std::size_t>(std::countr_zero(marked));
            if (endsLine(data[at], mayMatch)) return at;
        }
    }
    for (; pos < size; ++pos) {
        if (endsLine(data[pos], mayMatch)) return pos;
    }
    return size;
}

// Portable: a plain loop the compiler turns into whatever vectors the build targets, and
// the mask only for the strides that hold something.
std::uint64_t markedBytesPortable(const char* data) {
    unsigned char seen = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
        seen |= static_cast<unsigned char>(static_cast<unsigned char>(data[i]) - 0x20u);
    }
    if ((seen & 0xC0u) == 0) return 0;
    std::uint64_t marked = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
        const auto shifted =
            static_cast<unsigned char>(static_cast<unsigned char>(data[i]) - 0x20u);
        marked |= static_cast<std::uint64_t>(shifted >= 0x40u) << i;
    }
    return marked;
}

#ifdef SKELVANE_X86_VECTORS
__attribute__((target("avx512bw"))) std::uint64_t markedBytesAvx512(const char* data) {
    const __m512i shifted = _mm512_sub_epi8(_mm512_loadu_si512(data), _mm512_set1_epi8(0x20));
    return _mm512_test_epi8_mask(shifted, _mm512_set1_epi8(static_cast<char>(0xC0)));
}

// movemask gives bit 7 of every byte; adding the bytes to themselves moves bit 6 there.
__attribute__((target("avx2"))) std::uint32_t markedBytesAvx2Half(const char* data) {
    const __m256i shifted = _mm256_sub_epi8(
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data)), _mm256_set1_epi8(0x20));
    const __m256i bits = _mm256_or_si256(shifted, _mm256_add_epi8(shifted, shifted));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(bits));
}

__attribute__((target("avx2"))) std::uint64_t markedBytesAvx2(const char* data) {
    return markedBytesAvx2Half(data) | static_cast<std::uint64_t>(markedBytesAvx2Half(data + 32))
                                           << 32;
}

__attribute__((target("avx512bw"))) std::size_t findLineEndAvx512(const char* data, std::size_t pos,
                                                                  std::size_t size,
                                                                  bool& mayMatch) {
    return findLineEnd<markedBytesAvx512>(data, pos, size, mayMatch);
}

__attribute__((target("avx2"))) std::size_t findLineEndAvx2(const char* data, std::size_t pos,
                                                            std::size_t size, bool& mayMatch) {
    return findLineEnd<markedBytesAvx2>(data, pos, size, mayMatch);
}
#endif

std::size_t findLineEndPortable(const char* data, std::size_t pos, std::size_t size,
                                bool& mayMatch) {
    return findLineEnd<markedBytesPortable>(data, pos, size, mayMatch);
}

}  // namespace

std::vector<std::pair<std::string_view, LineEndFinder>> availableLineEndFinders() {
    std::vector<std::pair<std::string_view, LineEndFinder>> finders;
#ifdef SKELVANE_X86_VECTORS
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw")) finders.emplace_back("avx512bw", findLineEndAvx512);
    if (__builtin_cpu_supports("avx2")) finders.emplace_back("avx2", findLineEndAvx2);
#endif
    finders.emplace_back("portable", findLineEndPortable);
    return finders;
}

LineEndFinder lineEndFinder() {
    static const LineEndFinder fastest = availableLineEndFinders().front().second;
    return fastest;
}

}  // namespace skelvane::conversion
