// Internal: small helpers shared by the GDI drawing files (regions,
// clipping, shapes).
#pragma once

#include <algorithm>

#include <tessel/platform/gdi.h>
#include "gdi/state.h"

namespace tessel::gdi {

inline Region* findRegion(HRGN region) {
    return state().handles.find<Region>(region, ObjectType::Region);
}

inline cairo_rectangle_int_t toCairo(const RECT& r) {
    return {r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)};
}

inline RECT normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

}  // namespace tessel::gdi
