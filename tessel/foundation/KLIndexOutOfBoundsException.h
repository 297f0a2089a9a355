#pragma once

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/kl_status.h>

namespace kelp {

// An index outside the container's valid range.
class KLIndexOutOfBoundsException : public KLException {
public:
    using KLException::KLException;
    // The usual throw: own class name, the site, the thread's last status, no detail.
    KLIndexOutOfBoundsException(const char* fileName, int line)
        : KLException("KLIndexOutOfBoundsException", fileName, line, kl_status_getLastError()) {}
};

}  // namespace kelp
