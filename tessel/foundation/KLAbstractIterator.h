#pragma once

#include <tessel/foundation/KLObject.h>

namespace kelp {

class KLCollection;
class KLCollectionIterator;

// An iterator handle: owns one collection iterator, bound to it by
// KLCollection::initIterator, and deletes it when destroyed or rebound.
class KLAbstractIterator : public KLObject {
public:
    KLAbstractIterator() = default;
    ~KLAbstractIterator() override;
    KLAbstractIterator(const KLAbstractIterator&) = delete;
    KLAbstractIterator& operator=(const KLAbstractIterator&) = delete;

    // False when no collection iterator is bound.
    bool hasNext();
    KLCollectionIterator* getCollectionIterator() const { return m_iterator; }

protected:
    KLCollectionIterator* m_iterator = nullptr;

private:
    friend class KLCollection;
    void bind(KLCollectionIterator* iterator);
};

}  // namespace kelp
