#pragma once

#include <tessel/foundation/KLElementIterator.h>
#include <tessel/foundation/KLLockGuard.h>
#include <tessel/foundation/KLNoSuchElementException.h>
#include <tessel/foundation/KLVector.h>

namespace kelp {

// Walks a KLVector by index. The current index is -1 when there is no current
// element; next and previous are the indices on either side of the position.
// Every operation holds the vector's exclusive lock, inside which the
// vector's own operations nest.
template <class T>
class KLVectorIterator : public KLElementIterator<T> {
public:
    static constexpr const char* kFile = "KLVectorIterator.h";
    static constexpr int kLineCurrent = 611;
    static constexpr int kLineNext = 623;
    static constexpr int kLinePrevious = 638;
    static constexpr int kLineRemove = 654;
    static constexpr int kLineSet = 673;

    // Positioned before element `index`.
    KLVectorIterator(KLVector<T>* vector, int index)
        : KLElementIterator<T>(vector), m_vector(vector), m_next(index), m_previous(index - 1) {}

    bool hasCurrent() override {
        return locked([&] { return m_current >= 0; });
    }
    bool hasNext() override {
        return locked([&] { return static_cast<std::uint64_t>(m_next) < m_vector->size(); });
    }
    bool hasPrevious() override {
        return locked([&] { return m_previous >= 0; });
    }

    T* current() override {
        return locked([&] {
            if (m_current < 0) throw KLNoSuchElementException(kFile, kLineCurrent);
            return &m_vector->get(m_current);
        });
    }

    T* next() override {
        return locked([&] {
            if (m_next < 0 || static_cast<std::uint64_t>(m_next) >= m_vector->size()) {
                throw KLNoSuchElementException(kFile, kLineNext);
            }
            return stepOnto(m_next);
        });
    }

    T* previous() override {
        return locked([&] {
            if (m_previous < 0) throw KLNoSuchElementException(kFile, kLinePrevious);
            return stepOnto(m_previous);
        });
    }

    bool remove(T* removed) override {
        return locked([&] {
            if (m_current < 0) throw KLNoSuchElementException(kFile, kLineRemove);
            if (removed) *removed = m_vector->get(m_current);
            m_vector->removeRange(m_current, 1);
            m_current = -1;
            --m_next;
            this->acceptModCount();
            return true;
        });
    }

    bool set(const T& value, T* old) override {
        return locked([&] {
            if (m_current < 0) throw KLNoSuchElementException(kFile, kLineSet);
            if (old) *old = m_vector->get(m_current);
            m_vector->set(value, m_current, nullptr);
            this->acceptModCount();
            return true;
        });
    }

    bool add(const T& value, int where) override {
        return locked([&] {
            if (where != KLCollection::kAddAsPrevious) {
                m_vector->insert(value, m_current < 0 ? m_next : m_current + 1);
            } else {
                if (m_current < 0) {
                    m_vector->insert(value, m_previous + 1);
                } else {
                    m_vector->insert(value, m_current);
                    ++m_current;
                }
                ++m_previous;
                ++m_next;
            }
            this->acceptModCount();
            return true;
        });
    }

private:
    // get() first: an index past the end (possible after listIterator on an
    // empty vector) throws before the position moves.
    T* stepOnto(int index) {
        T* element = &m_vector->get(index);
        m_current = index;
        m_next = index + 1;
        m_previous = index - 1;
        return element;
    }

    template <class Body>
    auto locked(Body body) {
        KLLockGuard guard(*m_vector, KLLockGuard::Exclusive);
        this->checkForComodification();
        return body();
    }

    KLVector<T>* m_vector;
    int m_current = -1;
    int m_next;
    int m_previous;
};

}  // namespace kelp
