#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include <tessel/foundation/KLCollection.h>
#include <tessel/foundation/KLElementCompare.h>
#include <tessel/foundation/KLIndexOutOfBoundsException.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLMemoryManager.h>

namespace kelp {

template <class T>
class KLVectorIterator;

// A growable vector of plain values (pointers, numbers, records without
// constructors) in storage from the default memory manager.
//
// Invariant: size <= capacity; capacity is 0 or 128 times a power of two and
// never shrinks; a failed growth leaves storage, capacity and contents alone.
// Each operation holds the vector's lock (reads: read lock, changes: write lock).
//
//   KLVector<Window*> children;
//   children.insert(w, static_cast<int>(children.size()));
//   Window* first = children.get(0);
template <class T>
class KLVector : public KLCollection {
    static_assert(std::is_trivially_copyable_v<T>, "KLVector holds plain values; use KLArray");

public:
    static constexpr const char* kFile = "KLVector.h";
    static constexpr int kLineGet = 107;
    static constexpr int kLineInsert = 165;
    static constexpr int kLineSet = 183;
    static constexpr int kLineRemoveRange = 242;
    static constexpr int kLineGrowth = 365;
    static constexpr int kLineListIterator = 555;
    static constexpr std::size_t kFirstCapacity = 128;

    KLVector() : m_allocator(KLMemoryManager::getDefaultMemoryManager()) {}
    ~KLVector() override {
        clear();
        m_allocator->free(m_data);
    }
    KLVector(const KLVector&) = delete;
    KLVector& operator=(const KLVector&) = delete;

    T& get(int index) {
        KLLockGuard guard(*this, KLLockGuard::Reading);
        checkIndex(index, size(), kLineGet);
        return m_data[index];
    }
    const T& get(int index) const { return const_cast<KLVector*>(this)->get(index); }

    void insert(const T& value, int index) {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        const std::uint64_t count = size();
        checkIndex(index, count + 1, kLineInsert);
        const T copy = value;  // `value` may live in the storage that growth replaces
        reserve(count + 1);
        if (static_cast<std::uint64_t>(index) < count) {
            std::memmove(m_data + index + 1, m_data + index, (count - index) * sizeof(T));
        }
        m_data[index] = copy;
        storeSize(count + 1);
        modified();
    }

    void set(const T& value, int index, T* old) {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        checkIndex(index, size(), kLineSet);
        if (old) *old = m_data[index];
        m_data[index] = value;
    }

    void removeRange(int index, int count) {
        if (count <= 0) return;
        KLLockGuard guard(*this, KLLockGuard::Writing);
        const std::uint64_t total = size();
        checkIndex(index, total, kLineRemoveRange);
        const std::uint64_t removed = std::min<std::uint64_t>(count, total - index);
        std::memmove(m_data + index, m_data + index + removed,
                     (total - index - removed) * sizeof(T));
        storeSize(total - removed);
        modified();
    }

    void ensureCapacity(int count) {
        if (count <= 0) return;
        KLLockGuard guard(*this, KLLockGuard::Writing);
        reserve(static_cast<std::uint64_t>(count));
    }

    // Growing adds zeroed elements; shrinking is removeRange of the tail.
    void setSize(int count) {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        const std::int64_t current = static_cast<std::int64_t>(size());
        if (count > current) {
            reserve(static_cast<std::uint64_t>(count));
            std::memset(static_cast<void*>(m_data + current), 0, (count - current) * sizeof(T));
            storeSize(static_cast<std::uint64_t>(count));
            modified();
        } else if (count < current) {
            const std::int64_t tail = current - count;
            removeRange(count, tail > std::numeric_limits<int>::max()
                                   ? std::numeric_limits<int>::max()
                                   : static_cast<int>(tail));
        }
    }

    void clear() override { setSize(0); }

    // index 0 .. size-1, or any index >= 0 when the vector is empty.
    virtual KLCollectionIterator* listIterator(int index) {
        KLLockGuard guard(*this, KLLockGuard::Reading);
        const std::uint64_t count = size();
        if (index < 0 || (count != 0 && static_cast<std::uint64_t>(index) >= count)) {
            throw KLIndexOutOfBoundsException(kFile, kLineListIterator);
        }
        return new KLVectorIterator<T>(this, index);
    }

    // From the start, or with fromEnd past the last element.
    KLCollectionIterator* iterator(bool fromEnd) override {
        if (!fromEnd) return listIterator(0);
        KLLockGuard guard(*this, KLLockGuard::Reading);
        return new KLVectorIterator<T>(this, static_cast<int>(size()));
    }

    int compareData(const void* a, const void* b) const override {
        return compareElements<T>(a, b);
    }

    std::uint64_t getCapacity() const { return m_capacity; }

private:
    static void checkIndex(int index, std::uint64_t limit, int line) {
        if (index < 0 || static_cast<std::uint64_t>(index) >= limit) {
            throw KLIndexOutOfBoundsException(kFile, line);
        }
    }

    // Room for `wanted` elements, doubling from 128; under the write lock.
    void reserve(std::uint64_t wanted) {
        if (wanted <= m_capacity) return;
        const std::uint64_t limit = std::numeric_limits<std::size_t>::max() / sizeof(T);
        std::uint64_t capacity = m_capacity ? m_capacity : kFirstCapacity;
        while (capacity < wanted && capacity <= limit / 2)
            capacity *= 2;
        T* data = capacity < wanted ? nullptr
                                    : static_cast<T*>(m_allocator->malloc(capacity * sizeof(T)));
        if (!data) throw KLMemoryException(kFile, kLineGrowth);
        if (m_data) std::memcpy(static_cast<void*>(data), m_data, size() * sizeof(T));
        m_allocator->free(m_data);
        m_data = data;
        m_capacity = capacity;
    }

    KLMemoryManager* m_allocator;  // the default manager; not owned
    T* m_data = nullptr;           // null until the first growth
    std::uint64_t m_capacity = 0;  // in elements
};

}  // namespace kelp

#include <tessel/foundation/KLVectorIterator.h>
