#include "compress/huffman_model.h"

#include <cstring>

namespace zs::codec {

void InitModel(HuffmanModel& m) {
    for (int s = 0; s < SYMBOL_COUNT; ++s) {
        m.weight[s] = 1;
        m.child[s] = static_cast<uint16_t>(s + NODE_COUNT);
        m.parent[s + NODE_COUNT] = static_cast<uint16_t>(s);
    }
    for (int i = 0, j = SYMBOL_COUNT; j <= ROOT_NODE; i += 2, ++j) {
        m.weight[j] = static_cast<uint16_t>(m.weight[i] + m.weight[i + 1]);
        m.child[j] = static_cast<uint16_t>(i);
        m.parent[i] = m.parent[i + 1] = static_cast<uint16_t>(j);
    }
    m.weight[NODE_COUNT] = m.weight[NODE_COUNT + 1] = SENTINEL_WEIGHT;
    m.parent[ROOT_NODE] = 0;
}

void RebuildModel(HuffmanModel& m) {
    // Gather the leaves at the front, in node order, with their weights halved (rounding up).
    int j = 0;
    for (int n = 0; n < NODE_COUNT; ++n) {
        if (m.child[n] >= NODE_COUNT) {
            m.weight[j] = static_cast<uint16_t>((m.weight[n] + 1u) / 2u);
            m.child[j] = m.child[n];
            ++j;
        }
    }
    // Rebuild the internal nodes; a new node goes after every node of equal weight.
    for (int i = 0, k, jn = SYMBOL_COUNT; jn < NODE_COUNT; i += 2, ++jn) {
        unsigned w = static_cast<unsigned>(m.weight[i]) + m.weight[i + 1];
        for (k = jn - 1; w < m.weight[k]; --k) {
        }
        ++k;
        std::memmove(&m.weight[k + 1], &m.weight[k], sizeof(m.weight[0]) * static_cast<size_t>(jn - k));
        m.weight[k] = static_cast<uint16_t>(w);
        std::memmove(&m.child[k + 1], &m.child[k], sizeof(m.child[0]) * static_cast<size_t>(jn - k));
        m.child[k] = static_cast<uint16_t>(i);
    }
    for (int n = 0; n < NODE_COUNT; ++n) {
        unsigned c = m.child[n];
        if (c >= static_cast<unsigned>(NODE_COUNT)) {
            m.parent[c] = static_cast<uint16_t>(n);
        } else {
            m.parent[c] = m.parent[c + 1] = static_cast<uint16_t>(n);
        }
    }
}

}  // namespace zs::codec
