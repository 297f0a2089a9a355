// Internal: the process's GDI handle table (see HandleSlots). Each operation
// holds the GDI lock, so any thread may look a handle up; a raw pointer it
// hands out stays valid only while the caller holds the lock or owns the
// object's handle.
#pragma once

#include <memory>

#include "base/handle_slots.h"
#include "gdi/gdi_lock.h"
#include "gdi/objects.h"

namespace tessel::gdi {

class HandleTable {
public:
    HGDIOBJ insert(std::shared_ptr<Object> object) {
        if (!object) return nullptr;
        const GdiLock lock;
        return reinterpret_cast<HGDIOBJ>(m_slots.add(std::move(object)));
    }
    // The live object behind `handle`, or null.
    Object* find(HGDIOBJ handle) const {
        const GdiLock lock;
        const auto* slot = m_slots.find(key(handle));
        return slot ? slot->get() : nullptr;
    }
    template <class T>
    T* find(HGDIOBJ handle, ObjectType type) const {
        Object* object = find(handle);
        return object && object->type() == type ? static_cast<T*>(object) : nullptr;
    }
    std::shared_ptr<Object> share(HGDIOBJ handle) const {
        const GdiLock lock;
        const auto* slot = m_slots.find(key(handle));
        return slot ? *slot : nullptr;
    }
    // Retires the handle; the object dies with its last owner (after the
    // table is consistent again, since its destructor may look at it).
    bool erase(HGDIOBJ handle) {
        const GdiLock lock;
        if (!m_slots.find(key(handle))) return false;
        const auto index = HandleSlots<std::shared_ptr<Object>>::indexOf(key(handle));
        m_slots.retire(index);
        std::shared_ptr<Object> dying = m_slots.release(index);
        return true;
    }
    std::size_t count() const {
        const GdiLock lock;
        return m_slots.live();
    }

private:
    static std::uint64_t key(HGDIOBJ handle) { return reinterpret_cast<std::uint64_t>(handle); }
    HandleSlots<std::shared_ptr<Object>> m_slots;
};

}  // namespace tessel::gdi
