// Internal: the process-wide GDI lock. Components may be built on any
// thread, so every GDI entry point holds it for its whole call: what the
// call found by handle, the text engine's cached layouts and the objects
// DCs share (the default bitmap, stock objects) stay as the call saw them.
// The handle table also takes it for each of its own operations, for the
// window system's lookups. Recursive, since entry points call each other.
//
//   int SetBkMode(HDC dc, int mode) {
//       const GdiLock lock;
//       DeviceContext* d = findDC(dc);
#pragma once

#include <mutex>
#include <new>

namespace tessel::gdi {

class GdiLock {
public:
    GdiLock() { mutex().lock(); }
    ~GdiLock() { mutex().unlock(); }
    GdiLock(const GdiLock&) = delete;
    GdiLock& operator=(const GdiLock&) = delete;

private:
    // Never destroyed, like the GDI state: objects may be deleted during exit.
    static std::recursive_mutex& mutex() {
        alignas(std::recursive_mutex) static unsigned char storage[sizeof(std::recursive_mutex)];
        static std::recursive_mutex* const instance = new (storage) std::recursive_mutex;
        return *instance;
    }
};

}  // namespace tessel::gdi
