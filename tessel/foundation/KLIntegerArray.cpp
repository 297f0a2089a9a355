#include "KLIntegerArray.h"

#include "KLIndexOutOfBoundsException.h"

namespace kelp {

int& KLIntegerArray::operator[](int index) {
    if (index < 0 || index >= size()) throw KLIndexOutOfBoundsException(kFile, kLineIndex);
    return m_values[index];
}

int KLIntegerArray::get(int index) const {
    if (index < 0 || index >= size()) throw KLIndexOutOfBoundsException(kFile, kLineIndex);
    return m_values[index];
}

}  // namespace kelp
