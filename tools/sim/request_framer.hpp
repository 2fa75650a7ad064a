// Cuts the byte stream from the host into request frames. A broken header is handed on once
// (the sensor answers it with an error reply); the framer then skips ahead to the next byte
// sequence that looks like a good header, so one damaged request costs one reply.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qelto::sim {

class RequestFramer {
  public:
    void Feed(std::span<const std::uint8_t> bytes);
    // The next complete request, or a broken one to be answered with an error.
    std::optional<std::vector<std::uint8_t>> Next();
    // Bytes of an unfinished request are waiting.
    bool HasPartial() const { return !buffer_.empty(); }
    // Forgets an unfinished request (the host went quiet in the middle of it).
    void DropPartial();
    void Reset();
    std::uint64_t DiscardedBytes() const { return discarded_; }

  private:
    void Discard(std::size_t n);
    std::vector<std::uint8_t> buffer_;
    bool resync_ = false;
    std::uint64_t discarded_ = 0;
};

}  // namespace qelto::sim
