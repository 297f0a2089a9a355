// Heap in use by this process, as malloc counts it (every arena, large
// mapped blocks included), so that every allocation the code under test
// makes shows, whatever allocates it: operator new, C libraries, fonts.
//
//   const long long before = tessel::bench::heapInUse();
//   ... create n things ...
//   state.counters["bytes_per_element"] = tessel::bench::perElement(before, n);
#pragma once

#include <malloc.h>

namespace tessel::bench {

inline long long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks) + static_cast<long long>(info.hblkhd);
}

// Bytes added since `before`, shared out over `count` elements.
inline double perElement(long long before, int count) {
    return count > 0 ? static_cast<double>(heapInUse() - before) / count : 0.0;
}

}  // namespace tessel::bench
