#include "KLFixedSizeMemoryManager.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "kl_status.h"

namespace kelp {

namespace {
// A multiple of 8 keeps every element aligned for any type whose size is the
// element size: sizeof(T) is a multiple of alignof(T), and blocks start at
// max_align_t alignment.
std::size_t strideFor(std::size_t elementSize) {
    const std::size_t size = std::max(elementSize, sizeof(void*));
    return (size + 7) & ~std::size_t{7};
}
}  // namespace

KLFixedSizeMemoryManager::KLFixedSizeMemoryManager(std::size_t elementSize,
                                                   std::size_t firstBlockCount,
                                                   std::size_t blockCount, KLMemoryManager* parent)
    : m_parent(parent ? parent : getDefaultMemoryManager()),
      m_elementSize(elementSize),
      m_stride(strideFor(elementSize)),
      m_firstBlockCount(std::max<std::size_t>(firstBlockCount, 1)),
      m_blockCount(std::max<std::size_t>(blockCount, 1)) {}

KLFixedSizeMemoryManager::~KLFixedSizeMemoryManager() {
    while (m_blockList) {
        Block* next = m_blockList->next;
        m_parent->free(m_blockList);
        m_blockList = next;
    }
}

bool KLFixedSizeMemoryManager::grow() {
    const std::size_t count = m_blocks == 0 ? m_firstBlockCount : m_blockCount;
    const std::size_t header = offsetof(Block, align);
    if (count > (std::numeric_limits<std::size_t>::max() - header) / m_stride) return false;
    auto* block = static_cast<Block*>(m_parent->malloc(header + count * m_stride));
    if (!block) return false;
    block->next = m_blockList;
    m_blockList = block;
    ++m_blocks;
    m_capacity += count;
    m_freeCount += count;
    // Thread the new elements onto the free list, first element first out.
    auto* first = reinterpret_cast<unsigned char*>(block) + header;
    for (std::size_t i = count; i-- > 0;) {
        auto* element = reinterpret_cast<FreeElement*>(first + i * m_stride);
        element->next = m_freeList;
        m_freeList = element;
    }
    return true;
}

void* KLFixedSizeMemoryManager::mallocSlowly(std::size_t size) {
    if (size > m_elementSize) {
        kl_status_setLastError(KL_STATUS_INVALID_ARGUMENT);
        return nullptr;
    }
    if (injectedFailure()) return failed();
    if (!m_freeList && !grow()) return failed();
    FreeElement* element = m_freeList;
    m_freeList = element->next;
    --m_freeCount;
    return element;
}

}  // namespace kelp
