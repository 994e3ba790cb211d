#pragma once

#include <cstddef>
#include <string_view>

namespace skelvane::conversion {

/// Tells, from the first bytes of an input fed in pieces of any size, whether it starts like a
/// BVH file: `HIERARCHY` (case-sensitive) first, after an optional UTF-8 byte-order mark and any
/// ASCII white space. Holds a few counters only, however much white space comes first.
class BvhStartCheck {
public:
    /// The answer so far: more input needed, or settled for good.
    enum class Verdict { NeedMore, Bvh, NotBvh };

    /// Takes the next piece of the input; once settled, further pieces change nothing.
    Verdict feed(std::string_view piece);

    /// The answer at the end of the input: an input that ends undecided is not BVH.
    Verdict finish();

    /// The answer so far, without feeding anything.
    Verdict verdict() const { return verdict_; }

private:
    Verdict verdict_ = Verdict::NeedMore;
    // Bytes of the byte-order mark seen so far, and of "HIERARCHY" once past the white space.
    std::size_t bomMatched_ = 0;
    bool bomDone_ = false;
    std::size_t keywordMatched_ = 0;
};

/// True when the whole of `bytes` starts like a BVH file (see BvhStartCheck).
bool startsLikeBvh(std::string_view bytes);

}  // namespace skelvane::conversion
