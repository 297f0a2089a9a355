#pragma once

#include <memory>
#include <new>

#include <tessel/foundation/KLCollection.h>
#include <tessel/foundation/KLElementCompare.h>
#include <tessel/foundation/KLFixedSizeMemoryManager.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLMemoryException.h>

namespace kelp {

template <class T>
class KLListIterator;

// A doubly linked list whose nodes come from a pool the list owns, so adding
// and removing does not go to the general heap each time.
//
// Invariant: first/last are null exactly when the size is 0; every
// structural change raises the modification count by one; each operation
// holds the list's lock (see KLLockableObject) and releases it on every way out.
//
//   KLList<Item*> list;
//   list.add(item, KLCollection::kAddLast);
//   KLIterator<Item*> it; KLCollection::initIterator(it, list.iterator(false));
template <class T>
class KLList : public KLCollection {
public:
    static constexpr const char* kFile = "KLList.h";
    static constexpr int kLineAddNoMemory = 187;

    KLList()
        : m_nodeAllocator(
              std::make_unique<KLFixedSizeMemoryManager>(sizeof(Node), 128, 1024, nullptr)) {}
    ~KLList() override { clear(); }
    KLList(const KLList&) = delete;
    KLList& operator=(const KLList&) = delete;

    // where kAddFirst (0) puts the element first; any other value puts it last.
    void add(const T& value, int where) {
        // The node is allocated under the write lock: the pool is then only
        // ever touched under it and needs no lock of its own.
        KLLockGuard guard(*this, KLLockGuard::Writing);
        Node* node = allocateNode(value);
        if (!node) throw KLMemoryException(kFile, kLineAddNoMemory);
        if (where == kAddFirst) {
            linkAfter(node, nullptr);
        } else {
            linkBefore(node, nullptr);
        }
        storeSize(size() + 1);
        modified();
    }

    // Unlinks the first node holding `value`, walking from the first; false
    // (and nothing changed) when no node holds it.
    bool removeFirst(const T& value) {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        for (Node* node = m_first; node; node = node->next) {
            if (!(node->value == value)) continue;
            unlink(node);
            releaseNode(node);
            modified();
            storeSize(size() - 1);
            return true;
        }
        return false;
    }

    KLCollectionIterator* iterator(bool fromEnd) override {
        return new KLListIterator<T>(this, fromEnd);
    }

    int compareData(const void* a, const void* b) const override {
        return compareElements<T>(a, b);
    }

    void clear() override {
        KLLockGuard guard(*this, KLLockGuard::Writing);
        for (Node* node = m_first; node;) {
            Node* next = node->next;
            releaseNode(node);
            node = next;
        }
        m_first = m_last = nullptr;
        if (size() != 0) {
            storeSize(0);
            modified();
        }
    }

    // The pool the nodes come from (tests inject allocation failures through it).
    KLFixedSizeMemoryManager& getNodeAllocator() { return *m_nodeAllocator; }

private:
    friend class KLListIterator<T>;

    struct Node {
        Node* next;
        Node* previous;
        T value;
    };

    // Null when the pool is exhausted; a throwing copy gives the memory back.
    Node* allocateNode(const T& value) {
        void* memory = m_nodeAllocator->malloc(sizeof(Node));
        if (!memory) return nullptr;
        try {
            return new (memory) Node{nullptr, nullptr, value};
        } catch (...) {
            m_nodeAllocator->free(memory);
            throw;
        }
    }

    void releaseNode(Node* node) {
        node->~Node();
        m_nodeAllocator->free(node);
    }

    // Links `node` after `predecessor`, or first when that is null.
    void linkAfter(Node* node, Node* predecessor) {
        Node* successor = predecessor ? predecessor->next : m_first;
        node->previous = predecessor;
        node->next = successor;
        (predecessor ? predecessor->next : m_first) = node;
        (successor ? successor->previous : m_last) = node;
    }

    // Links `node` before `successor`, or last when that is null.
    void linkBefore(Node* node, Node* successor) {
        linkAfter(node, successor ? successor->previous : m_last);
    }

    void unlink(Node* node) {
        (node->previous ? node->previous->next : m_first) = node->next;
        (node->next ? node->next->previous : m_last) = node->previous;
    }

    std::unique_ptr<KLFixedSizeMemoryManager> m_nodeAllocator;
    Node* m_first = nullptr;
    Node* m_last = nullptr;
};

}  // namespace kelp

#include <tessel/foundation/KLListIterator.h>
