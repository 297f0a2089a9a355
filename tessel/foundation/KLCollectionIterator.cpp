#include "KLCollectionIterator.h"

#include "KLCollection.h"
#include "KLConcurrentModificationException.h"

namespace kelp {

KLCollectionIterator::KLCollectionIterator(KLCollection* collection)
    : m_collection(collection), m_expectedModCount(collection ? collection->getModCount() : 0) {}

void KLCollectionIterator::checkForComodification() const {
    if (m_collection && m_collection->getModCount() != m_expectedModCount) {
        throw KLConcurrentModificationException(kFile, kLineComodification);
    }
}

void KLCollectionIterator::acceptModCount() {
    if (m_collection) m_expectedModCount = m_collection->getModCount();
}

}  // namespace kelp
