#pragma once

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/kl_status.h>

namespace kelp {

// An operation that the object's present state does not allow.
class KLIllegalStateException : public KLException {
public:
    using KLException::KLException;
    // The usual throw: own class name, the site, the thread's last status, no detail.
    KLIllegalStateException(const char* fileName, int line)
        : KLException("KLIllegalStateException", fileName, line, kl_status_getLastError()) {}
};

}  // namespace kelp
