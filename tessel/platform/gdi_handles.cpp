#include "gdi_handles.h"

namespace tessel::gdi {

Object::~Object() = default;

namespace {
// The low 32 bits hold index + 1 (never 0), the high 32 bits the generation.
HGDIOBJ encode(std::uint32_t index, std::uint32_t generation) {
    return reinterpret_cast<HGDIOBJ>((std::uint64_t{generation} << 32) | (index + 1));
}
}  // namespace

HGDIOBJ HandleTable::insert(std::shared_ptr<Object> object) {
    if (!object) return nullptr;
    std::uint32_t index;
    if (!m_free.empty()) {
        index = m_free.back();
        m_free.pop_back();
    } else {
        index = static_cast<std::uint32_t>(m_slots.size());
        m_slots.emplace_back();
    }
    m_slots[index].object = std::move(object);
    ++m_live;
    return encode(index, m_slots[index].generation);
}

const HandleTable::Slot* HandleTable::slot(HGDIOBJ handle) const {
    const auto value = reinterpret_cast<std::uint64_t>(handle);
    const auto index = static_cast<std::uint32_t>(value & 0xFFFFFFFF);
    if (index == 0 || index > m_slots.size()) return nullptr;
    const Slot& s = m_slots[index - 1];
    return s.object && s.generation == static_cast<std::uint32_t>(value >> 32) ? &s : nullptr;
}

Object* HandleTable::find(HGDIOBJ handle) const {
    const Slot* s = slot(handle);
    return s ? s->object.get() : nullptr;
}

std::shared_ptr<Object> HandleTable::share(HGDIOBJ handle) const {
    const Slot* s = slot(handle);
    return s ? s->object : nullptr;
}

bool HandleTable::erase(HGDIOBJ handle) {
    Slot* s = const_cast<Slot*>(slot(handle));
    if (!s) return false;
    const auto index = static_cast<std::uint32_t>(s - m_slots.data());
    ++s->generation;
    // Move out first: the object's destructor may look at the table.
    std::shared_ptr<Object> dying = std::move(s->object);
    m_free.push_back(index);
    --m_live;
    return true;
}

}  // namespace tessel::gdi
