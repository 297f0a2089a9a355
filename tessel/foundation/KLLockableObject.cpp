#include "KLLockableObject.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "kl_status.h"

namespace kelp {

namespace {

// One lock the calling thread reads, and how many read holds it has there.
struct ReadHold {
    std::uint64_t lock;
    std::uint64_t count;
};

// The calling thread's read holds. A thread reads few locks at once, so a
// short array searched from the newest (the likeliest to be released next)
// beats any map. It is trivially constructed and destroyed: a thread_local
// with a destructor would register it with the C library, and a library
// unloaded (dlclose) before the thread ends would leave that call dangling.
// The heap array, used only while more than kInline locks are read at once,
// goes when the last hold does.
struct ReadHolds {
    static constexpr std::uint32_t kInline = 16;
    ReadHold inlineRecords[kInline];
    ReadHold* heap;  // null: the records are inline
    std::uint32_t count;
    std::uint32_t heapCapacity;

    ReadHold* records() { return heap ? heap : inlineRecords; }

    ReadHold* find(std::uint64_t lock) {
        ReadHold* all = records();
        for (std::uint32_t i = count; i-- > 0;) {
            if (all[i].lock == lock) return &all[i];
        }
        return nullptr;
    }

    // Room for one more record; throws std::bad_alloc (changing nothing) when
    // there is none to be had.
    void reserveOne() {
        const std::uint32_t capacity = heap ? heapCapacity : kInline;
        if (count < capacity) return;
        auto* bigger = static_cast<ReadHold*>(std::malloc(2 * capacity * sizeof(ReadHold)));
        if (!bigger) throw std::bad_alloc();
        std::memcpy(bigger, records(), count * sizeof(ReadHold));
        std::free(heap);
        heap = bigger;
        heapCapacity = 2 * capacity;
    }

    void add(std::uint64_t lock) {
        reserveOne();
        records()[count++] = ReadHold{lock, 1};
    }

    void remove(ReadHold* hold) {
        // The newest record, the usual one, is not copied onto itself (a
        // 16-byte copy of what was just stored in two halves stalls the CPU).
        ReadHold* last = &records()[--count];
        if (hold != last) *hold = *last;
        if (count == 0 && heap) {
            std::free(heap);
            heap = nullptr;
        }
    }
};

constinit thread_local ReadHolds t_readHolds{};

// The calling thread's records, their address asked for once per call. (In a
// shared library each use of a thread_local may cost a call into the C
// library; the empty asm makes the address opaque, so the compiler keeps it
// instead of asking again after every atomic operation.)
ReadHolds& threadHolds() {
    ReadHolds* holds = &t_readHolds;
    asm("" : "+r"(holds));
    return *holds;
}

std::atomic<std::uint64_t> g_nextLockId{1};

}  // namespace

KLLockableObject::KLLockableObject() : m_id(g_nextLockId.fetch_add(1, std::memory_order_relaxed)) {}

KLLockableObject::~KLLockableObject() {
    // Destroyed while this thread still reads it: drop the record, so the
    // thread's list stays short. (Other threads' records of a destroyed lock
    // are dead weight, but harmless: the id is never given again.)
    ReadHolds& holds = threadHolds();
    if (ReadHold* hold = holds.find(m_id)) holds.remove(hold);
}

bool KLLockableObject::tryShared() const {
    // A new reader waits for a writer that holds the lock and for one that waits for it.
    std::uint64_t s = m_state.load(std::memory_order_relaxed);
    while ((s & (kWriter | kWaitingWriters)) == 0) {
        if (m_state.compare_exchange_weak(s, s + 1, std::memory_order_acquire,
                                          std::memory_order_relaxed)) {
            return true;
        }
    }
    return false;
}

bool KLLockableObject::tryExclusive(std::uint64_t me) const {
    // Free of holders; writers still registered as waiting do not stop a
    // caller that finds it free (they would take it in the same way).
    std::uint64_t s = m_state.load(std::memory_order_relaxed);
    while ((s & (kWriter | kReaders)) == 0) {
        if (m_state.compare_exchange_weak(s, s | kWriter, std::memory_order_acquire,
                                          std::memory_order_relaxed)) {
            m_owner.store(me, std::memory_order_relaxed);
            m_depth = 1;
            return true;
        }
    }
    return false;
}

bool KLLockableObject::lockForReading(long timeoutMs) const {
    // Only this thread ever stores its own id, so a relaxed read cannot lie here.
    if (m_owner.load(std::memory_order_relaxed) == currentThread()) {
        ++m_depth;
        return true;
    }
    ReadHolds& holds = threadHolds();
    if (ReadHold* hold = holds.find(m_id)) {
        // Reading already: no writer holds the lock, and a waiting one waits for
        // this thread, so waiting behind it would be a deadlock.
        m_state.fetch_add(1, std::memory_order_acquire);
        ++hold->count;
        return true;
    }
    // Room for the record first: running out of memory then changes nothing.
    holds.reserveOne();
    if (!tryShared() && !waitShared(timeoutMs)) return false;
    holds.add(m_id);
    return true;
}

bool KLLockableObject::lockForWriting(long timeoutMs) const {
    const std::uint64_t me = currentThread();
    if (m_owner.load(std::memory_order_relaxed) == me) {
        ++m_depth;
        return true;
    }
    if (tryExclusive(me)) return true;
    // Taken: if this thread is among the readers it would wait for itself.
    if (threadHolds().find(m_id)) {
        kl_status_setLastError(KL_STATUS_WOULD_DEADLOCK);
        return false;
    }
    return waitExclusive(me, timeoutMs);
}

bool KLLockableObject::unlock() const {
    if (m_owner.load(std::memory_order_relaxed) == currentThread()) {
        if (--m_depth == 0) {
            m_owner.store(0, std::memory_order_relaxed);
            m_state.fetch_and(~kWriter, std::memory_order_seq_cst);
            if (m_sleepers.load(std::memory_order_seq_cst) != 0) wakeSleepers();
        }
        return true;
    }
    ReadHolds& holds = threadHolds();
    ReadHold* hold = holds.find(m_id);
    if (!hold) return false;  // nothing of this thread's to release
    if (--hold->count == 0) holds.remove(hold);
    const std::uint64_t before = m_state.fetch_sub(1, std::memory_order_seq_cst);
    // Only the last reader leaving lets anyone new in (a writer).
    if ((before & kReaders) == 1 && m_sleepers.load(std::memory_order_seq_cst) != 0) {
        wakeSleepers();
    }
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

namespace {

// A deadline the clock cannot represent would overflow into the past: treat
// such a time-out (over a century) as waiting without limit.
long boundedTimeout(long timeoutMs) {
    constexpr long long kLongestTimeoutMs = 100LL * 365 * 24 * 60 * 60 * 1000;
    return timeoutMs > kLongestTimeoutMs ? -1 : timeoutMs;
}

// Sleeps on `wake` until `attempt` succeeds or the time-out passes; the caller
// holds `guard` and has registered as a sleeper.
template <class Attempt>
bool sleepUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& guard, long timeoutMs,
                Attempt attempt) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool acquired = attempt();
    while (!acquired && timeoutMs != 0) {
        if (timeoutMs < 0) {
            wake.wait(guard);
        } else if (wake.wait_until(guard, deadline) == std::cv_status::timeout) {
            return attempt();
        }
        acquired = attempt();
    }
    return acquired;
}

}  // namespace

