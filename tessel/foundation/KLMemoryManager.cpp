#include "KLMemoryManager.h"

#include <cstdlib>
#include <new>

#include "kl_status.h"

namespace kelp {

KLMemoryManager::~KLMemoryManager() = default;

bool KLMemoryManager::injectedFailure() {
    unsigned pending = m_failures.load(std::memory_order_relaxed);
    while (pending != 0) {
        if (m_failures.compare_exchange_weak(pending, pending - 1, std::memory_order_relaxed)) {
            return true;
        }
    }
    return false;
}

void* KLMemoryManager::failed() {
    kl_status_setLastError(KL_STATUS_OUT_OF_MEMORY);
    return nullptr;
}

void* KLMemoryManager::malloc(std::size_t size) {
    if (injectedFailure()) return failed();
    void* block = std::malloc(size == 0 ? 1 : size);
    return block ? block : failed();
}

void KLMemoryManager::free(void* block) {
    std::free(block);
}

KLMemoryManager* KLMemoryManager::getDefaultMemoryManager() {
    alignas(KLMemoryManager) static unsigned char storage[sizeof(KLMemoryManager)];
    static KLMemoryManager* const instance = new (storage) KLMemoryManager;
    return instance;
}

}  // namespace kelp
