#pragma once

#include <tessel/foundation/KLCollectionIterator.h>

namespace kelp {

// The element-typed operations shared by KLListIterator and KLVectorIterator.
// An iterator sits between elements: next() and previous() step over one and
// make it current; remove() and set() act on the current element.
template <class T>
class KLElementIterator : public KLCollectionIterator {
public:
    using KLCollectionIterator::KLCollectionIterator;

    virtual bool hasCurrent() = 0;
    bool hasNext() override = 0;
    virtual bool hasPrevious() = 0;
    virtual T* current() = 0;
    virtual T* next() = 0;
    virtual T* previous() = 0;
    // Removes the current element, copying it to `removed` when that is not null.
    virtual bool remove(T* removed) = 0;
    // Replaces the current element, copying the old one to `old` when that is not null.
    virtual bool set(const T& value, T* old) = 0;
    // Inserts beside the iterator: as its next element, or with kAddAsPrevious as its previous.
    virtual bool add(const T& value, int where) = 0;
};

}  // namespace kelp
