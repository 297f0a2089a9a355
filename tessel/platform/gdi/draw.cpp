// Regions, clipping, attributes, shapes, pixels and blits.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include <tessel/platform/gdi.h>
#include "gdi/state.h"

using namespace tessel::gdi;

namespace {

Region* findRegion(HRGN region) {
    return state().handles.find<Region>(region, ObjectType::Region);
}

cairo_rectangle_int_t toCairo(const RECT& r) {
    return {r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)};
}

RECT normalized(int left, int top, int right, int bottom) {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
}

void setSource(cairo_t* cr, COLORREF color) {
    cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0,
                         GetBValue(color) / 255.0);
}

// The selected brush's colour; false for a null brush.
bool currentBrush(DeviceContext& d, COLORREF* color) {
    if (d.state().brushHandle == state().stock[DC_BRUSH])
        return *color = d.state().dcBrushColor, true;
    auto* brush = static_cast<Brush*>(d.state().brush.get());
    if (!brush || brush->style == BS_NULL) return false;
    *color = brush->color;
    return true;
}

// The selected pen; null for a null pen.
const Pen* currentPen(DeviceContext& d, COLORREF* color) {
    auto* pen = static_cast<Pen*>(d.state().pen.get());
    if (!pen || pen->style == PS_NULL) return nullptr;
    *color = d.state().penHandle == state().stock[DC_PEN] ? d.state().dcPenColor : pen->color;
    return pen;
}

void frameSurfaceRect(DeviceContext& d, const RECT& r, int width, COLORREF color) {
    const int w = std::min({width, (r.right - r.left + 1) / 2, (r.bottom - r.top + 1) / 2});
    if (w <= 0) return;
    d.fillSurfaceRect({r.left, r.top, r.right, r.top + w}, color);
    d.fillSurfaceRect({r.left, r.bottom - w, r.right, r.bottom}, color);
    d.fillSurfaceRect({r.left, r.top + w, r.left + w, r.bottom - w}, color);
    d.fillSurfaceRect({r.right - w, r.top + w, r.right, r.bottom - w}, color);
}

// Path of a rectangle with elliptic corners of the given diameters.
void roundedPath(cairo_t* cr, double x, double y, double w, double h, double cw, double ch) {
    const double rx = std::min(cw / 2, w / 2), ry = std::min(ch / 2, h / 2);
    if (rx <= 0 || ry <= 0) return cairo_rectangle(cr, x, y, w, h);
    cairo_new_sub_path(cr);
    const double corners[4][3] = {{x + w - rx, y + ry, -M_PI / 2},
                                  {x + w - rx, y + h - ry, 0},
                                  {x + rx, y + h - ry, M_PI / 2},
                                  {x + rx, y + ry, M_PI}};
    for (const auto& c : corners) {
        cairo_save(cr);
        cairo_translate(cr, c[0], c[1]);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, c[2], c[2] + M_PI / 2);
        cairo_restore(cr);
    }
    cairo_close_path(cr);
}

// Fills and outlines a shape whose path `shape(inset)` draws the figure
// shrunk by `inset` pixels on every side.
template <class Shape>
BOOL drawFigure(HDC dc, int left, int top, int right, int bottom, Shape shape) {
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    RECT r = d->toSurface(normalized(left, top, right, bottom));
    COLORREF penColor = 0, brushColor = 0;
    const Pen* pen = currentPen(*d, &penColor);
    if (!pen) r.right -= 1, r.bottom -= 1;  // GDI leaves the last row and column to the pen
    if (r.right <= r.left || r.bottom <= r.top) return TRUE;
    cairo_t* cr = d->cairo();
    if (currentBrush(*d, &brushColor)) {
        setSource(cr, brushColor);
        shape(cr, r, 0.0);
        cairo_fill(cr);
    }
    if (pen) {
        const double w =
            std::min<double>(pen->width, std::min(r.right - r.left, r.bottom - r.top) / 2.0);
        setSource(cr, penColor);
        shape(cr, r, 0.0);
        shape(cr, r, w);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    }
    return TRUE;
}

