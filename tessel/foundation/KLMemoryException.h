#pragma once

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/kl_status.h>

namespace kelp {

// An allocation failed; the container that threw is unchanged.
class KLMemoryException : public KLException {
public:
    using KLException::KLException;
    // The usual throw: own class name, the site, the thread's last status, no
    // detail. The status is always KL_STATUS_OUT_OF_MEMORY: a size that cannot
    // be counted or reached fails before any allocator could record it, so the
    // thread's status is set here first.
    KLMemoryException(const char* fileName, int line)
        : KLException("KLMemoryException", fileName, line, outOfMemory()) {}

private:
    static kl_status outOfMemory() {
        kl_status_setLastError(KL_STATUS_OUT_OF_MEMORY);
        return kl_status_getLastError();
    }
};

}  // namespace kelp
