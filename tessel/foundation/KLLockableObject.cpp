#include "KLLockableObject.h"

#include <chrono>

#include "kl_status.h"

namespace kelp {

KLLockableObject::~KLLockableObject() = default;

bool KLLockableObject::releaseShared() const {
    std::uint64_t s = m_state.load(std::memory_order_relaxed);
    do {
        if ((s & ~kWriter) == 0) return false;  // nothing to release: an unmatched unlock
    } while (!m_state.compare_exchange_weak(s, s - 1, std::memory_order_seq_cst,
                                            std::memory_order_relaxed));
    if (m_sleepers.load(std::memory_order_seq_cst) != 0) wakeSleepers();
    return true;
}

// A releaser changes m_state and then reads m_sleepers; a sleeper raises
// m_sleepers and then retries m_state. Both are sequentially consistent, so
// either the retry succeeds or the releaser sees the sleeper and wakes it
// under the mutex, which the sleeper holds until it is waiting.
void KLLockableObject::wakeSleepers() const {
    { std::lock_guard<std::mutex> guard(m_sleepMutex); }
    m_wake.notify_all();
}

bool KLLockableObject::wait(bool exclusive, long timeoutMs) const {
    // A deadline the clock cannot represent would overflow into the past: treat
    // such a time-out (over a century) as waiting without limit.
    constexpr long long kLongestTimeoutMs = 100LL * 365 * 24 * 60 * 60 * 1000;
    if (timeoutMs > kLongestTimeoutMs) timeoutMs = -1;
    const std::uint64_t me = currentThread();
    auto attempt = [&] { return exclusive ? tryExclusive(me) : tryShared(); };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);

    std::unique_lock<std::mutex> guard(m_sleepMutex);
    m_sleepers.fetch_add(1, std::memory_order_seq_cst);
    // Order the retry after the registration: an empty read-modify-write of
    // m_state joins the total order of the releasers' own (a fence would do,
    // but ThreadSanitizer cannot follow fences).
    m_state.fetch_add(0, std::memory_order_seq_cst);
    bool acquired = attempt();
    while (!acquired && timeoutMs != 0) {
        if (timeoutMs < 0) {
            m_wake.wait(guard);
        } else if (m_wake.wait_until(guard, deadline) == std::cv_status::timeout) {
            acquired = attempt();
            break;
        }
        acquired = attempt();
    }
    m_sleepers.fetch_sub(1, std::memory_order_seq_cst);
    if (!acquired) kl_status_setLastError(KL_STATUS_TIMEOUT);
    return acquired;
}

}  // namespace kelp