// Bresenham from a to b, the end point excluded, as runs of pixels.
void drawThinLine(DeviceContext& d, POINT a, POINT b, COLORREF color) {
    if (a.y == b.y) {
        const RECT run =
            a.x < b.x ? RECT{a.x, a.y, b.x, a.y + 1} : RECT{b.x + 1, a.y, a.x + 1, a.y + 1};
        return d.fillSurfaceRect(run, color);
    }
    if (a.x == b.x) {
        const RECT run =
            a.y < b.y ? RECT{a.x, a.y, a.x + 1, b.y} : RECT{a.x, b.y + 1, a.x + 1, a.y + 1};
        return d.fillSurfaceRect(run, color);
    }
    long long dx = std::llabs(0LL + b.x - a.x), dy = -std::llabs(0LL + b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    long long error = dx + dy;
    int x = a.x, y = a.y;
    // Bounded by the clip: pixels far outside it cost nothing but the loop.
    cairo_rectangle_int_t box;
    cairo_region_get_extents(d.effectiveClip(), &box);
    for (long long steps = std::max(dx, -dy); steps > 0; --steps) {
        if (x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height) {
            d.fillSurfaceRect({x, y, x + 1, y + 1}, color);
        }
        const long long e2 = 2 * error;
        if (e2 >= dy) error += dy, x += sx;
        if (e2 <= dx) error += dx, y += sy;
    }
}

unsigned char* pixelAt(cairo_surface_t* surface, int x, int y) {
    if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) ||
        y >= cairo_image_surface_get_height(surface)) {
        return nullptr;
    }
    return cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) +
           x * 4;
}

}  // namespace

// ---- regions ----------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    const cairo_rectangle_int_t r = toCairo(normalized(left, top, right, bottom));
    return static_cast<HRGN>(
        state().handles.insert(std::make_shared<Region>(cairo_region_create_rectangle(&r))));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    Region* r = findRegion(region);
    if (!r) return FALSE;
    const cairo_rectangle_int_t rect = toCairo(normalized(left, top, right, bottom));
    cairo_region_destroy(r->region);
    r->region = cairo_region_create_rectangle(&rect);
    return TRUE;
}

int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode) {
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
    Region* r = findRegion(region);
    if (!r) return ERROR;
    cairo_region_translate(r->region, dx, dy);
    return DeviceContext::regionKind(r->region);
}

