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
// call is matched by one unlock, innermost first. The lock knows who holds
// what: the writer and its depth in the object, and each thread's read holds
// (how many, per object) in that thread's own records.
//
//   list.lockForWriting();      // -1: wait without limit
//   list.lockForReading();      // the same thread may nest
//   list.unlock(); list.unlock();
//
// Results:
// - unlock releases the calling thread's innermost hold. A thread that holds
//   nothing gets false and changes nothing: it cannot release another
//   thread's hold.
// - A waiting writer goes before readers that arrive after it (writers do not
//   starve), except that a thread which already reads may read again at once,
//   so nested reads never deadlock behind a waiting writer.
// - A thread holding only read holds that asks for the write lock (lock or
//   lockForWriting) would wait for itself: the call fails at once, whatever
//   the time-out, returns false, changes nothing and sets the thread's status
//   to KL_STATUS_WOULD_DEADLOCK. (Reading inside one's own write lock is fine.)
// - A lock call that does not get the lock within its time-out (0: only try)
//   returns false and sets the thread's status to KL_STATUS_TIMEOUT.
//
// The uncontended path is one atomic read-modify-write to take and one to
// release, plus a look at the calling thread's short list of read holds;
// waiting threads sleep on a condition variable.
class KLLockableObject : public KLObject {
public:
    KLLockableObject();
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
    // m_state: bit 63 a writer holds it; bits 32..62 the writers waiting for
    // it; bits 0..31 the read holds of all threads together.
    static constexpr std::uint64_t kWriter = std::uint64_t{1} << 63;
    static constexpr std::uint64_t kWaitingWriter = std::uint64_t{1} << 32;
    static constexpr std::uint64_t kWaitingWriters = ((std::uint64_t{1} << 31) - 1) << 32;
    static constexpr std::uint64_t kReaders = (std::uint64_t{1} << 32) - 1;

    // The thread pointer: unique among live threads, read without a call.
    static std::uint64_t currentThread() {
        return reinterpret_cast<std::uint64_t>(__builtin_thread_pointer());
    }
    bool tryShared() const;
    bool tryExclusive(std::uint64_t me) const;
    bool waitShared(long timeoutMs) const;
    bool waitExclusive(std::uint64_t me, long timeoutMs) const;
    void wakeSleepers() const;

    // Names this object in the threads' read-hold records; never reused, so a
    // record left behind by a destroyed object can never match a new one.
    const std::uint64_t m_id;
    mutable std::atomic<std::uint64_t> m_state{0};  // see above
    mutable std::atomic<std::uint64_t> m_owner{0};  // thread holding it exclusively, 0 if none
    mutable std::uint32_t m_depth = 0;              // holds of the owner; touched by it alone
    mutable std::atomic<std::uint32_t> m_sleepers{
        0};  // threads waiting in waitShared/waitExclusive
    mutable std::mutex m_sleepMutex;
    mutable std::condition_variable m_wake;
};

}  // namespace kelp
