#pragma once

#include <cstdint>

#include <tessel/foundation/KLObject.h>

namespace kelp {

class KLCollection;

// Base of the collections' iterators: the collection walked and the
// modification count the iterator expects it to have. A change made through
// the iterator itself updates the expectation; any other change makes the
// iterator's next step throw KLConcurrentModificationException.
class KLCollectionIterator : public KLObject {
public:
    static constexpr const char* kFile = "KLCollectionIterator.h";
    static constexpr int kLineComodification = 41;

    explicit KLCollectionIterator(KLCollection* collection);

    virtual bool hasNext() = 0;

    // Throws KLConcurrentModificationException when the collection's
    // modification count is not the expected one. Call with the collection locked.
    void checkForComodification() const;

    KLCollection* getCollection() const { return m_collection; }
    std::uint64_t getExpectedModCount() const { return m_expectedModCount; }

protected:
    // After the iterator's own change: expect the collection's present count.
    void acceptModCount();

    KLCollection* m_collection;
    std::uint64_t m_expectedModCount;
};

}  // namespace kelp
