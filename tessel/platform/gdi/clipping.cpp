// Clipping and the DC attributes (colours, background mode, alignment).
#include <utility>

#include <tessel/platform/gdi.h>
#include "gdi/drawing.h"

using namespace tessel::gdi;

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->intersectClip({left, top, right, bottom}) : ERROR;
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->excludeClip({left, top, right, bottom}) : ERROR;
}

int SelectClipRgn(HDC dc, HRGN region) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return ERROR;
    if (!region) return d->selectClip(nullptr);
    Region* r = findRegion(region);
    if (!r) return ERROR;
    // Region coordinates are relative to the DC's device origin.
    cairo_region_t* shifted = cairo_region_copy(r->region);
    const POINT origin = d->toSurface(0, 0);
    const POINT viewport = d->state().viewportOrg;
    cairo_region_translate(shifted, origin.x - viewport.x, origin.y - viewport.y);
    const int kind = d->selectClip(shifted);
    cairo_region_destroy(shifted);
    return kind;
}

int GetClipBox(HDC dc, LPRECT box) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->clipBox(box) : ERROR;
}
// ---- attributes -------------------------------------------------------------

COLORREF SetTextColor(HDC dc, COLORREF color) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? std::exchange(d->state().textColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF GetTextColor(HDC dc) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->state().textColor : CLR_INVALID;
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? std::exchange(d->state().bkColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF GetBkColor(HDC dc) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->state().bkColor : CLR_INVALID;
}
int SetBkMode(HDC dc, int mode) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(d->state().bkMode, mode);
}
int GetBkMode(HDC dc) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->state().bkMode : 0;
}
UINT SetTextAlign(HDC dc, UINT align) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? std::exchange(d->state().textAlign, align) : 0xFFFFFFFF;
}
UINT GetTextAlign(HDC dc) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->state().textAlign : 0xFFFFFFFF;
}
int SetStretchBltMode(HDC dc, int mode) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(d->state().stretchMode, mode);
}
