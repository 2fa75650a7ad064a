#include "request_framer.hpp"

#include "protocol/frame.hpp"
#include "protocol/records.hpp"

namespace qelto::sim {
namespace {

bool GoodHeader(const std::uint8_t* h) {
    return h[0] == kStartByte && crc8({h, 7}) == h[7];
}

}  // namespace

void RequestFramer::Feed(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void RequestFramer::Discard(std::size_t n) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(n));
    discarded_ += n;
}

std::optional<std::vector<std::uint8_t>> RequestFramer::Next() {
    for (;;) {
        if (resync_) {
            std::size_t i = 0;
            for (; i < buffer_.size(); ++i) {
                if (buffer_[i] != kStartByte) continue;
                if (buffer_.size() - i < kHeaderSize || GoodHeader(&buffer_[i])) break;
            }
            Discard(i);
            if (buffer_.size() < kHeaderSize) return std::nullopt;
            resync_ = false;
        }
        if (buffer_.size() < kHeaderSize) return std::nullopt;
        const std::size_t length = GetU16(&buffer_[4]);
        if (!GoodHeader(buffer_.data()) || length > kMaxDataLength) {
            std::vector<std::uint8_t> broken(buffer_.begin(), buffer_.begin() + kHeaderSize);
            Discard(1);
            resync_ = true;
            return broken;
        }
        if (buffer_.size() < kHeaderSize + length) return std::nullopt;
        std::vector<std::uint8_t> frame(buffer_.begin(),
                                        buffer_.begin() + static_cast<long>(kHeaderSize + length));
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(kHeaderSize + length));
        return frame;
    }
}

void RequestFramer::DropPartial() {
    discarded_ += buffer_.size();
    buffer_.clear();
    resync_ = false;
}

void RequestFramer::Reset() {
    buffer_.clear();
    resync_ = false;
}

}  // namespace qelto::sim
