// Internal: the table behind every kind of handle. A handle is a slot index
// and that slot's generation; retiring a handle bumps the generation, so a
// stale handle (and null) finds nothing instead of something reused.
//
//   std::uint64_t h = slots.add(std::move(object));
//   if (Value* v = slots.find(h)) use(*v);
//   slots.retire(HandleSlots<Value>::indexOf(h)); slots.release(...);
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace tessel {

template <class Value>
class HandleSlots {
public:
    // Generations start at 1; tests start them near the wrap.
    explicit HandleSlots(std::uint32_t firstGeneration = 1) : m_firstGeneration(firstGeneration) {}

    std::uint64_t add(Value value) {
        std::uint32_t index;
        if (!m_free.empty()) {
            index = m_free.back();
            m_free.pop_back();
        } else {
            index = static_cast<std::uint32_t>(m_slots.size());
            m_slots.emplace_back();
            m_slots.back().generation = m_firstGeneration;
        }
        Slot& slot = m_slots[index];
        slot.value = std::move(value);
        slot.live = true;
        ++m_live;
        return (std::uint64_t{slot.generation} << 32) | (index + 1);
    }

    // The value behind a live handle, or null.
    Value* find(std::uint64_t handle) {
        const std::uint64_t index = (handle & 0xFFFFFFFF);
        if (index == 0 || index > m_slots.size()) return nullptr;
        Slot& slot = m_slots[index - 1];
        return slot.live && slot.generation == static_cast<std::uint32_t>(handle >> 32)
                   ? &slot.value
                   : nullptr;
    }
    const Value* find(std::uint64_t handle) const {
        return const_cast<HandleSlots*>(this)->find(handle);
    }

    static std::uint32_t indexOf(std::uint64_t handle) {
        return static_cast<std::uint32_t>((handle & 0xFFFFFFFF) - 1);
    }

    // The handle stops working at once; the value stays until release.
    void retire(std::uint32_t index) {
        Slot& slot = m_slots[index];
        slot.live = false;
        ++slot.generation;
        --m_live;
    }

    // Frees the slot for reuse and hands its value out (to be destroyed by the
    // caller). A slot whose generation wrapped is never reused: a handle kept
    // from 2^32 reuses ago would otherwise find the new value.
    Value release(std::uint32_t index) {
        Value value = std::move(m_slots[index].value);
        m_slots[index].value = Value();
        if (m_slots[index].generation != 0) m_free.push_back(index);
        return value;
    }

    std::size_t live() const { return m_live; }

private:
    struct Slot {
        std::uint32_t generation = 1;
        bool live = false;
        Value value{};
    };
    std::vector<Slot> m_slots;
    std::vector<std::uint32_t> m_free;
    std::size_t m_live = 0;
    std::uint32_t m_firstGeneration;
};

}  // namespace tessel
