#pragma once

#include <concepts>
#include <cstring>

namespace kelp {

// compareData of the collections: 0 when the elements are equal, 1 otherwise.
// Types without operator== compare by their bytes.
template <class T>
int compareElements(const void* a, const void* b) {
    const T& left = *static_cast<const T*>(a);
    const T& right = *static_cast<const T*>(b);
    if constexpr (std::equality_comparable<T>) {
        return left == right ? 0 : 1;
    } else {
        return std::memcmp(&left, &right, sizeof(T)) == 0 ? 0 : 1;
    }
}

}  // namespace kelp
