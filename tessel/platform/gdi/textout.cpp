// Text output and measurement with GDI's positioning rules.
#include <algorithm>
#include <climits>
#include <cwchar>

#include <tessel/platform/gdi.h>
#include "gdi/state.h"
#include <tessel/platform/win_rect.h>

using namespace tessel::gdi;

namespace {

const FontFace* selectedFace(DeviceContext& d) {
    auto* font = static_cast<Font*>(d.state().font.get());
    return font ? font->face.get() : nullptr;
}

int saturated(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::wstring_view textOf(LPCWSTR text, int count) {
    if (!text) return {};
    return count < 0 ? std::wstring_view(text)
                     : std::wstring_view(text, static_cast<std::size_t>(count));
}

// The part of the surface text may reach: the clip's extents, within
// `limit` when given (surface pixels).
RECT reachable(const DeviceContext& d, const RECT* limit) {
    cairo_rectangle_int_t extents;
    cairo_region_get_extents(d.effectiveClip(), &extents);
    RECT area{extents.x, extents.y, extents.x + extents.width, extents.y + extents.height};
    if (limit) IntersectRect(&area, &area, limit);
    return area;
}

// `box` placed at (x, y), cut to `area`; in surface pixels, empty when it misses.
RECT cutTo(const RECT& area, const RECT& box, long long x, long long y) {
    const RECT cut{static_cast<LONG>(std::max<long long>(area.left, box.left + x)),
                   static_cast<LONG>(std::max<long long>(area.top, box.top + y)),
                   static_cast<LONG>(std::min<long long>(area.right, box.right + x)),
                   static_cast<LONG>(std::min<long long>(area.bottom, box.bottom + y))};
    return cut.left < cut.right && cut.top < cut.bottom ? cut : RECT{};
}

// Draws line `index` of the layout with its top-left at (x, y), within
// `area` (surface pixels). Of a huge line only the part that shows is
// rasterised.
void drawLine(DeviceContext& d, TextLayout& layout, int index, const FontFace& face, long long x,
              long long y, int lineHeight, const RECT& area) {
    if (IsRectEmpty(&area)) return;
    const TextLayout::Line& line = layout.lines()[index];
    if (d.state().bkMode == OPAQUE) {
        const RECT cell = cutTo(area, {0, 0, line.width, lineHeight}, x, y);
        d.fillSurfaceRect(cell, d.state().bkColor);
    }
    const long long baseline = y + face.metrics().tmAscent;
    RECT shown = cutTo(area, line.box, x, baseline);
    if (IsRectEmpty(&shown)) return;
    OffsetRect(&shown, static_cast<int>(-x), static_cast<int>(-baseline));
    RECT maskBox;
    pixman_image_t* mask = layout.coverage(index, shown, &maskBox);
    if (!mask) return;
    d.compositeMask(mask, static_cast<int>(x + maskBox.left),
                    static_cast<int>(baseline + maskBox.top), d.state().textColor, &area);
    pixman_image_unref(mask);
}

}  // namespace

int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || !rect || !text) return 0;
    const FontFace* face = selectedFace(*d);
    if (!face) return 0;
    const std::wstring_view shown = textOf(text, count);
    const TEXTMETRICW& tm = face->metrics();
    const bool singleLine = format & DT_SINGLELINE;
    const int width = saturated(0LL + rect->right - rect->left);

    LayoutOptions options;
    options.singleLine = singleLine;
    options.prefix = (format & DT_NOPREFIX)     ? Prefix::None
                     : (format & DT_HIDEPREFIX) ? Prefix::Hide
                                                : Prefix::Underline;
    options.endEllipsis = (format & DT_END_ELLIPSIS) && !(format & DT_CALCRECT);
    if (((format & DT_WORDBREAK) && !singleLine) || options.endEllipsis)
        options.wrapWidth = std::max(width, 0);
    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    long long lines = 0;

    if (format & DT_CALCRECT) {
        // As on Windows: the widest line, for wrapped text too (narrower text
        // shrinks the rectangle, a word longer than the line widens it).
        const TextCache::Measure measured = state().text.measure(*face, shown, options);
        lines = measured.lines;
        const int widest = measured.widest;
        const int textHeight = saturated(lines * lineHeight);
        rect->right = saturated(0LL + rect->left + widest);
        rect->bottom = saturated(0LL + rect->top + textHeight);
        return textHeight;
    }

    // One line at most, none when there is no text.
    const int singleHeight = shown.empty() ? 0 : lineHeight;
    long long top = rect->top;
    if (singleLine && (format & DT_VCENTER)) {
        top = rect->top + (0LL + rect->bottom - rect->top) / 2 - singleHeight / 2;
    } else if (singleLine && (format & DT_BOTTOM)) {
        top = 0LL + rect->bottom - singleHeight;
    }

    const RECT box = d->toSurface(*rect);
    const POINT origin = d->toSurface(rect->left, saturated(top));
    const RECT area = reachable(*d, (format & DT_NOCLIP) ? nullptr : &box);
    // As on Windows, clipped text stops at the line that reaches the bottom.
    const bool stopsAtBottom = !(format & DT_NOCLIP);
    state().text.forEachLine(*face, shown, options, [&](TextLayout* layout, int index) {
        const long long y = top + lines * lineHeight;
        if (layout) {
            const int lineWidth = layout->lines()[index].width;
            const long long x = (format & DT_CENTER)  ? (0LL + box.left + box.right - lineWidth) / 2
                                : (format & DT_RIGHT) ? 0LL + box.right - lineWidth
                                                      : box.left;
            drawLine(*d, *layout, index, *face, x, origin.y + lines * lineHeight, lineHeight, area);
        }
        ++lines;
        return !(stopsAtBottom && y + lineHeight > rect->bottom);
    });
    const int textHeight = saturated(lines * lineHeight);
    return (singleLine && (format & (DT_VCENTER | DT_BOTTOM)))
               ? saturated(top - rect->top + textHeight)
               : textHeight;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || !text) return FALSE;
    const FontFace* face = selectedFace(*d);
    if (!face) return FALSE;
    const UINT align = d->state().textAlign;
    if (align & TA_UPDATECP) x = d->state().penPosition.x, y = d->state().penPosition.y;
    const TextCache::Lease laid =
        state().text.layout(*face, textOf(text, count), {-1, true, false, Prefix::None});
    TextLayout& layout = *laid;
    const TEXTMETRICW& tm = face->metrics();
    const int width = layout.width();

    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = saturated(0LL + x - width / 2);
    else if (align & TA_RIGHT)
        left = saturated(0LL + x - width);
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = saturated(0LL + y - tm.tmAscent);
    else if (align & TA_BOTTOM)
        top = saturated(0LL + y - tm.tmHeight);

    if (align & TA_UPDATECP) {
        // The current position moves past the text in the direction it was written.
        if ((align & TA_CENTER) != TA_CENTER)
            d->state().penPosition.x = (align & TA_RIGHT) ? left : saturated(0LL + left + width);
    }
    const POINT origin = d->toSurface(left, top);
    const RECT area = reachable(*d, nullptr);
    for (int i = 0; i < layout.lineCount(); ++i)
        drawLine(*d, layout, i, *face, origin.x, origin.y + 1LL * i * tm.tmHeight, tm.tmHeight, area);
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || !size || (!text && count != 0) || count < 0) return FALSE;
    const FontFace* face = selectedFace(*d);
    if (!face) return FALSE;
    *size = state().text.extent(*face, textOf(text, count));
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || !metrics) return FALSE;
    const FontFace* face = selectedFace(*d);
    if (!face) return FALSE;
    *metrics = face->metrics();
    return TRUE;
}
