#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include <tessel/foundation/KLIndexOutOfBoundsException.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLMemoryManager.h>
#include <tessel/foundation/KLObject.h>

namespace kelp {

// A growable array of pointers or records. Indexing past the end extends it:
// operator[](i) default-constructs elements up to i. Records are constructed,
// copied and destroyed properly; plain values are moved as bytes.
//
// Invariant: count * sizeof(T) <= capacity (bytes); capacity is 128 bytes
// times a power of two and never shrinks; a failed growth leaves everything
// as it was. The array is not a lockable object: the lock calls it makes go to
// KLObject's (which exclude nothing) unless a subclass supplies a real lock.
//
//   KLArray<Style> styles;        // room for 8 at once
//   styles[7] = normal;            // count becomes 8
//   const Style& s = styles.get(3);
template <class T>
class KLArray : public KLObject {
public:
    static constexpr const char* kFile = "KLArray.h";
    static constexpr int kLineGrowth = 124;
    static constexpr int kLineIndex = 151;
    static constexpr int kLineGet = 171;
    static constexpr int kLineInsert = 289;
    static constexpr std::size_t kFirstCapacityBytes = 128;

    KLArray() : m_allocator(KLMemoryManager::getDefaultMemoryManager()) { ensureCapacity(8); }
    KLArray(const KLArray& other) : KLArray() { *this = other; }
    ~KLArray() override {
        clear();
        m_allocator->free(m_data);
    }

    // Clears this array, then assigns from the last element down, so the first
    // step extends it to the full count with default elements.
    KLArray& operator=(const KLArray& other) {
        if (this == &other) return *this;
        clear();
        for (std::uint64_t i = other.size(); i-- > 0;) {
            (*this)[static_cast<int>(i)] = other.get(static_cast<int>(i));
        }
        return *this;
    }

    T& operator[](int index) {
        if (index < 0) throw KLIndexOutOfBoundsException(kFile, kLineIndex);
        KLLockGuard guard(*this, KLLockGuard::Writing);
        ensureCapacity(static_cast<std::size_t>(index) + 1);
        while (m_count <= static_cast<std::uint64_t>(index)) {
            new (m_data + m_count) T();
            ++m_count;
        }
        return m_data[index];
    }

    const T& get(int index) const {
        KLLockGuard guard(*this, KLLockGuard::Reading);
        if (index < 0 || static_cast<std::uint64_t>(index) >= m_count) {
            throw KLIndexOutOfBoundsException(kFile, kLineGet);
        }
        return m_data[index];
    }

    void insert(const T& value, int index) {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        if (index < 0 || static_cast<std::uint64_t>(index) > m_count) {
            throw KLIndexOutOfBoundsException(kFile, kLineInsert);
        }
        T copy(value);  // `value` may be one of our elements
        ensureCapacity(static_cast<std::size_t>(m_count) + 1);
        if constexpr (std::is_trivially_copyable_v<T>) {
            std::memmove(static_cast<void*>(m_data + index + 1), m_data + index,
                         (m_count - index) * sizeof(T));
            m_data[index] = copy;
        } else if (static_cast<std::uint64_t>(index) == m_count) {
            new (m_data + m_count) T(std::move(copy));
        } else {
            new (m_data + m_count) T(std::move(m_data[m_count - 1]));
            for (std::uint64_t i = m_count - 1; i > static_cast<std::uint64_t>(index); --i) {
                m_data[i] = std::move(m_data[i - 1]);
            }
            m_data[index] = std::move(copy);
        }
        ++m_count;
    }

    // Room for `count` elements: capacity doubles from 128 bytes until it holds them.
    void ensureCapacity(std::size_t count) {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw KLMemoryException(kFile, kLineGrowth);
        }
        const std::size_t wanted = count * sizeof(T);
        if (wanted <= m_capacity) return;
        std::size_t capacity = m_capacity ? m_capacity : kFirstCapacityBytes;
        while (capacity < wanted && capacity <= std::numeric_limits<std::size_t>::max() / 2) {
            capacity *= 2;
        }
        T* data = capacity < wanted ? nullptr : static_cast<T*>(m_allocator->malloc(capacity));
        if (!data) throw KLMemoryException(kFile, kLineGrowth);
        relocate(data);
        m_allocator->free(m_data);
        m_data = data;
        m_capacity = capacity;
    }

    std::size_t size() const { return static_cast<std::size_t>(m_count); }
    std::size_t getCapacity() const { return m_capacity; }  // in bytes

    // Destroys the elements from the last to the first.
    virtual void clear() {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        if constexpr (!std::is_trivially_destructible_v<T>) {
            while (m_count > 0)
                m_data[--m_count].~T();
        }
        m_count = 0;
    }

private:
    // Moves the elements into `data`; records are copied (or moved when that
    // cannot throw) and the originals destroyed. A throwing copy undoes itself.
    void relocate(T* data) {
        if constexpr (std::is_trivially_copyable_v<T>) {
            if (m_count) std::memcpy(static_cast<void*>(data), m_data, m_count * sizeof(T));
        } else {
            std::uint64_t done = 0;
            try {
                for (; done < m_count; ++done)
                    new (data + done) T(std::move_if_noexcept(m_data[done]));
            } catch (...) {
                while (done > 0)
                    data[--done].~T();
                m_allocator->free(data);
                throw;
            }
            for (std::uint64_t i = 0; i < m_count; ++i)
                m_data[i].~T();
        }
    }

    KLMemoryManager* m_allocator;  // the default manager; not owned
    T* m_data = nullptr;
    std::size_t m_capacity = 0;  // in bytes
    std::uint64_t m_count = 0;
};

}  // namespace kelp
