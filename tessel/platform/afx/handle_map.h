// MFC's handle maps: from a handle to the C++ object wrapping it. An object
// attached to a handle is its permanent wrapper; asking for a handle that has
// none gives a temporary wrapper that does not own the handle and lives until
// the temporaries are deleted (the message loop does that when idle).
#pragma once

#include <memory>
#include <new>
#include <unordered_map>

template <class Handle, class Wrapper>
class CHandleMap {
public:
    void setPermanent(Handle handle, Wrapper* object) {
        if (handle) m_permanent[handle] = object;
    }
    void removeHandle(Handle handle) {
        m_permanent.erase(handle);
        m_temporary.erase(handle);
    }
    Wrapper* lookupPermanent(Handle handle) const {
        auto found = m_permanent.find(handle);
        return found == m_permanent.end() ? nullptr : found->second;
    }
    // The permanent wrapper, else a temporary one made by `make` (null for a null handle).
    template <class Make>
    Wrapper* fromHandle(Handle handle, Make make) {
        if (!handle) return nullptr;
        if (Wrapper* permanent = lookupPermanent(handle)) return permanent;
        auto& temporary = m_temporary[handle];
        if (!temporary) temporary = make(handle);
        return temporary.get();
    }
    void deleteTemporaries() { m_temporary.clear(); }
    std::size_t temporaryCount() const { return m_temporary.size(); }

private:
    std::unordered_map<Handle, Wrapper*> m_permanent;
    std::unordered_map<Handle, std::unique_ptr<Wrapper>> m_temporary;
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
