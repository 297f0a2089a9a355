#pragma once

#include <cstddef>

#include <tessel/foundation/KLElementIterator.h>
#include <tessel/foundation/KLIllegalStateException.h>
#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLNoSuchElementException.h>

namespace kelp {

// Walks a KLList in both directions. It remembers the current node (the one
// last stepped over, null after remove) and the nodes on either side of its
// position. Queries hold the list's read lock, changes its write lock.
template <class T>
class KLListIterator : public KLElementIterator<T> {
public:
    static constexpr const char* kFile = "KLListIterator.h";
    static constexpr int kLineCurrent = 521;
    static constexpr int kLineNext = 533;
    static constexpr int kLinePrevious = 549;
    static constexpr int kLineRemove = 566;
    static constexpr int kLineSet = 584;
    static constexpr int kLineAddNoList = 600;
    static constexpr int kLineAddNoMemory = 606;

    // From the start of the list, or with fromEnd past its last node.
    KLListIterator(KLList<T>* list, bool fromEnd) : KLElementIterator<T>(list), m_list(list) {
        if (!list) return;
        KLLockGuard guard(*list, KLLockGuard::Reading);
        (fromEnd ? m_previous : m_next) = fromEnd ? list->m_last : list->m_first;
        this->acceptModCount();
    }

    bool hasCurrent() override {
        return query([&] { return m_current != nullptr; });
    }
    bool hasNext() override {
        return query([&] { return m_next != nullptr; });
    }
    bool hasPrevious() override {
        return query([&] { return m_previous != nullptr; });
    }

    T* current() override {
        return query([&] {
            if (!m_current) throw KLNoSuchElementException(kFile, kLineCurrent);
            return &m_current->value;
        });
    }

    T* next() override {
        return query([&] {
            if (!m_next) throw KLNoSuchElementException(kFile, kLineNext);
            return stepOnto(m_next);
        });
    }

    T* previous() override {
        return query([&] {
            if (!m_previous) throw KLNoSuchElementException(kFile, kLinePrevious);
            return stepOnto(m_previous);
        });
    }

    // Steps over up to `most` elements under one read hold, calling
    // visit(element) for each, as hasNext and next in a loop would but
    // without taking the lock per step; another thread's change between two
    // runs makes the next run throw. False when the walk is at the end.
    template <class Visit>
    bool nextRun(std::size_t most, Visit visit) {
        return query([&] {
            for (std::size_t i = 0; i < most && m_next; ++i)
                visit(*stepOnto(m_next));
            return m_next != nullptr;
        });
    }

    bool remove(T* removed) override {
        return change([&] {
            if (!m_current) throw KLNoSuchElementException(kFile, kLineRemove);
            if (removed) *removed = m_current->value;
            m_list->unlink(m_current);
            m_list->releaseNode(m_current);
            m_list->storeSize(m_list->size() - 1);
            m_list->modified();
            m_current = nullptr;
        });
    }

    bool set(const T& value, T* old) override {
        return change([&] {
            if (!m_current) throw KLIllegalStateException(kFile, kLineSet);
            if (old) *old = m_current->value;
            m_current->value = value;
        });
    }

    bool add(const T& value, int where) override {
        if (!m_list) throw KLIllegalStateException(kFile, kLineAddNoList);
        return change([&] {
            Node* node = m_list->allocateNode(value);
            if (!node) throw KLMemoryException(kFile, kLineAddNoMemory);
            const bool empty = m_list->m_first == nullptr;
            if (where != KLCollection::kAddAsPrevious) {
                if (empty || (!m_current && !m_next)) {
                    m_list->linkBefore(node, nullptr);
                } else if (m_current) {
                    m_list->linkAfter(node, m_current);
                } else {
                    m_list->linkBefore(node, m_next);
                }
                m_next = node;
            } else {
                if (empty || (!m_current && !m_previous)) {
                    m_list->linkAfter(node, nullptr);
                } else if (m_current) {
                    m_list->linkBefore(node, m_current);
                } else {
                    m_list->linkAfter(node, m_previous);
                }
                m_previous = node;
            }
            m_list->storeSize(m_list->size() + 1);
            m_list->modified();
        });
    }

private:
    using Node = typename KLList<T>::Node;

    T* stepOnto(Node* node) {
        m_current = node;
        m_next = node->next;
        m_previous = node->previous;
        return &node->value;
    }

    // Runs `body` under the list's read lock after the comodification check.
    // An iterator without a list has no nodes: the bodies then fail by themselves.
    template <class Body>
    auto query(Body body) {
        if (!m_list) return body();
        KLLockGuard guard(*m_list, KLLockGuard::Reading);
        this->checkForComodification();
        return body();
    }

    // Runs `body` under the write lock; the iterator accepts its own change.
    template <class Body>
    bool change(Body body) {
        if (!m_list) return body(), true;
        KLLockGuard guard(*m_list, KLLockGuard::Writing);
        this->checkForComodification();
        body();
        this->acceptModCount();
        return true;
    }

    KLList<T>* m_list;
    Node* m_current = nullptr;
    Node* m_next = nullptr;
    Node* m_previous = nullptr;
};

}  // namespace kelp
