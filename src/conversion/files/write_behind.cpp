#include "conversion/files/write_behind.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace skelvane::conversion {

WriteBehind::WriteBehind(bool inTurn) : inTurn_(inTurn), blocks_(kSlots * kBlockSize) {}

WriteBehind::WriteBehind(platform::Handle out, bool inTurn) : WriteBehind(inTurn) {
    out_ = out;
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

void WriteBehind::setOutput(platform::Handle out) {
    filling_ = 0;
    waitForWriter();
    const std::lock_guard lock(mutex_);
    out_ = out;
    error_.clear();
    handedOverAtStart_ = handedOver_;
    taken_ = 0;
}

void WriteBehind::waitForWriter() {
    if (!writer_.joinable()) return;
    std::unique_lock lock(mutex_);
    blockWritten_.wait(lock, [&] { return written_ == handedOver_; });
}

void WriteBehind::writeBlocks() {
    for (std::size_t sequence = written_;; ++sequence) {
        platform::Handle out = platform::kNoHandle;
        bool failed = false;
        {
            std::unique_lock lock(mutex_);
            blockFull_.wait(lock, [&] { return stopping_ || handedOver_ > sequence; });
            if (stopping_) return;
            out = out_;
            failed = static_cast<bool>(error_);
        }
        // After a failed write the output's other blocks are dropped: it is failed already.
        const std::error_code error =
            failed ? std::error_code()
                   : platform::writeAll(out, {slot(sequence), lengths_[sequence % kSlots]});
        {
            const std::lock_guard lock(mutex_);
            if (error) error_ = error;
            written_ = sequence + 1;
        }
        blockWritten_.notify_one();
    }
}

std::error_code WriteBehind::handOver() {
    if (inTurn_ || (!writer_.joinable() && !startWriter())) {
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

bool WriteBehind::startWriter() {
    try {
        writer_ = std::thread([this] { writeBlocks(); });
        return true;
    } catch (const std::system_error&) {
        // No second thread (a thread limit, no memory for its stack): written in turn.
        inTurn_ = true;
        return false;
    }
}

std::error_code WriteBehind::write(std::string_view bytes) {
    taken_ += bytes.size();
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
    // An output that fits in one block goes out in one write here: no word to the thread.
    if (handedOver_ == handedOverAtStart_ && filling_ > 0) {
        if (!error_) error_ = platform::writeAll(out_, {slot(handedOver_), filling_});
        filling_ = 0;
        return error_;
    }
    if (filling_ > 0) {
        if (const std::error_code error = handOver()) return error;
    }
    if (!writer_.joinable()) return error_;
    std::unique_lock lock(mutex_);
    blockWritten_.wait(lock, [&] { return error_ || written_ == handedOver_; });
    return error_;
}

}  // namespace skelvane::conversion
