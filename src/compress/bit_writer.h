// MSB-first bit writer into a write stream. Codes are appended to a 64-bit accumulator and leave it four
// bytes at a time; the last partial byte is padded with zero bits by Flush.
//
// State:
//   acc   - pending bits, right-aligned: the oldest pending bit is bit (count - 1).
//   count - number of pending bits, 0..31 between calls.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/invariant.h"
#include "compress/huffman_model.h"
#include "compress/stream_io.h"

namespace zs::codec {

class BitWriter {
  public:
    BitWriter(CodecState& state, int slot) : state_(state), slot_(slot), stream_(&Slot(state, slot)) {}

    // The longest code and the offset field fit one Put; with at most 31 bits pending the accumulator then
    // holds at most 63.
    static_assert(MAX_CODE_BITS <= 32 && OFFSET_BITS <= 32, "an item's parts fit one Put each");

    // Appends the low `n` bits of `code` (n = 1..32), highest first.
    inline void Put(uint32_t code, int n) {
        ZS_ASSERT(n >= 1 && n <= 32 && count_ < 32 && (n == 32 || code >> n == 0));
        acc_ = (acc_ << n) | code;
        count_ += n;
        if (count_ >= 32) {
            count_ -= 32;
            auto word = static_cast<uint32_t>(acc_ >> count_);
            uint8_t bytes[4] = {static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16),
                                static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)};
            StreamSlot& s = *stream_;
            if (s.limit - s.cursor >= 4) {
                std::memcpy(s.cursor, bytes, 4);
                s.cursor += 4;
            } else {
                WriteStreamBlock(state_, slot_, bytes, 4);
            }
            acc_ &= (uint64_t{1} << count_) - 1;
        }
    }

    // Writes the pending bits, the last byte filled up with zero bits.
    void Flush() {
        while (count_ >= 8) {
            count_ -= 8;
            WriteStreamByte(state_, slot_, static_cast<uint8_t>(acc_ >> count_));
        }
        if (count_ > 0) WriteStreamByte(state_, slot_, static_cast<uint8_t>(acc_ << (8 - count_)));
        acc_ = 0;
        count_ = 0;
    }

  private:
    CodecState& state_;
    int slot_;
    StreamSlot* stream_;
    uint64_t acc_ = 0;
    int count_ = 0;
};

}  // namespace zs::codec
