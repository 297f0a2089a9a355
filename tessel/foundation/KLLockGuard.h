#pragma once

#include <tessel/foundation/KLObject.h>

namespace kelp {

// Holds one lock of a KLObject for a scope and releases it on every way out,
// exceptions included. Waits without limit, as the collections do. A lock
// that could not be taken (with -1 only: a thread that only reads asking for
// the write lock, which fails at once instead of waiting for itself, see
// KLLockableObject) is not released either, so the guard never gives up a
// hold of the caller's; the guarded code then runs under the caller's read
// hold alone, and owns() tells.
//
//   KLLockGuard guard(list, KLLockGuard::Writing);
class KLLockGuard {
public:
    enum Kind { Exclusive, Reading, Writing };

    KLLockGuard(const KLObject& object, Kind kind) : m_object(object) {
        switch (kind) {
            case Exclusive:
                m_held = m_object.lock(-1);
                break;
            case Reading:
                m_held = m_object.lockForReading(-1);
                break;
            case Writing:
                m_held = m_object.lockForWriting(-1);
                break;
        }
    }
    ~KLLockGuard() {
        if (m_held) m_object.unlock();
    }
    KLLockGuard(const KLLockGuard&) = delete;
    KLLockGuard& operator=(const KLLockGuard&) = delete;

    // Whether the lock was taken (and so is ours to release).
    bool owns() const { return m_held; }

private:
    const KLObject& m_object;
    bool m_held = false;
};

}  // namespace kelp
