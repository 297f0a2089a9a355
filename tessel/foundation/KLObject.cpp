#include "KLObject.h"

#include <functional>

namespace kelp {

KLObject::~KLObject() = default;

std::size_t KLObject::hash() const {
    return std::hash<const void*>{}(this);
}

bool KLObject::lock(long) const {
    return true;
}
bool KLObject::lockForReading(long) const {
    return true;
}
bool KLObject::lockForWriting(long) const {
    return true;
}
bool KLObject::unlock() const {
    return true;
}

bool KLObject::writeToStream(std::ostream&) const {
    return false;
}
bool KLObject::readFromStream(std::istream&) {
    return false;
}

}  // namespace kelp
