#include "ui/source_check.h"

#include <array>

#include <QFile>

#include "conversion/bvh_start.h"

namespace skelvane::ui {

namespace {

// A start still undecided after this much (white space, mostly) counts as not BVH here: adding a
// row must not read a whole file.
constexpr qint64 kMostBytesRead = 64 * 1024;
constexpr qint64 kPieceSize = 4096;

}  // namespace

bool doesNotStartLikeBvh(const QString& path) {
    using Verdict = conversion::BvhStartCheck::Verdict;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    conversion::BvhStartCheck check;
    std::array<char, kPieceSize> piece{};
    qint64 read = 0;
    while (check.verdict() == Verdict::NeedMore && read < kMostBytesRead) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0) return false;
        if (got == 0) return check.finish() == Verdict::NotBvh;
        check.feed({piece.data(), static_cast<std::size_t>(got)});
        read += got;
    }
    return check.verdict() != Verdict::Bvh;
}

}  // namespace skelvane::ui
