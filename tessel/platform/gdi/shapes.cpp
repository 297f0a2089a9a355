// Shapes: rectangles, rounded rectangles, ellipses, lines and patterns.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include <tessel/platform/gdi.h>
#include "gdi/corner_tiles.h"
#include "gdi/drawing.h"

using namespace tessel::gdi;

namespace {

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

// The figure's inside, from the path `shape(cr, r, inset)` draws for the
// figure shrunk by `inset` pixels on every side.
template <class Shape>
void fillFigure(cairo_t* cr, const Shape& shape, const RECT& r) {
    shape(cr, r, 0.0);
    cairo_fill(cr);
}

// The pen's band: between the figure and the figure shrunk by the pen width.
template <class Shape>
void outlineFigure(cairo_t* cr, const Shape& shape, const RECT& r, double width) {
    shape(cr, r, 0.0);
    shape(cr, r, width);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

double penInset(const Pen& pen, const RECT& r) {
    return std::min<double>(pen.width, std::min(r.right - r.left, r.bottom - r.top) / 2.0);
}

struct FigureColors {
    const Pen* pen;
    COLORREF penColor;
    bool brush;
    COLORREF brushColor;
};

// Fills and outlines a shape whose path `shape(cr, r, inset)` draws; `fast`
// may draw the figure (surface pixels `r`) some other way and say so.
template <class Shape, class Fast>
BOOL drawFigure(HDC dc, int left, int top, int right, int bottom, Shape shape, Fast fast) {
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    RECT r = d->toSurface(normalized(left, top, right, bottom));
    FigureColors colors{};
    colors.pen = currentPen(*d, &colors.penColor);
    colors.brush = currentBrush(*d, &colors.brushColor);
    if (!colors.pen) r.right -= 1, r.bottom -= 1;  // GDI leaves the last row and column to the pen
    if (r.right <= r.left || r.bottom <= r.top) return TRUE;
    if (fast(*d, r, colors)) return TRUE;
    cairo_t* cr = d->cairo();
    if (colors.brush) {
        setSource(cr, colors.brushColor);
        fillFigure(cr, shape, r);
    }
    if (colors.pen) {
        setSource(cr, colors.penColor);
        outlineFigure(cr, shape, r, penInset(*colors.pen, r));
    }
    return TRUE;
}

template <class Shape>
BOOL drawFigure(HDC dc, int left, int top, int right, int bottom, Shape shape) {
    return drawFigure(dc, left, top, right, bottom, shape,
                      [](DeviceContext&, const RECT&, const FigureColors&) { return false; });
}

// A rounded rectangle from cached corner masks and solid fills for the
// straight parts; false when the corners are not cacheable or do not fit.
template <class Shape>
bool drawRoundRectFromTiles(DeviceContext& d, const RECT& r, int cornerWidth, int cornerHeight,
                            const FigureColors& colors, const Shape& shape) {
    CornerTiles& cache = CornerTiles::shared();
    if (!cache.enabled()) return false;
    // Either diameter not positive makes both paths plain rectangles.
    if (cornerWidth <= 0 || cornerHeight <= 0) cornerWidth = cornerHeight = 0;
    const int pen = colors.pen ? colors.pen->width : 0;
    if (colors.pen && pen <= 0) return false;  // a zero-width band: no coverage to tile
    const CornerTiles::Key key{cornerWidth, cornerHeight, pen};
    if (!CornerTiles::cacheable(key)) return false;
    const long long width = 0LL + r.right - r.left, height = 0LL + r.bottom - r.top;
    const long long tileWidth = std::max((cornerWidth + 1) / 2, pen);
    const long long tileHeight = std::max((cornerHeight + 1) / 2, pen);
    // Smaller boxes clamp their corners or pen: not the cached shape.
    if (width < 2 * tileWidth || height < 2 * tileHeight) return false;
    // A path crossing the surface's edge comes out differently along that
    // edge (Cairo gives the outline the edge column): such boxes keep the path.
    if (r.left < 0 || r.top < 0 || r.right > cairo_image_surface_get_width(d.surface()) ||
        r.bottom > cairo_image_surface_get_height(d.surface()))
        return false;
    const CornerTiles::Tiles* tiles =
        cache.find(key, [&](cairo_t* fill, cairo_t* outline, const RECT& box) {
            fillFigure(fill, shape, box);
            if (outline) outlineFigure(outline, shape, box, pen);
        });
    if (!tiles) return false;
    const int tw = tiles->tileWidth, th = tiles->tileHeight;
    const RECT quadrants[4] = {{r.left, r.top, r.left + tw, r.top + th},
                               {r.right - tw, r.top, r.right, r.top + th},
                               {r.left, r.bottom - th, r.left + tw, r.bottom},
                               {r.right - tw, r.bottom - th, r.right, r.bottom}};
    // Where the tile box's top-left lands for each quadrant.
    const POINT origins[4] = {{r.left, r.top},
                              {r.right - 2 * tw, r.top},
                              {r.left, r.bottom - 2 * th},
                              {r.right - 2 * tw, r.bottom - 2 * th}};
    if (colors.brush) {
        d.fillSurfaceRect({r.left + tw, r.top + pen, r.right - tw, r.bottom - pen},
                          colors.brushColor);
        d.fillSurfaceRect({r.left + pen, r.top + th, r.left + tw, r.bottom - th},
                          colors.brushColor);
        d.fillSurfaceRect({r.right - tw, r.top + th, r.right - pen, r.bottom - th},
                          colors.brushColor);
    }
    if (colors.pen) {
        d.fillSurfaceRect({r.left + tw, r.top, r.right - tw, r.top + pen}, colors.penColor);
        d.fillSurfaceRect({r.left + tw, r.bottom - pen, r.right - tw, r.bottom}, colors.penColor);
        d.fillSurfaceRect({r.left, r.top + th, r.left + pen, r.bottom - th}, colors.penColor);
        d.fillSurfaceRect({r.right - pen, r.top + th, r.right, r.bottom - th}, colors.penColor);
    }
    if (tw == 0 || th == 0) return true;
    for (int i = 0; i < 4; ++i) {
        if (colors.brush)
            d.compositeMask(tiles->fill, origins[i].x, origins[i].y, colors.brushColor,
                            &quadrants[i]);
        if (colors.pen)
            d.compositeMask(tiles->pen, origins[i].x, origins[i].y, colors.penColor, &quadrants[i]);
    }
    return true;
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

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    COLORREF color;
    if (!d || !rect) return FALSE;
    if (!brushColor(*d, brush, &color)) return FALSE;
    d->fillSurfaceRect(d->toSurface(*rect), color);
    return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    COLORREF color;
    if (!d || !rect || !brushColor(*d, brush, &color)) return FALSE;
    frameSurfaceRect(*d, d->toSurface(*rect), 1, color);
    return TRUE;
}

// Four one-pixel strips inverted through the halftone brush by PatBlt, as
// Windows draws them. PatBlt takes a negative extent as running back from
// just past its start, so tiny, empty and inverted rectangles leave the
// same pixels as there (strips that meet cancel).
BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || !rect) return FALSE;
    const POINT shift = d->toSurface(0, 0);
    auto span = [](long long start, long long extent, LONG by) {
        const long long from = extent > 0 ? start : start + extent + 1;
        const long long to = extent > 0 ? start + extent : start + 1;
        auto onSurface = [&](long long v) {
            return static_cast<LONG>(std::clamp(v + by, -(1LL << 30), 1LL << 30));
        };
        return std::pair{onSurface(from), onSurface(to)};
    };
    auto patInvert = [&](long long x, long long y, long long width, long long height) {
        const auto [left, right] = span(x, width, shift.x);
        const auto [top, bottom] = span(y, height, shift.y);
        d->invertHalftone({left, top, right, bottom});
    };
    const long long left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
    patInvert(left, top, right - left, 1);
    patInvert(left, bottom - 1, right - left, 1);
    patInvert(left, top + 1, 1, bottom - top - 2);
    patInvert(right - 1, top + 1, 1, bottom - top - 2);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    const GdiLock lock;
    return drawFigure(dc, left, top, right, bottom, [](cairo_t* cr, const RECT& r, double inset) {
        cairo_rectangle(cr, r.left + inset, r.top + inset, r.right - r.left - 2 * inset,
                        r.bottom - r.top - 2 * inset);
    });
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    const GdiLock lock;
    const auto shape = [=](cairo_t* cr, const RECT& r, double inset) {
        roundedPath(cr, r.left + inset, r.top + inset, r.right - r.left - 2 * inset,
                    r.bottom - r.top - 2 * inset, std::max(0.0, width - 2 * inset),
                    std::max(0.0, height - 2 * inset));
    };
    return drawFigure(dc, left, top, right, bottom, shape,
                      [&](DeviceContext& d, const RECT& r, const FigureColors& colors) {
                          return drawRoundRectFromTiles(d, r, width, height, colors, shape);
                      });
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    const GdiLock lock;
    return drawFigure(dc, left, top, right, bottom, [](cairo_t* cr, const RECT& r, double inset) {
        const double w = r.right - r.left - 2 * inset, h = r.bottom - r.top - 2 * inset;
        roundedPath(cr, r.left + inset, r.top + inset, w, h, w, h);
    });
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    if (previous) *previous = d->state().penPosition;
    d->state().penPosition = {x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    const GdiLock lock;
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
    const GdiLock lock;
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
