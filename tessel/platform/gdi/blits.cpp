// Blits: BitBlt, StretchBlt and AlphaBlend.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <tessel/platform/gdi.h>
#include <tessel/platform/win_rect.h>
#include "gdi/state.h"

using namespace tessel::gdi;

namespace {

int saturated(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The rectangle between two corners, in either order, within `surface`.
RECT normalizedCut(long long x0, long long y0, long long x1, long long y1,
                   cairo_surface_t* surface) {
    const long long width = cairo_image_surface_get_width(surface);
    const long long height = cairo_image_surface_get_height(surface);
    const RECT cut{static_cast<LONG>(std::clamp(std::min(x0, x1), 0LL, width)),
                   static_cast<LONG>(std::clamp(std::min(y0, y1), 0LL, height)),
                   static_cast<LONG>(std::clamp(std::max(x0, x1), 0LL, width)),
                   static_cast<LONG>(std::clamp(std::max(y0, y1), 0LL, height))};
    return cut;
}

// Source pixels of `source` for a blit onto `destination`; a private copy
// when both are the same surface, since Cairo cannot read what it overwrites.
// Null when there is no memory for the copy.
cairo_surface_t* blitSource(DeviceContext& destination, DeviceContext& source, bool ignoreAlpha) {
    cairo_surface_t* s = source.surface();
    cairo_surface_flush(s);
    cairo_surface_mark_dirty(s);
    if (s == destination.surface() || ignoreAlpha) {
        const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        cairo_surface_t* copy = cairo_image_surface_create(
            ignoreAlpha ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, w, h);
        if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(copy);
            return nullptr;
        }
        cairo_t* cr = cairo_create(copy);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        return copy;
    }
    return cairo_surface_reference(s);
}

BOOL blit(HDC dstDC, int x, int y, int w, int h, HDC srcDC, int sx, int sy, int sw, int sh,
          cairo_operator_t op, double alpha, bool ignoreAlpha) {
    DeviceContext* dst = findDC(dstDC);
    DeviceContext* src = findDC(srcDC);
    if (!dst || !src) return FALSE;
    // A surface that failed to allocate has no pixels to give or take.
    if (cairo_surface_status(dst->surface()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_status(src->surface()) != CAIRO_STATUS_SUCCESS)
        return FALSE;
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return TRUE;
    const POINT at = dst->toSurface(x, y);
    const POINT from = src->toSurface(sx, sy);
    // The destination rectangle, cut to the surface: Cairo's fixed point
    // does not reach int's range.
    const POINT end = dst->toSurface(saturated(0LL + x + w), saturated(0LL + y + h));
    const RECT target = normalizedCut(at.x, at.y, end.x, end.y, dst->surface());
    if (IsRectEmpty(&target)) return TRUE;
    cairo_surface_t* pixels = blitSource(*dst, *src, ignoreAlpha);
    if (!pixels) return FALSE;
    cairo_t* cr = dst->cairo();
    cairo_save(cr);
    cairo_rectangle(cr, target.left, target.top, target.right - target.left,
                    target.bottom - target.top);
    cairo_clip(cr);
    // Map the source rectangle onto the destination rectangle (negative sizes mirror).
    cairo_translate(cr, at.x, at.y);
    cairo_scale(cr, static_cast<double>(w) / sw, static_cast<double>(h) / sh);
    cairo_set_source_surface(cr, pixels, -from.x, -from.y);
    const bool scaled = std::llabs(w) != std::llabs(sw) || std::llabs(h) != std::llabs(sh);
    cairo_pattern_set_filter(cairo_get_source(cr), scaled && dst->state().stretchMode == HALFTONE
                                                       ? CAIRO_FILTER_GOOD
                                                       : CAIRO_FILTER_NEAREST);
    cairo_set_operator(cr, op);
    if (alpha >= 1.0) {
        cairo_paint(cr);
    } else {
        cairo_paint_with_alpha(cr, alpha);
    }
    cairo_restore(cr);
    cairo_surface_destroy(pixels);
    return TRUE;
}

}  // namespace

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop) {
    const GdiLock lock;
    if (rop != SRCCOPY) return PatBlt(destination, x, y, width, height, rop);
    return blit(destination, x, y, width, height, source, sourceX, sourceY, width, height,
                CAIRO_OPERATOR_SOURCE, 1.0, false);
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop) {
    const GdiLock lock;
    if (rop != SRCCOPY) return PatBlt(destination, x, y, width, height, rop);
    return blit(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                sourceHeight, CAIRO_OPERATOR_SOURCE, 1.0, false);
}

BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend) {
    const GdiLock lock;
    if (blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || sourceWidth < 0 ||
        sourceHeight < 0)
        return FALSE;
    return blit(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                sourceHeight, CAIRO_OPERATOR_OVER, blend.SourceConstantAlpha / 255.0,
                (blend.AlphaFormat & AC_SRC_ALPHA) == 0);
}
