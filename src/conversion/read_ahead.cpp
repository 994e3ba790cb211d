#include "conversion/read_ahead.h"

namespace skelvane::conversion {

ReadAhead::ReadAhead(platform::Handle in) : blocks_(kSlots * kBlockSize) {
    reader_ = std::thread([this, in] { readBlocks(in); });
}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    slotFree_.notify_one();
    reader_.join();
}

void ReadAhead::readBlocks(platform::Handle in) {
    for (std::size_t sequence = 0;; ++sequence) {
        {
            std::unique_lock lock(mutex_);
            slotFree_.wait(lock, [&] { return stopping_ || sequence - returned_ < kSlots; });
            if (stopping_) return;
        }
        int error = 0;
        const std::ptrdiff_t count = platform::readSome(in, slot(sequence), kBlockSize, error);
        {
            const std::lock_guard lock(mutex_);
            lengths_[sequence % kSlots] = count;
            errors_[sequence % kSlots] = error;
            read_ = sequence + 1;
        }
        blockRead_.notify_one();
        if (count <= 0) return;
    }
}

ReadAhead::Block ReadAhead::next() {
    if (ended_) return {};
    std::ptrdiff_t count = 0;
    int error = 0;
    {
        const std::lock_guard lock(mutex_);
        returned_ = taken_;
    }
    slotFree_.notify_one();
    {
        std::unique_lock lock(mutex_);
        blockRead_.wait(lock, [&] { return read_ > taken_; });
        count = lengths_[taken_ % kSlots];
        error = errors_[taken_ % kSlots];
    }
    if (count <= 0) {
        ended_ = true;
        return {{}, count < 0 ? error : 0};
    }
    const char* bytes = slot(taken_++);
    return {{bytes, static_cast<std::size_t>(count)}, 0};
}

}  // namespace skelvane::conversion
