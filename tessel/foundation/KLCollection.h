#pragma once

#include <atomic>
#include <cstdint>

#include <tessel/foundation/KLLockableObject.h>

namespace kelp {

class KLAbstractIterator;
class KLCollectionIterator;

// Lockable base of KLList and KLVector: the element count and a modification
// count that every structural change (insertion, removal, resizing) raises by
// one, so iterators can tell that the collection changed behind them.
//
//   KLIterator<Item*> it;
//   KLCollection::initIterator(it, list.iterator(false));
//   while (it.hasNext()) use(it.next());
class KLCollection : public KLLockableObject {
public:
    virtual bool isEmpty() const { return size() == 0; }
    virtual std::uint64_t size() const { return m_size.load(std::memory_order_relaxed); }
    virtual std::uint64_t getModCount() const { return m_modCount.load(std::memory_order_relaxed); }

    // A new iterator the caller owns, from the first element or past the last.
    virtual KLCollectionIterator* iterator(bool fromEnd) = 0;
    // 0 when the elements at a and b are equal, 1 otherwise.
    virtual int compareData(const void* a, const void* b) const = 0;
    virtual int doCompareData(const void* a, const void* b) const { return compareData(a, b); }
    virtual void clear() = 0;

    // Gives `handle` ownership of `collectionIterator` (deleting any it held).
    static void initIterator(KLAbstractIterator& handle, KLCollectionIterator* collectionIterator);

    // `where` of KLList::add: first or last.
    static constexpr int kAddFirst = 0;
    static constexpr int kAddLast = 1;
    // `where` of an iterator's add: the new element becomes the next or the previous one.
    static constexpr int kAddAsNext = 1;
    static constexpr int kAddAsPrevious = 2;

protected:
    // Called with the write lock held; size() and getModCount() need no lock.
    void storeSize(std::uint64_t size) { m_size.store(size, std::memory_order_relaxed); }
    void modified() { m_modCount.store(getModCount() + 1, std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> m_modCount{0};
    std::atomic<std::uint64_t> m_size{0};
};

}  // namespace kelp
