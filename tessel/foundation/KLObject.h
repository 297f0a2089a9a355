#pragma once

#include <cstddef>
#include <iosfwd>

namespace kelp {

// Root of the foundation's class family. A plain object is not shared between
// threads, so its lock operations succeed at once and exclude nothing;
// KLLockableObject gives them meaning. Streaming is opt-in: the defaults write
// and read nothing and report false.
class KLObject {
public:
    virtual ~KLObject();

    // Identity hash: equal only for the same object unless a class redefines equality.
    virtual std::size_t hash() const;

    // Time-outs are in milliseconds; a negative value waits without limit, 0 only tries.
    // Inline, so that code which knows it holds a plain object pays nothing.
    virtual bool lock(long /*timeoutMs*/ = -1) const { return true; }
    virtual bool lockForReading(long /*timeoutMs*/ = -1) const { return true; }
    virtual bool lockForWriting(long /*timeoutMs*/ = -1) const { return true; }
    virtual bool unlock() const { return true; }

    virtual bool writeToStream(std::ostream& out) const;
    virtual bool readFromStream(std::istream& in);
};

}  // namespace kelp
