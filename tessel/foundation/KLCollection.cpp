#include "KLCollection.h"

#include "KLAbstractIterator.h"

namespace kelp {

void KLCollection::initIterator(KLAbstractIterator& handle,
                                KLCollectionIterator* collectionIterator) {
    handle.bind(collectionIterator);
}

}  // namespace kelp
