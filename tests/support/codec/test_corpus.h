// Deterministic inputs for codec tests: each family exercises a different part of the coder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zs::test {

// English-like text with lines and punctuation: many medium-length matches.
std::vector<uint8_t> TextLike(size_t size, uint32_t seed);

// `size` copies of one byte: after the first literal, matches of 60 at distance 1.
std::vector<uint8_t> SingleByteRun(size_t size, uint8_t byte);

// Pieces of a 512-byte random block whose lengths 3..8 occur with Fibonacci frequencies (1, 1, 2, 3, 5, 8),
// the block repeated now and then and a rare random literal: the match-length symbols' weights form a
// Fibonacci chain above the unused symbols, whose codes grow past 16 bits.
std::vector<uint8_t> FibonacciMatchLengths(size_t size, uint32_t seed);

// The bytes of the running test program: real machine code and data.
std::vector<uint8_t> OwnExecutable();

}  // namespace zs::test
