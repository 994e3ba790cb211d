#include "conversion/write_behind.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace skelvane::conversion {

WriteBehind::WriteBehind(platform::Handle out, bool inTurn)
    : out_(out), blocks_(kSlots * kBlockSize) {
    if (inTurn) return;
    try {
        writer_ = std::thread([this] { writeBlocks(); });
    } catch (const std::system_error&) {
        // No second thread (a thread limit, no memory for its stack): written in turn.
    }
}

WriteBehind::~WriteBehind() {
    if (!writer_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    blockFull_.notify_one();
    writer_.join();
}

void WriteBehind::writeBlocks() {
    for (std::size_t sequence = 0;; ++sequence) {
        {
            std::unique_lock lock(mutex_);
            blockFull_.wait(lock, [&] { return stopping_ || handedOver_ > sequence; });
            if (stopping_) return;
        }
        const std::error_code error =
            platform::writeAll(out_, {slot(sequence), lengths_[sequence % kSlots]});
        {
            const std::lock_guard lock(mutex_);
            if (error) error_ = error;
            written_ = sequence + 1;
        }
        blockWritten_.notify_one();
        if (error) return;
    }
}

std::error_code WriteBehind::handOver() {
    if (!writer_.joinable()) {
        if (!error_) error_ = platform::writeAll(out_, {slot(handedOver_), filling_});
        filling_ = 0;
        return error_;
    }
    std::unique_lock lock(mutex_);
    lengths_[handedOver_ % kSlots] = filling_;
    ++handedOver_;
    filling_ = 0;
    lock.unlock();
    blockFull_.notify_one();
    lock.lock();
    // The next block to fill must be free.
    blockWritten_.wait(lock, [&] { return error_ || handedOver_ - written_ < kSlots; });
    return error_;
}

std::error_code WriteBehind::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t count = std::min(bytes.size(), kBlockSize - filling_);
        std::memcpy(slot(handedOver_) + filling_, bytes.data(), count);
        filling_ += count;
        bytes.remove_prefix(count);
        if (filling_ == kBlockSize) {
            if (const std::error_code error = handOver()) return error;
        }
    }
    return {};
}

std::error_code WriteBehind::flush() {
    if (filling_ > 0) {
        if (const std::error_code error = handOver()) return error;
    }
    if (!writer_.joinable()) return error_;
    std::unique_lock lock(mutex_);
    blockWritten_.wait(lock, [&] { return error_ || written_ == handedOver_; });
    return error_;
}

}  // namespace skelvane::conversion
