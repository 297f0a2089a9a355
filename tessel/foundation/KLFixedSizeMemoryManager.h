#pragma once

#include <cstddef>

#include <tessel/foundation/KLMemoryManager.h>

namespace kelp {

// A pool of equal-sized elements carved from blocks: the first block holds
// `firstBlockCount` elements, every later one `blockCount`. Freed elements are
// reused before a new block is taken; blocks go back to the parent (or the
// default manager) only when the pool is destroyed.
//
//   KLFixedSizeMemoryManager pool(sizeof(Node), 128, 1024);
//   Node* n = static_cast<Node*>(pool.malloc(sizeof(Node)));
//   pool.free(n);
//
// The pool does no locking of its own: its owner serialises access (KLList
// allocates and frees nodes only under its write lock). Requests larger than
// the element size fail with KL_STATUS_INVALID_ARGUMENT.
class KLFixedSizeMemoryManager final : public KLMemoryManager {
public:
    KLFixedSizeMemoryManager(std::size_t elementSize, std::size_t firstBlockCount,
                             std::size_t blockCount, KLMemoryManager* parent = nullptr);
    ~KLFixedSizeMemoryManager() override;

    // The common cases are inline: a list knows its pool's type, so a node
    // costs a few instructions rather than two calls into the library.
    void* malloc(std::size_t size) override {
        if (size > m_elementSize || !m_freeList || failuresPending()) return mallocSlowly(size);
        FreeElement* element = m_freeList;
        m_freeList = element->next;
        --m_freeCount;
        return element;
    }
    void free(void* element) override {
        if (!element) return;
        auto* node = static_cast<FreeElement*>(element);
        node->next = m_freeList;
        m_freeList = node;
        ++m_freeCount;
    }

    std::size_t getElementSize() const { return m_elementSize; }
    std::size_t getBlockCount() const { return m_blocks; }    // blocks taken so far
    std::size_t getCapacity() const { return m_capacity; }    // elements in those blocks
    std::size_t getFreeCount() const { return m_freeCount; }  // of which unused

private:
    struct FreeElement {
        FreeElement* next;
    };
    struct Block {
        Block* next;
        std::max_align_t align;  // elements start here, suitably aligned
    };

    bool grow();
    void* mallocSlowly(std::size_t size);

    KLMemoryManager* m_parent;  // where blocks come from
    std::size_t m_elementSize;  // as asked for
    std::size_t m_stride;       // element size rounded for the free-list link and alignment
    std::size_t m_firstBlockCount;
    std::size_t m_blockCount;
    Block* m_blockList = nullptr;
    FreeElement* m_freeList = nullptr;
    std::size_t m_blocks = 0;
    std::size_t m_capacity = 0;
    std::size_t m_freeCount = 0;
};

}  // namespace kelp
