#pragma once

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/kl_status.h>

namespace kelp {

// An allocation failed; the container that threw is unchanged.
class KLMemoryException : public KLException {
public:
    using KLException::KLException;
    // The usual throw: own class name, the site, the thread's last status, no detail.
    KLMemoryException(const char* fileName, int line)
        : KLException("KLMemoryException", fileName, line, kl_status_getLastError()) {}
};

}  // namespace kelp
