// MFC's handle maps: from a handle to the C++ object wrapping it. An object
// attached to a handle is its permanent wrapper, found from every thread.
// Asking for a handle that has none gives a temporary wrapper that does not
// own the handle and belongs to the asking thread, as in MFC: it lives until
// that thread deletes its temporaries (idle time, AfxUnlockTempMaps) or ends,
// so one thread's idle processing never deletes what another is using.
//
// There is one map per kind of handle (immortalHandleMap), so the temporaries
// are kept per thread and per kind.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

template <class Handle, class Wrapper>
class CHandleMap {
public:
    void setPermanent(Handle handle, Wrapper* object) {
        if (!handle) return;
        const std::lock_guard<std::mutex> lock(m_lock);
        m_permanent[handle] = object;
        m_changes.fetch_add(1, std::memory_order_release);
    }
    void removeHandle(Handle handle) {
        {
            const std::lock_guard<std::mutex> lock(m_lock);
            m_permanent.erase(handle);
            m_changes.fetch_add(1, std::memory_order_release);
        }
        // Unlocked: a wrapper's destructor looks at the permanent map.
        temporaries().erase(handle);
    }
    // Every message looks its window up, and messages come in runs for one
    // window: the thread's last answer stands, without the lock, until the
    // permanent map next changes.
    Wrapper* lookupPermanent(Handle handle) const {
        LastFound& last = lastFound();
        if (last.map == this && last.handle == handle &&
            last.changes == m_changes.load(std::memory_order_acquire)) {
            return last.wrapper;
        }
        const std::lock_guard<std::mutex> lock(m_lock);
        auto found = m_permanent.find(handle);
        Wrapper* wrapper = found == m_permanent.end() ? nullptr : found->second;
        last = {this, handle, wrapper, m_changes.load(std::memory_order_relaxed)};
        return wrapper;
    }
    // The permanent wrapper, else this thread's temporary one made by `make`
    // (null for a null handle).
    template <class Make>
    Wrapper* fromHandle(Handle handle, Make make) {
        if (!handle) return nullptr;
        if (Wrapper* permanent = lookupPermanent(handle)) return permanent;
        auto& temporary = temporaries()[handle];
        if (!temporary) temporary = make(handle);
        return temporary.get();
    }
    // This thread's temporaries only.
    void deleteTemporaries() { dropAll(temporaries()); }
    std::size_t temporaryCount() const { return temporaries().size(); }

private:
    using Temporaries = std::unordered_map<Handle, std::unique_ptr<Wrapper>>;

    // Swapped out first: a wrapper's destructor then finds the map empty, and
    // the emptied map holds no memory (so a thread's end frees it all).
    static void dropAll(Temporaries& map) { Temporaries().swap(map); }

    // The calling thread's temporaries. Never destroyed, like the maps: a
    // library unloaded during exit clears its temporaries after the thread's
    // thread_local objects are gone. The thread's end empties them instead.
    static Temporaries& temporaries() {
        struct ThreadEnd {
            Temporaries* map;
            ~ThreadEnd() { dropAll(*map); }
        };
        alignas(Temporaries) thread_local unsigned char storage[sizeof(Temporaries)];
        thread_local Temporaries* const map = new (storage) Temporaries;
        thread_local const ThreadEnd end{map};
        return *map;
    }

    struct LastFound {
        const CHandleMap* map = nullptr;
        Handle handle{};
        Wrapper* wrapper = nullptr;
        std::uint64_t changes = 0;
    };
    static LastFound& lastFound() {
        thread_local LastFound last;
        return last;
    }

    mutable std::mutex m_lock;                // the permanent map is shared by every thread
    std::atomic<std::uint64_t> m_changes{0};  // raised by every change of the permanent map
    std::unordered_map<Handle, Wrapper*> m_permanent;
};

// A handle map that is never destroyed: libraries unloaded during the
// process's exit still clear their temporaries through it.
template <class Handle, class Wrapper>
CHandleMap<Handle, Wrapper>& immortalHandleMap() {
    using Map = CHandleMap<Handle, Wrapper>;
    alignas(Map) static unsigned char storage[sizeof(Map)];
    static Map* const map = new (storage) Map;
    return *map;
}