int GetRgnBox(HRGN region, LPRECT box) {
    Region* r = findRegion(region);
    if (!r || !box) return ERROR;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(r->region, &e);
    *box = {e.x, e.y, e.x + e.width, e.y + e.height};
    return DeviceContext::regionKind(r->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    Region* r = findRegion(region);
    return r && cairo_region_contains_point(r->region, x, y);
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
    Region* r = findRegion(region);
    if (!r || !rect) return FALSE;
    const cairo_rectangle_int_t c = toCairo(*rect);
    return cairo_region_contains_rectangle(r->region, &c) != CAIRO_REGION_OVERLAP_OUT;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    Region* ra = findRegion(a);
    Region* rb = findRegion(b);
    return ra && rb && cairo_region_equal(ra->region, rb->region);
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
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

// ---- clipping ---------------------------------------------------------------

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* d = findDC(dc);
    return d ? d->intersectClip({left, top, right, bottom}) : ERROR;
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    DeviceContext* d = findDC(dc);
    return d ? d->excludeClip({left, top, right, bottom}) : ERROR;
}

int SelectClipRgn(HDC dc, HRGN region) {
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
    DeviceContext* d = findDC(dc);
    return d ? d->clipBox(box) : ERROR;
}

// ---- attributes -------------------------------------------------------------

COLORREF SetTextColor(HDC dc, COLORREF color) {
    DeviceContext* d = findDC(dc);
    return d ? std::exchange(d->state().textColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF GetTextColor(HDC dc) {
    DeviceContext* d = findDC(dc);
    return d ? d->state().textColor : CLR_INVALID;
}
COLORREF SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* d = findDC(dc);
    return d ? std::exchange(d->state().bkColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF GetBkColor(HDC dc) {
    DeviceContext* d = findDC(dc);
    return d ? d->state().bkColor : CLR_INVALID;
}
int SetBkMode(HDC dc, int mode) {
    DeviceContext* d = findDC(dc);
    if (!d || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(d->state().bkMode, mode);
}
int GetBkMode(HDC dc) {
    DeviceContext* d = findDC(dc);
    return d ? d->state().bkMode : 0;
}
UINT SetTextAlign(HDC dc, UINT align) {
    DeviceContext* d = findDC(dc);
    return d ? std::exchange(d->state().textAlign, align) : 0xFFFFFFFF;
}
UINT GetTextAlign(HDC dc) {
    DeviceContext* d = findDC(dc);
    return d ? d->state().textAlign : 0xFFFFFFFF;
}
int SetStretchBltMode(HDC dc, int mode) {
    DeviceContext* d = findDC(dc);
    if (!d || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(d->state().stretchMode, mode);
}

// ---- shapes -----------------------------------------------------------------

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = findDC(dc);
    COLORREF color;
    if (!d || !rect) return FALSE;
    if (!brushColor(*d, brush, &color)) return FALSE;
    d->fillSurfaceRect(d->toSurface(*rect), color);
    return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* d = findDC(dc);
    COLORREF color;
    if (!d || !rect || !brushColor(*d, brush, &color)) return FALSE;
    frameSurfaceRect(*d, d->toSurface(*rect), 1, color);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return drawFigure(dc, left, top, right, bottom, [](cairo_t* cr, const RECT& r, double inset) {
        cairo_rectangle(cr, r.left + inset, r.top + inset, r.right - r.left - 2 * inset,
                        r.bottom - r.top - 2 * inset);
    });
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    return drawFigure(dc, left, top, right, bottom, [=](cairo_t* cr, const RECT& r, double inset) {
        roundedPath(cr, r.left + inset, r.top + inset, r.right - r.left - 2 * inset,
                    r.bottom - r.top - 2 * inset, std::max(0.0, width - 2 * inset),
                    std::max(0.0, height - 2 * inset));
    });
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return drawFigure(dc, left, top, right, bottom, [](cairo_t* cr, const RECT& r, double inset) {
        const double w = r.right - r.left - 2 * inset, h = r.bottom - r.top - 2 * inset;
        roundedPath(cr, r.left + inset, r.top + inset, w, h, w, h);
    });
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    if (previous) *previous = d->state().penPosition;
    d->state().penPosition = {x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    const POINT from = d->toSurface(d->state().penPosition.x, d->state().penPosition.y);
    const POINT to = d->toSurface(x, y);
    d->state().penPosition = {x, y};
    COLORREF color;
    const Pen* pen = currentPen(*d, &color);
    if (!pen) return TRUE;
    if (pen->width <= 1) {
        drawThinLine(*d, from, to, color);
    } else {
        cairo_t* cr = d->cairo();
        setSource(cr, color);
        cairo_set_line_width(cr, pen->width);
        cairo_move_to(cr, from.x + 0.5, from.y + 0.5);
        cairo_line_to(cr, to.x + 0.5, to.y + 0.5);
        cairo_stroke(cr);
    }
    return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    COLORREF color;
    switch (rop) {
        case BLACKNESS:
            color = RGB(0, 0, 0);
            break;
        case WHITENESS:
            color = RGB(255, 255, 255);
            break;
        case PATCOPY:
            if (!currentBrush(*d, &color)) return TRUE;
            break;
        default:
            return FALSE;
    }
    d->fillSurfaceRect(d->toSurface(normalized(x, y, x + width, y + height)), color);
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DeviceContext* d = findDC(dc);
    if (!d) return CLR_INVALID;
    const POINT p = d->toSurface(x, y);
    if (!cairo_region_contains_point(d->effectiveClip(), p.x, p.y)) return CLR_INVALID;
    d->fillSurfaceRect({p.x, p.y, p.x + 1, p.y + 1}, color);
    return color & 0xFFFFFF;
}

// Reads the surface under the DC: clipping limits drawing, not looking, so a
// parent's DC shows what its children drew.
COLORREF GetPixel(HDC dc, int x, int y) {
    DeviceContext* d = findDC(dc);
    if (!d) return CLR_INVALID;
    const POINT p = d->toSurface(x, y);
    cairo_surface_flush(d->surface());
    const unsigned char* px = pixelAt(d->surface(), p.x, p.y);
    if (!px) return CLR_INVALID;
    std::uint32_t argb;
    std::memcpy(&argb, px, 4);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// ---- blits ------------------------------------------------------------------

namespace {

// Source pixels of `source` for a blit onto `destination`; a private copy
// when both are the same surface, since Cairo cannot read what it overwrites.
cairo_surface_t* blitSource(DeviceContext& destination, DeviceContext& source, bool ignoreAlpha) {
    cairo_surface_t* s = source.surface();
    cairo_surface_flush(s);
    cairo_surface_mark_dirty(s);
    if (s == destination.surface() || ignoreAlpha) {
        const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        cairo_surface_t* copy = cairo_image_surface_create(
            ignoreAlpha ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, w, h);
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
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return TRUE;
    const POINT at = dst->toSurface(x, y);
    const POINT from = src->toSurface(sx, sy);
    cairo_surface_t* pixels = blitSource(*dst, *src, ignoreAlpha);
    cairo_t* cr = dst->cairo();
    cairo_save(cr);
    cairo_rectangle(cr, std::min(at.x, at.x + w), std::min(at.y, at.y + h), std::abs(w),
                    std::abs(h));
    cairo_clip(cr);
    // Map the source rectangle onto the destination rectangle (negative sizes mirror).
    cairo_translate(cr, at.x, at.y);
    cairo_scale(cr, static_cast<double>(w) / sw, static_cast<double>(h) / sh);
    cairo_set_source_surface(cr, pixels, -from.x, -from.y);
    const bool scaled = std::abs(w) != std::abs(sw) || std::abs(h) != std::abs(sh);
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
    if (rop != SRCCOPY) return PatBlt(destination, x, y, width, height, rop);
    return blit(destination, x, y, width, height, source, sourceX, sourceY, width, height,
                CAIRO_OPERATOR_SOURCE, 1.0, false);
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop) {
    if (rop != SRCCOPY) return PatBlt(destination, x, y, width, height, rop);
    return blit(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                sourceHeight, CAIRO_OPERATOR_SOURCE, 1.0, false);
}

BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, BLENDFUNCTION blend) {
    if (blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || sourceWidth < 0 ||
        sourceHeight < 0)
        return FALSE;
    return blit(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                sourceHeight, CAIRO_OPERATOR_OVER, blend.SourceConstantAlpha / 255.0,
                (blend.AlphaFormat & AC_SRC_ALPHA) == 0);
}

// ---- bitmaps ----------------------------------------------------------------

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!findDC(dc) || width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
    auto bitmap = std::make_shared<Bitmap>(width, height);
    if (cairo_surface_status(bitmap->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
    return static_cast<HBITMAP>(state().handles.insert(std::move(bitmap)));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || planes != 1 ||
        bitsPerPixel != 32)
        return nullptr;
    auto bitmap = std::make_shared<Bitmap>(width, height);
    if (cairo_surface_status(bitmap->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
    if (bits) {
        unsigned char* data = cairo_image_surface_get_data(bitmap->surface);
        const int stride = cairo_image_surface_get_stride(bitmap->surface);
        for (int row = 0; row < height; ++row) {
            std::memcpy(data + row * stride,
                        static_cast<const unsigned char*>(bits) + row * width * 4, width * 4);
        }
        cairo_surface_mark_dirty(bitmap->surface);
    }
    return static_cast<HBITMAP>(state().handles.insert(std::move(bitmap)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biHeight >= 0) return nullptr;
    HBITMAP bitmap = CreateBitmap(h.biWidth, -h.biHeight, 1, 32, nullptr);
    if (bitmap && bits) {
        *bits = cairo_image_surface_get_data(
            state().handles.find<Bitmap>(bitmap, ObjectType::Bitmap)->surface);
    }
    return bitmap;
}

BOOL GdiFlush() {
    return TRUE;
}
