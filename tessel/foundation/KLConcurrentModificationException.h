#pragma once

#include <tessel/foundation/KLException.h>
#include <tessel/foundation/kl_status.h>

namespace kelp {

// A collection changed behind an iterator's back (see KLCollectionIterator).
class KLConcurrentModificationException : public KLException {
public:
    using KLException::KLException;
    // The usual throw: own class name, the site, the thread's last status, no detail.
    KLConcurrentModificationException(const char* fileName, int line)
        : KLException("KLConcurrentModificationException", fileName, line,
                      kl_status_getLastError()) {}
};

}  // namespace kelp
