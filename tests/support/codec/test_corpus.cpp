#include "test_corpus.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>

namespace zs::test {

std::vector<uint8_t> TextLike(size_t size, uint32_t seed) {
    static const char* const kWords[] = {
        "the",     "setup",   "file",  "window", "medium",    "language", "of",      "and",     "directory",
        "to",      "install", "copy",  "a",      "temporary", "list",     "program", "message", "Windows",
        "restart", "module",  "space", "drive",  "is",        "with",     "for",     "select",  "compressed"};
    std::mt19937 rng(seed);
    std::string text;
    text.reserve(size + 16);
    while (text.size() < size) {
        text += kWords[rng() % std::size(kWords)];
        switch (rng() % 16) {
            case 0:
                text += ".\r\n";
                break;
            case 1:
                text += ", ";
                break;
            case 2:
                text += std::to_string(rng() % 1000) + " ";
                break;
            default:
                text += ' ';
        }
    }
    text.resize(size);
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> SingleByteRun(size_t size, uint8_t byte) {
    return std::vector<uint8_t>(size, byte);
}

std::vector<uint8_t> FibonacciMatchLengths(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> block(512);
    for (auto& b : block) b = static_cast<uint8_t>(rng());

    // One round: length 3 + i appears fib[i] times, spread evenly over the round.
    const int fib[] = {1, 1, 2, 3, 5, 8};
    std::vector<std::pair<double, int>> round;
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < fib[i]; ++j) round.emplace_back((j + 0.5) / fib[i], i);
    }
    std::sort(round.begin(), round.end());

    std::vector<uint8_t> data(block.begin(), block.end());
    size_t sinceBlock = 0;
    long pieces = 0;
    while (data.size() < size) {
        for (const auto& step : round) {
            if (sinceBlock > 3400) {  // keep the whole block inside the window
                data.insert(data.end(), block.begin(), block.end());
                sinceBlock = 0;
            }
            int length = 3 + step.second;
            size_t from = rng() % (block.size() - static_cast<size_t>(length));
            data.insert(data.end(), block.begin() + static_cast<long>(from),
                        block.begin() + static_cast<long>(from) + length);
            sinceBlock += static_cast<size_t>(length);
            if (++pieces % 97 == 0) data.push_back(static_cast<uint8_t>(rng()));
        }
    }
    data.resize(size);
    return data;
}

std::vector<uint8_t> OwnExecutable() {
    std::ifstream in("/proc/self/exe", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace zs::test
