#include "KLObject.h"

#include <functional>

namespace kelp {

KLObject::~KLObject() = default;

std::size_t KLObject::hash() const {
    return std::hash<const void*>{}(this);
}

bool KLObject::writeToStream(std::ostream&) const {
    return false;
}
bool KLObject::readFromStream(std::istream&) {
    return false;
}

}  // namespace kelp
