#pragma once

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/kl_status.h>

namespace kelp {

// An iterator asked for an element that is not there.
class KLNoSuchElementException : public KLException {
public:
    using KLException::KLException;
    // The usual throw: own class name, the site, the thread's last status, no detail.
    KLNoSuchElementException(const char* fileName, int line)
        : KLException("KLNoSuchElementException", fileName, line, kl_status_getLastError()) {}
};

}  // namespace kelp
