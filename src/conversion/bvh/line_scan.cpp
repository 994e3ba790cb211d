#include "conversion/bvh/line_scan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SKELVANE_X86_VECTORS 1
#endif

namespace skelvane::conversion {

namespace {

// Line ends are below 0x20, and every byte of 0x20..0x5F that starts a search text is compared
// one by one, so a stretch whose bytes all lie in 0x20..0x5F and are none of those holds
// nothing the scan has to look at: nearly all of a file's motion data. Shifted down by 0x20,
// such a byte keeps its top two bits clear and every other byte sets one of them.
constexpr unsigned char kWindowStart = 0x20;
constexpr unsigned char kWindowEnd = 0x60;
constexpr std::size_t kStride = 64;

// True when the byte ends the line; notes a byte that begins a search text.
[[gnu::always_inline]] inline bool endsLine(const ScanTable& table, char byte, bool& mayMatch) {
    const ScanTable::ByteClass cls = table.classOf(static_cast<unsigned char>(byte));
    mayMatch |= cls == ScanTable::kSearchStart;
    return cls == ScanTable::kLineEnd;
}

// The common frame: whole strides, looking only at the bytes `markedBytes` marks (bit i set
// when byte i of the 64 may matter), then the short tail byte by byte.
template <std::uint64_t (*markedBytes)(const ScanTable&, const char*)>
[[gnu::always_inline]] inline std::size_t findLineEnd(const ScanTable& table, const char* data,
                                                      std::size_t pos, std::size_t size,
                                                      bool& mayMatch) {
    for (; pos + kStride <= size; pos += kStride) {
        for (std::uint64_t marked = markedBytes(table, data + pos); marked != 0;
             marked &= marked - 1) {
            const std::size_t at = pos + static_cast<std::size_t>(std::countr_zero(marked));
            if (endsLine(table, data[at], mayMatch)) return at;
        }
    }
    for (; pos < size; ++pos) {
        if (endsLine(table, data[pos], mayMatch)) return pos;
    }
    return size;
}

// Portable: a plain loop the compiler turns into whatever vectors the build targets, and
// the mask only for the strides that hold something.
std::uint64_t markedBytesPortable(const ScanTable&, const char* data) {
    unsigned char seen = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
        seen |= static_cast<unsigned char>(static_cast<unsigned char>(data[i]) - kWindowStart);
    }
    if ((seen & 0xC0u) == 0) return 0;
    std::uint64_t marked = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
        const auto shifted =
            static_cast<unsigned char>(static_cast<unsigned char>(data[i]) - kWindowStart);
        marked |= static_cast<std::uint64_t>(shifted >= 0x40u) << i;
    }
    return marked;
}

// Portable for tables with search starts inside the window: every byte by the table.
std::uint64_t markedBytesByTable(const ScanTable& table, const char* data) {
    std::uint64_t marked = 0;
    for (std::size_t i = 0; i < kStride; ++i) {
        marked |= static_cast<std::uint64_t>(table.classOf(static_cast<unsigned char>(data[i])) !=
                                             ScanTable::kPlain)
                  << i;
    }
    return marked;
}

#ifdef SKELVANE_X86_VECTORS
// movemask gives bit 7 of every byte; adding the bytes to themselves moves bit 6 there.
template <bool compared>
__attribute__((target("avx2"))) std::uint32_t markedBytesAvx2Half(const ScanTable& table,
                                                                  const char* data) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
    const __m256i shifted = _mm256_sub_epi8(bytes, _mm256_set1_epi8(kWindowStart));
    __m256i bits = _mm256_or_si256(shifted, _mm256_add_epi8(shifted, shifted));
    std::uint32_t marked = static_cast<std::uint32_t>(_mm256_movemask_epi8(bits));
    if constexpr (compared) {
        const __m256i low =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.lowNibbleBits().data()));
        const __m256i high =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.highNibbleBits().data()));
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        const __m256i lowBits = _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, nibble));
        const __m256i highBits =
            _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
        const __m256i none =
            _mm256_cmpeq_epi8(_mm256_and_si256(lowBits, highBits), _mm256_setzero_si256());
        marked |= ~static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
    }
    return marked;
}

template <bool compared>
__attribute__((target("avx2"))) std::uint64_t markedBytesAvx2(const ScanTable& table,
                                                              const char* data) {
    return markedBytesAvx2Half<compared>(table, data) |
           static_cast<std::uint64_t>(markedBytesAvx2Half<compared>(table, data + 32)) << 32;
}

template <bool compared>
__attribute__((target("avx2"))) std::size_t findLineEndAvx2(const ScanTable& table,
                                                            const char* data, std::size_t pos,
                                                            std::size_t size, bool& mayMatch) {
    return findLineEnd<markedBytesAvx2<compared>>(table, data, pos, size, mayMatch);
}
#endif

std::size_t findLineEndPortable(const ScanTable& table, const char* data, std::size_t pos,
                                std::size_t size, bool& mayMatch) {
    return findLineEnd<markedBytesPortable>(table, data, pos, size, mayMatch);
}

std::size_t findLineEndByTable(const ScanTable& table, const char* data, std::size_t pos,
                               std::size_t size, bool& mayMatch) {
    return findLineEnd<markedBytesByTable>(table, data, pos, size, mayMatch);
}

}  // namespace

ScanTable::ScanTable() {
    classes_['\r'] = kLineEnd;
    classes_['\n'] = kLineEnd;
}

void ScanTable::addSearchStart(unsigned char byte) {
    if (classes_[byte] != kPlain) return;
    classes_[byte] = kSearchStart;
    if (byte < kWindowStart || byte >= kWindowEnd) return;
    compared_.push_back(byte);
    const auto highBit = static_cast<unsigned char>(1u << ((byte >> 4) - (kWindowStart >> 4)));
    for (std::size_t lane = 0; lane < highNibbleBits_.size(); lane += 16) {
        highNibbleBits_[lane + (byte >> 4)] = highBit;
        lowNibbleBits_[lane + (byte & 0x0F)] |= highBit;
    }
}

std::vector<std::pair<std::string_view, LineEndFinder>> availableLineEndFinders(
    const ScanTable& table) {
    std::vector<std::pair<std::string_view, LineEndFinder>> finders;
    const bool compared = !table.comparedBytes().empty();
#ifdef SKELVANE_X86_VECTORS
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    if (avx2)
        finders.emplace_back("avx2", compared ? findLineEndAvx2<true> : findLineEndAvx2<false>);
#endif
    if (table.comparedBytes().empty()) {
        finders.emplace_back("portable", findLineEndPortable);
    } else {
        finders.emplace_back("by table", findLineEndByTable);
    }
    return finders;
}

LineEndFinder lineEndFinder(const ScanTable& table) {
    const auto finders = availableLineEndFinders(table);
    // For measuring one vector path against another on a processor that has both.
    if (const char* chosen = std::getenv("SKELVANE_LINE_SCAN")) {
        for (const auto& [name, finder] : finders) {
            if (name == chosen) return finder;
        }
    }
    return finders.front().second;
}

}  // namespace skelvane::conversion
