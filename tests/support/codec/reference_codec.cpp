#include "reference_codec.h"

#include <cstring>

namespace zs::test {
namespace {

constexpr int N = 4096, F = 60, THRESHOLD = 2, START = N - F, NIL_POS = N;
constexpr int SYMBOLS = 314, NODES = 2 * SYMBOLS - 1, ROOT = NODES - 1;

uint8_t ring[N + F - 1];  // shared by both directions, like the production window

struct Model {
    uint32_t freq[NODES + 1];
    int son[NODES];
    int prnt[NODES + SYMBOLS];
    int rebuilds = 0;

    void Init() {
        for (int i = 0; i < SYMBOLS; ++i) {
            freq[i] = 1;
            son[i] = i + NODES;
            prnt[i + NODES] = i;
        }
        for (int i = 0, j = SYMBOLS; j <= ROOT; i += 2, ++j) {
            freq[j] = freq[i] + freq[i + 1];
            son[j] = i;
            prnt[i] = prnt[i + 1] = j;
        }
        freq[NODES] = 0xFFFF;
        prnt[ROOT] = 0;
        rebuilds = 0;
    }

    void Rebuild() {
        ++rebuilds;
        int j = 0;
        for (int i = 0; i < NODES; ++i) {
            if (son[i] >= NODES) {
                freq[j] = (freq[i] + 1) / 2;
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, jj = SYMBOLS; jj < NODES; i += 2, ++jj) {
            uint32_t f = freq[i] + freq[i + 1];
            int k = jj - 1;
            while (f < freq[k]) --k;
            ++k;
            for (int m = jj; m > k; --m) freq[m] = freq[m - 1];
            freq[k] = f;
            for (int m = jj; m > k; --m) son[m] = son[m - 1];
            son[k] = i;
        }
        for (int i = 0; i < NODES; ++i) {
            int k = son[i];
            if (k >= NODES) {
                prnt[k] = i;
            } else {
                prnt[k] = prnt[k + 1] = i;
            }
        }
    }

    void Update(int c) {
        if (freq[ROOT] == 0x8000) Rebuild();
        int n = prnt[c + NODES];
        do {
            uint32_t k = ++freq[n];
            if (k > freq[n + 1]) {
                int l = n + 1;
                while (k > freq[++l]) {
                }
                --l;
                freq[n] = freq[l];
                freq[l] = k;
                int i = son[n];
                prnt[i] = l;
                if (i < NODES) prnt[i + 1] = l;
                int jj = son[l];
                son[l] = i;
                prnt[jj] = n;
                if (jj < NODES) prnt[jj + 1] = n;
                son[n] = jj;
                n = l;
            }
            n = prnt[n];
        } while (n != 0);
    }
};

Model model;

struct BitSink {
    std::vector<uint8_t>& out;
    int used = 0;
    void Bit(int b) {
        if (used == 0) out.push_back(0);
        if (b) out.back() |= static_cast<uint8_t>(0x80 >> used);
        used = (used + 1) & 7;
    }
};

struct BitSource {
    const std::vector<uint8_t>& in;
    size_t at;
    uint64_t taken = 0;
    int Bit() {
        size_t byte = at + taken / 8;
        int value = byte < in.size() ? in[byte] : 0xFF;
        int b = (value >> (7 - taken % 8)) & 1;
        ++taken;
        return b;
    }
};

// The binary search trees over ring positions.
struct Dictionary {
    int lson[N + 1], rson[N + 257], dad[N + 1];
    int matchPosition = 0, matchLength = 0;

    void Reset() {
        for (int i = N + 1; i <= N + 256; ++i) rson[i] = NIL_POS;
        for (int i = 0; i < N; ++i) dad[i] = NIL_POS;
    }

    void Insert(int r) {
        int cmp = 1;
        int p = N + 1 + ring[r];
        rson[r] = lson[r] = NIL_POS;
        matchLength = 0;
        int i;
        for (;;) {
            if (cmp >= 0) {
                if (rson[p] != NIL_POS) {
                    p = rson[p];
                } else {
                    rson[p] = r;
                    dad[r] = p;
                    return;
                }
            } else {
                if (lson[p] != NIL_POS) {
                    p = lson[p];
                } else {
                    lson[p] = r;
                    dad[r] = p;
                    return;
                }
            }
            for (i = 1; i < F; ++i) {
                cmp = ring[r + i] - ring[p + i];
                if (cmp != 0) break;
            }
            if (i > THRESHOLD) {
                if (i > matchLength) {
                    matchPosition = ((r - p) & (N - 1)) - 1;
                    matchLength = i;
                    if (matchLength >= F) break;
                }
                if (i == matchLength) {
                    int c = ((r - p) & (N - 1)) - 1;
                    if (c < matchPosition) matchPosition = c;
                }
            }
        }
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = r;
        dad[rson[p]] = r;
        if (rson[dad[p]] == p) {
            rson[dad[p]] = r;
        } else {
            lson[dad[p]] = r;
        }
        dad[p] = NIL_POS;
    }

