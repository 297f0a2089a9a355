// Regions: creation, combination, queries and filling.
#include <algorithm>

#include <tessel/platform/gdi.h>
#include "gdi/drawing.h"

using namespace tessel::gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    const GdiLock lock;
    const cairo_rectangle_int_t r = toCairo(normalized(left, top, right, bottom));
    return static_cast<HRGN>(
        state().handles.insert(std::make_shared<Region>(cairo_region_create_rectangle(&r))));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    const GdiLock lock;
    Region* r = findRegion(region);
    if (!r) return FALSE;
    const cairo_rectangle_int_t rect = toCairo(normalized(left, top, right, bottom));
    cairo_region_destroy(r->region);
    r->region = cairo_region_create_rectangle(&rect);
    return TRUE;
}

int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode) {
    const GdiLock lock;
    Region* dst = findRegion(destination);
    Region* ra = findRegion(a);
    Region* rb = mode == RGN_COPY ? ra : findRegion(b);
    if (!dst || !ra || !rb) return ERROR;
    cairo_region_t* result = cairo_region_copy(ra->region);
    switch (mode) {
        case RGN_AND:
            cairo_region_intersect(result, rb->region);
            break;
        case RGN_OR:
            cairo_region_union(result, rb->region);
            break;
        case RGN_XOR:
            cairo_region_xor(result, rb->region);
            break;
        case RGN_DIFF:
            cairo_region_subtract(result, rb->region);
            break;
        case RGN_COPY:
            break;
        default:
            cairo_region_destroy(result);
            return ERROR;
    }
    cairo_region_destroy(dst->region);
    dst->region = result;
    return DeviceContext::regionKind(result);
}

int OffsetRgn(HRGN region, int dx, int dy) {
    const GdiLock lock;
    Region* r = findRegion(region);
    if (!r) return ERROR;
    cairo_region_translate(r->region, dx, dy);
    return DeviceContext::regionKind(r->region);
}

int GetRgnBox(HRGN region, LPRECT box) {
    const GdiLock lock;
    Region* r = findRegion(region);
    if (!r || !box) return ERROR;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(r->region, &e);
    *box = {e.x, e.y, e.x + e.width, e.y + e.height};
    return DeviceContext::regionKind(r->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const GdiLock lock;
    Region* r = findRegion(region);
    return r && cairo_region_contains_point(r->region, x, y);
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
    const GdiLock lock;
    Region* r = findRegion(region);
    if (!r || !rect) return FALSE;
    const cairo_rectangle_int_t c = toCairo(*rect);
    return cairo_region_contains_rectangle(r->region, &c) != CAIRO_REGION_OVERLAP_OUT;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    const GdiLock lock;
    Region* ra = findRegion(a);
    Region* rb = findRegion(b);
    return ra && rb && cairo_region_equal(ra->region, rb->region);
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    Region* r = findRegion(region);
    COLORREF color;
    if (!d || !r || !brushColor(*d, brush, &color)) return FALSE;
    const POINT shift = d->toSurface(0, 0);
    for (int i = 0, n = cairo_region_num_rectangles(r->region); i < n; ++i) {
        cairo_rectangle_int_t c;
        cairo_region_get_rectangle(r->region, i, &c);
        d->fillSurfaceRect(
            {c.x + shift.x, c.y + shift.y, c.x + c.width + shift.x, c.y + c.height + shift.y},
            color);
    }
    return TRUE;
}
