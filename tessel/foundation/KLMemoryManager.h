#pragma once

#include <atomic>
#include <cstddef>

namespace kelp {

// An allocator the collections draw their storage from. The base class is the
// general heap; KLFixedSizeMemoryManager pools equal-sized elements.
//
//   KLMemoryManager* heap = KLMemoryManager::getDefaultMemoryManager();
//   void* p = heap->malloc(64);   // null and KL_STATUS_OUT_OF_MEMORY on failure
//   heap->free(p);
//
// Tests can make the next allocations fail with failNextAllocations, so that
// every "allocation failed" path can be exercised deterministically.
class KLMemoryManager {
public:
    KLMemoryManager() = default;
    virtual ~KLMemoryManager();
    KLMemoryManager(const KLMemoryManager&) = delete;
    KLMemoryManager& operator=(const KLMemoryManager&) = delete;

    // Storage aligned for any fundamental type, or null (the thread's last
    // status becomes KL_STATUS_OUT_OF_MEMORY). A size of 0 gives a unique pointer.
    virtual void* malloc(std::size_t size);
    // Gives back what malloc returned; null is ignored.
    virtual void free(void* block);

    // The process-wide heap manager. It is never destroyed, so containers
    // with static storage may still free into it during exit.
    static KLMemoryManager* getDefaultMemoryManager();

    // The next `count` calls to malloc on this manager fail.
    void failNextAllocations(unsigned count) { m_failures.store(count, std::memory_order_relaxed); }

protected:
    bool failuresPending() const { return m_failures.load(std::memory_order_relaxed) != 0; }
    // Consumes one pending injected failure; true when this allocation must fail.
    bool injectedFailure();
    // Records the failure in the thread's status and returns null.
    static void* failed();

private:
    std::atomic<unsigned> m_failures{0};
};

}  // namespace kelp