    void Delete(int p) {
        if (dad[p] == NIL_POS) return;
        int q;
        if (rson[p] == NIL_POS) {
            q = lson[p];
        } else if (lson[p] == NIL_POS) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != NIL_POS) {
                do {
                    q = rson[q];
                } while (rson[q] != NIL_POS);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = q;
            }
            rson[q] = rson[p];
            dad[rson[p]] = q;
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p) {
            rson[dad[p]] = q;
        } else {
            lson[dad[p]] = q;
        }
        dad[p] = NIL_POS;
    }
};

Dictionary dict;

void EncodeOne(BitSink& sink, int c, ReferenceStats* stats) {
    int bits[64];
    int len = 0;
    int k = model.prnt[c + NODES];
    do {
        bits[len++] = k & 1;
        k = model.prnt[k];
    } while (k != ROOT);
    for (int i = len - 1; i >= 0; --i) sink.Bit(bits[i]);
    if (stats != nullptr) {
        ++stats->symbols;
        if (len > stats->longestCode) stats->longestCode = len;
    }
    model.Update(c);
}

}  // namespace

void ResetReferenceState() {
    std::memset(ring, 0, sizeof ring);
}

std::vector<uint8_t> ReferenceCompress(const std::vector<uint8_t>& input, ReferenceStats* stats) {
    std::vector<uint8_t> out;
    auto size = static_cast<uint32_t>(input.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(size >> (8 * i)));
    if (size == 0) return out;

    BitSink sink{out};
    size_t next = 0;
    auto getc = [&]() -> int { return next < input.size() ? input[next++] : -1; };

    model.Init();
    dict.Reset();
    std::memset(ring, ' ', START);
    int s = 0, r = START, len, c;
    for (len = 0; len < F && (c = getc()) != -1; ++len) ring[r + len] = static_cast<uint8_t>(c);
    for (int i = 1; i <= F; ++i) dict.Insert(r - i);
    dict.Insert(r);
    do {
        if (dict.matchLength > len) dict.matchLength = len;
        if (dict.matchLength <= THRESHOLD) {
            dict.matchLength = 1;
            EncodeOne(sink, ring[r], stats);
        } else {
            EncodeOne(sink, 255 - THRESHOLD + dict.matchLength, stats);
            for (int b = 11; b >= 0; --b) sink.Bit((dict.matchPosition >> b) & 1);
        }
        int last = dict.matchLength, i;
        for (i = 0; i < last && (c = getc()) != -1; ++i) {
            dict.Delete(s);
            ring[s] = static_cast<uint8_t>(c);
            if (s < F - 1) ring[s + N] = static_cast<uint8_t>(c);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            dict.Insert(r);
        }
        while (i++ < last) {
            dict.Delete(s);
            s = (s + 1) & (N - 1);
            r = (r + 1) & (N - 1);
            if (--len) dict.Insert(r);
        }
    } while (len > 0);
    if (stats != nullptr) stats->rebuilds = model.rebuilds;
    return out;
}

std::vector<uint8_t> ReferenceDecompress(const std::vector<uint8_t>& body, ReferenceStats* stats) {
    std::vector<uint8_t> out;
    if (body.size() < 4) return out;
    uint32_t size = body[0] | body[1] << 8 | body[2] << 16 | static_cast<uint32_t>(body[3]) << 24;
    if (size == 0) return out;

    BitSource source{body, 4};
    model.Init();
    std::memset(ring, ' ', START);
    int r = START;
    while (out.size() < size) {
        int n = model.son[ROOT];
        int len = 0;
        while (n < NODES) {
            n = model.son[n + source.Bit()];
            ++len;
        }
        int c = n - NODES;
        model.Update(c);
        if (stats != nullptr) {
            ++stats->symbols;
            if (len > stats->longestCode) stats->longestCode = len;
        }
        if (c < 256) {
            out.push_back(static_cast<uint8_t>(c));
            ring[r++] = static_cast<uint8_t>(c);
            r &= N - 1;
        } else {
            int d = 0;
            for (int b = 0; b < 12; ++b) d = 2 * d + source.Bit();
            int q = (r - d - 1) & (N - 1);
            for (int k = 0; k < c - 253; ++k) {
                uint8_t b = ring[(q + k) & (N - 1)];
                out.push_back(b);
                ring[r++] = b;
                r &= N - 1;
            }
        }
    }
    out.resize(size);
    if (stats != nullptr) {
        stats->rebuilds = model.rebuilds;
        stats->bitsRead = source.taken;
    }
    return out;
}

}  // namespace zs::test
