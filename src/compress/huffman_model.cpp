#include "compress/huffman_model.h"

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
    m.weight[SCRATCH_NODE] = 0;
    m.weight[SCRATCH_NODE + 1] = SENTINEL_WEIGHT;
    m.parent[ROOT_NODE] = 0;
}

void RebuildModel(HuffmanModel& m) {
    // Gather the leaves, in node order, with their weights halved (rounding up). Node order is weight order,
    // and halving keeps it.
    uint16_t leafWeight[SYMBOL_COUNT];
    uint16_t leafChild[SYMBOL_COUNT];
    int leaves = 0;
    for (int n = 0; n < NODE_COUNT; ++n) {
        if (m.child[n] >= NODE_COUNT) {
            ZS_ASSERT(leaves < SYMBOL_COUNT);
            leafWeight[leaves] = static_cast<uint16_t>((m.weight[n] + 1u) / 2u);
            leafChild[leaves] = m.child[n];
            ++leaves;
        }
    }
    ZS_ASSERT(leaves == SYMBOL_COUNT);

    // Rebuild the tree by the plain steps' rule: the internal node that pairs nodes i and i + 1 (i = 0, 2, 4,
    // ...) goes after every node of equal or smaller weight. The internal nodes come out in weight order
    // (each pairs two nodes at least as heavy as the pair before), so the nodes are a merge of the two sorted
    // lists, a leaf first where weights are equal; an internal node is ready once both its children have
    // their place, and until then the next node is a leaf.
    int nextLeaf = 0;
    unsigned nextPair = 0;  // the children of the next internal node: nextPair, nextPair + 1
    for (unsigned k = 0; k < static_cast<unsigned>(NODE_COUNT); ++k) {
        bool pairReady = nextPair + 1 < k;
        unsigned pairWeight = pairReady ? m.weight[nextPair] + m.weight[nextPair + 1] : 0;
        if (nextLeaf < SYMBOL_COUNT && (!pairReady || leafWeight[nextLeaf] <= pairWeight)) {
            m.weight[k] = leafWeight[nextLeaf];
            m.child[k] = leafChild[nextLeaf];
            ++nextLeaf;
        } else {
            ZS_ASSERT(pairReady && pairWeight <= REBUILD_WEIGHT);
            m.weight[k] = static_cast<uint16_t>(pairWeight);
            m.child[k] = static_cast<uint16_t>(nextPair);
            nextPair += 2;
        }
    }
    ZS_ASSERT(nextLeaf == SYMBOL_COUNT && nextPair == 2u * (SYMBOL_COUNT - 1));
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
