#pragma once

#include <tessel/foundation/KLObject.h>

namespace kelp {

// Holds one lock of a KLObject for a scope and releases it on every way out,
// exceptions included. Waits without limit, as the collections do.
//
//   KLLockGuard guard(list, KLLockGuard::Writing);
class KLLockGuard {
public:
    enum Kind { Exclusive, Reading, Writing };

    KLLockGuard(const KLObject& object, Kind kind) : m_object(object) {
        switch (kind) {
            case Exclusive:
                m_object.lock(-1);
                break;
            case Reading:
                m_object.lockForReading(-1);
                break;
            case Writing:
                m_object.lockForWriting(-1);
                break;
        }
    }
    ~KLLockGuard() { m_object.unlock(); }
    KLLockGuard(const KLLockGuard&) = delete;
    KLLockGuard& operator=(const KLLockGuard&) = delete;

private:
    const KLObject& m_object;
};

}  // namespace kelp
