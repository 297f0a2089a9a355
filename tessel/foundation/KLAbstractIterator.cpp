#include "KLAbstractIterator.h"

#include "KLCollection.h"
#include "KLCollectionIterator.h"

namespace kelp {

KLAbstractIterator::~KLAbstractIterator() {
    delete m_iterator;
}

bool KLAbstractIterator::hasNext() {
    return m_iterator && m_iterator->hasNext();
}

void KLAbstractIterator::bind(KLCollectionIterator* iterator) {
    if (iterator == m_iterator) return;
    delete m_iterator;
    m_iterator = iterator;
}

}  // namespace kelp
