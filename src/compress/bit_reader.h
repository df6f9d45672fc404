// MSB-first bit reader over a read stream.
//
// State:
//   bits   - the bits in hand, the next one in bit 63; below the top `count` bits are zeros or the first
//            bits of the stream's next byte (never more than 7 of them).
//   count  - number of valid bits in `bits`, 0..63.
//   phantom - number of 0xFF bytes supplied past the end of the input. They always sit at the tail of what
//             was loaded, so the reader has handed out a bit that the file does not hold exactly when
//             count < 8 * phantom.
// A missing byte reads as 0xFF, so past the end every bit is 1, as the format's reader has always done.
#pragma once

#include <cstdint>

#include "base/invariant.h"
#include "compress/huffman_model.h"
#include "compress/stream_io.h"

namespace zs::codec {

class BitReader {
  public:
    BitReader(CodecState& state, int slot)
        : state_(state), slot_(slot), cursor_(Slot(state, slot).cursor), limit_(Slot(state, slot).limit) {}
    BitReader(const BitReader&) = delete;
    BitReader& operator=(const BitReader&) = delete;

    // After Refill at least REFILL_BITS bits are in hand: enough for one whole item of the stream.
    static constexpr int REFILL_BITS = 40;
    static_assert(REFILL_BITS >= MAX_ITEM_BITS, "one refill serves a longest code and an offset field");
    // A refill moves whole bytes, so it can promise no more than 64 - 7 bits.
    static_assert(REFILL_BITS <= 64 - 7, "a refill can always reach REFILL_BITS");

    // Far from the end of the buffer a refill loads the next eight bytes and keeps as many whole ones as fit,
    // without testing whether any are needed: the test would be mispredicted half of the time. The part of a
    // byte that does not fit lands below `count`; those are the stream's real next bits, so OR-ing the same
    // byte in again at the next refill changes nothing.
    inline void Refill() {
        ZS_ASSERT(count_ >= 0 && count_ < 64);
        if (limit_ - cursor_ >= 8) {
            bits_ |= LoadBigEndian64(cursor_) >> count_;
            cursor_ += (63 - count_) >> 3;
            count_ |= 56;  // count + 8 * (bytes taken): 56..63
            return;
        }
        if (count_ >= REFILL_BITS) return;
        RefillNearTheEnd();
    }

    // The bits in hand, next bit highest; a caller that walks them itself hands back what is left with
    // Consume.
    uint64_t Peek() const { return bits_; }
    int Count() const { return count_; }
    void Consume(uint64_t remaining, int used) {
        ZS_ASSERT(used >= 0 && used <= count_);
        bits_ = remaining;
        count_ -= used;
    }

    // Reads `n` (1..32) bits, first bit highest. Needs n <= Count().
    uint32_t Take(int n) {
        ZS_ASSERT(n >= 1 && n <= 32 && n <= count_);
        auto value = static_cast<uint32_t>(bits_ >> (64 - n));
        bits_ <<= n;
        count_ -= n;
        return value;
    }

    bool UsedBitsPastEnd() const { return phantom_ != 0 && static_cast<uint64_t>(count_) < 8u * phantom_; }

  private:
    // Byte by byte through the stream, which refills its buffer when it runs out.
    void RefillNearTheEnd() {
        StreamSlot& s = Slot(state_, slot_);
        s.cursor = const_cast<uint8_t*>(cursor_);
        while (count_ < 56) {
            int byte = ReadStreamByte(state_, slot_);
            if (byte < 0) {
                byte = 0xFF;
                ++phantom_;
            }
            bits_ |= static_cast<uint64_t>(byte) << (56 - count_);
            count_ += 8;
        }
        cursor_ = s.cursor;
        limit_ = s.limit;
    }

    static uint64_t LoadBigEndian64(const uint8_t* p) {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
        return v;
    }

    // The stream's cursor and limit, copied: the reader's own members can stay in registers, which the
    // stream's cannot while the decoder stores bytes (a byte store may alias anything). The stream's own
    // cursor is behind while the reader reads; the reader brings it up to date before it reads through the
    // stream itself.
    CodecState& state_;
    int slot_;
    const uint8_t* cursor_;
    const uint8_t* limit_;
    uint64_t bits_ = 0;
    int count_ = 0;
    uint32_t phantom_ = 0;
};

}  // namespace zs::codec
