#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <tessel/foundation/KLObject.h>

namespace kelp {

// A reentrant read/write lock in an object.
//
// Invariant: either one thread holds the object exclusively (lock or
// lockForWriting) any number of times, and may also take read holds inside
// that, or any number of threads hold it for reading. Every successful lock
// call is matched by one unlock, innermost first.
//
//   list.lockForWriting();      // -1: wait without limit
//   list.lockForReading();      // the same thread may nest
//   list.unlock(); list.unlock();
//
// Readers do not queue behind a waiting writer: a thread that already reads
// may read again without deadlocking. The price is that a steady stream of
// overlapping readers can delay a writer. A thread that holds only a read lock
// must not ask for the write lock: it would wait for itself.
//
// The uncontended path is one compare-and-swap to take and one atomic
// operation to release; waiting threads sleep on a condition variable.
class KLLockableObject : public KLObject {
public:
    KLLockableObject() = default;
    ~KLLockableObject() override;
    KLLockableObject(const KLLockableObject&) = delete;
    KLLockableObject& operator=(const KLLockableObject&) = delete;

    // The exclusive lock; the same hold as lockForWriting.
    bool lock(long timeoutMs = -1) const final { return lockForWriting(timeoutMs); }
    bool lockForReading(long timeoutMs = -1) const final;
    bool lockForWriting(long timeoutMs = -1) const final;
    // Releases the calling thread's innermost hold; false when it holds none.
    bool unlock() const final;

private:
    static constexpr std::uint64_t kWriter = std::uint64_t{1} << 63;

    // The thread pointer: unique among live threads, read without a call.
    static std::uint64_t currentThread() {
        return reinterpret_cast<std::uint64_t>(__builtin_thread_pointer());
    }
    bool tryShared() const;
    bool tryExclusive(std::uint64_t me) const;
    bool wait(bool exclusive, long timeoutMs) const;
    bool releaseShared() const;
    void wakeSleepers() const;

    mutable std::atomic<std::uint64_t> m_state{0};     // kWriter | number of read holds
    mutable std::atomic<std::uint64_t> m_owner{0};     // thread holding it exclusively, 0 if none
    mutable std::uint32_t m_depth = 0;                 // holds of the owner; touched by it alone
    mutable std::atomic<std::uint32_t> m_sleepers{0};  // threads waiting in wait()
    mutable std::mutex m_sleepMutex;
    mutable std::condition_variable m_wake;
};

inline bool KLLockableObject::tryExclusive(std::uint64_t me) const {
    std::uint64_t expected = 0;
    if (!m_state.compare_exchange_strong(expected, kWriter, std::memory_order_acquire,
                                         std::memory_order_relaxed)) {
        return false;
    }
    m_owner.store(me, std::memory_order_relaxed);
    m_depth = 1;
    return true;
}

inline bool KLLockableObject::tryShared() const {
    std::uint64_t s = m_state.load(std::memory_order_relaxed);
    while ((s & kWriter) == 0) {
        if (m_state.compare_exchange_weak(s, s + 1, std::memory_order_acquire,
                                          std::memory_order_relaxed)) {
            return true;
        }
    }
    return false;
}

inline bool KLLockableObject::lockForWriting(long timeoutMs) const {
    const std::uint64_t me = currentThread();
    // Only this thread ever stores its own id, so a relaxed read cannot lie here.
    if (m_owner.load(std::memory_order_relaxed) == me) {
        ++m_depth;
        return true;
    }
    return tryExclusive(me) || wait(true, timeoutMs);
}

inline bool KLLockableObject::lockForReading(long timeoutMs) const {
    if (m_owner.load(std::memory_order_relaxed) == currentThread()) {
        ++m_depth;
        return true;
    }
    return tryShared() || wait(false, timeoutMs);
}

inline bool KLLockableObject::unlock() const {
    if (m_owner.load(std::memory_order_relaxed) == currentThread()) {
        if (--m_depth == 0) {
            m_owner.store(0, std::memory_order_relaxed);
            m_state.fetch_and(~kWriter, std::memory_order_seq_cst);
            if (m_sleepers.load(std::memory_order_seq_cst) != 0) wakeSleepers();
        }
        return true;
    }
    return releaseShared();
}

}  // namespace kelp