bool KLLockableObject::waitShared(long timeoutMs) const {
    timeoutMs = boundedTimeout(timeoutMs);
    bool acquired = false;
    if (timeoutMs != 0) {
        std::unique_lock<std::mutex> guard(m_sleepMutex);
        m_sleepers.fetch_add(1, std::memory_order_seq_cst);
        // Order the retry after the registration: an empty read-modify-write of
        // m_state joins the total order of the releasers' own (a fence would do,
        // but ThreadSanitizer cannot follow fences).
        m_state.fetch_add(0, std::memory_order_seq_cst);
        acquired = sleepUntil(m_wake, guard, timeoutMs, [&] { return tryShared(); });
        m_sleepers.fetch_sub(1, std::memory_order_seq_cst);
    }
    if (!acquired) kl_status_setLastError(KL_STATUS_TIMEOUT);
    return acquired;
}

bool KLLockableObject::waitExclusive(std::uint64_t me, long timeoutMs) const {
    timeoutMs = boundedTimeout(timeoutMs);
    bool acquired = false;
    if (timeoutMs != 0) {
        std::unique_lock<std::mutex> guard(m_sleepMutex);
        m_sleepers.fetch_add(1, std::memory_order_seq_cst);
        // Registering as a waiting writer stops new readers from here on, and
        // (a read-modify-write of m_state) orders the retries after the sleeper count.
        m_state.fetch_add(kWaitingWriter, std::memory_order_seq_cst);
        acquired = sleepUntil(m_wake, guard, timeoutMs, [&] {
            std::uint64_t s = m_state.load(std::memory_order_relaxed);
            while ((s & (kWriter | kReaders)) == 0) {
                // Taking it withdraws this writer's waiting mark in the same step.
                if (m_state.compare_exchange_weak(s, (s - kWaitingWriter) | kWriter,
                                                  std::memory_order_acquire,
                                                  std::memory_order_relaxed)) {
                    return true;
                }
            }
            return false;
        });
        m_sleepers.fetch_sub(1, std::memory_order_seq_cst);
        if (acquired) {
            m_owner.store(me, std::memory_order_relaxed);
            m_depth = 1;
        } else {
            // Readers held back by this writer may go in now.
            m_state.fetch_sub(kWaitingWriter, std::memory_order_seq_cst);
            guard.unlock();
            m_wake.notify_all();
        }
    }
    if (!acquired) kl_status_setLastError(KL_STATUS_TIMEOUT);
    return acquired;
}

}  // namespace kelp
