#pragma once

#include <tessel/foundation/KLAbstractIterator.h>
#include <tessel/foundation/KLElementIterator.h>
#include <tessel/foundation/KLIllegalStateException.h>
#include <tessel/foundation/KLNoSuchElementException.h>

namespace kelp {

// The iterator handle loops use: owns the collection iterator it is bound to.
//
//   KLIterator<Item*> it;
//   KLCollection::initIterator(it, vector.iterator(false));
//   while (it.hasNext()) if (it.next()->done()) it.remove();
template <class T>
class KLIterator : public KLAbstractIterator {
public:
    static constexpr const char* kFile = "KLIterator.h";
    static constexpr int kLineNext = 68;
    static constexpr int kLineRemove = 102;

    T& next() {
        if (!m_iterator) throw KLNoSuchElementException(kFile, kLineNext);
        return *typed()->next();
    }

    void remove() {
        if (!m_iterator) throw KLIllegalStateException(kFile, kLineRemove);
        typed()->remove(nullptr);
    }

private:
    // Bound through initIterator to an iterator of a collection of T.
    KLElementIterator<T>* typed() const { return static_cast<KLElementIterator<T>*>(m_iterator); }
};

}  // namespace kelp
