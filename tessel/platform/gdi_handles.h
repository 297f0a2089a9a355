// Internal: the process's GDI handle table. A handle is a slot index and the
// slot's generation; retiring a handle bumps the generation, so stale handles
// (and null) find nothing instead of crashing. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <tessel/platform/gdi_objects.h>

namespace tessel::gdi {

class HandleTable {
public:
    HGDIOBJ insert(std::shared_ptr<Object> object);
    // The live object behind `handle`, or null.
    Object* find(HGDIOBJ handle) const;
    template <class T>
    T* find(HGDIOBJ handle, ObjectType type) const {
        Object* object = find(handle);
        return object && object->type() == type ? static_cast<T*>(object) : nullptr;
    }
    std::shared_ptr<Object> share(HGDIOBJ handle) const;
    // Retires the handle; the object dies with its last owner.
    bool erase(HGDIOBJ handle);
    std::size_t count() const { return m_live; }

private:
    struct Slot {
        std::uint32_t generation = 1;
        std::shared_ptr<Object> object;
    };
    const Slot* slot(HGDIOBJ handle) const;

    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_free;
    std::size_t m_live = 0;
};

}  // namespace tessel::gdi
