#pragma once

#include <cstddef>
#include <cstdint>

namespace tavro::inflate {

// Least significant bit first, as deflate packs them.
class BitReader {
  public:
    BitReader(const std::uint8_t* in, std::size_t size) noexcept : in_(in), size_(size) {}

    bool Bits(int count, unsigned* value) noexcept {
        if (!Peek(count, value)) {
            return false;
        }
        Skip(count);
        return true;
    }

    // The next count bits without taking them; false when the input ends sooner.
    bool Peek(int count, unsigned* value) noexcept {
        while (held_ < count) {
            if (next_ == size_) {
                return false;
            }
            buffer_ |= static_cast<std::uint32_t>(in_[next_++]) << held_;
            held_ += 8;
        }
        *value = buffer_ & ((1U << count) - 1U);
        return true;
    }

    // Only after a Peek of at least count bits.
    void Skip(int count) noexcept {
        buffer_ >>= count;
        held_ -= count;
    }

    // A look ahead may have taken whole bytes beyond the current one: they stay.
    void SkipToByte() noexcept {
        const int partial = held_ % 8;
        buffer_ >>= partial;
        held_ -= partial;
    }

    // Only at a byte boundary.
    bool Byte(std::uint8_t* value) noexcept {
        if (held_ >= 8) {
            *value = static_cast<std::uint8_t>(buffer_ & 0xFFU);
            buffer_ >>= 8;
            held_ -= 8;
            return true;
        }
        if (next_ == size_) {
            return false;
        }
        *value = in_[next_++];
        return true;
    }

  private:
    const std::uint8_t* in_;
    std::size_t size_;
    std::size_t next_ = 0;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

}  // namespace tavro::inflate
