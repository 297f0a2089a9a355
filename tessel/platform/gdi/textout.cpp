// Text output and measurement with GDI's positioning rules.
#include <algorithm>
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

std::wstring_view textOf(LPCWSTR text, int count) {
    if (!text) return {};
    return count < 0 ? std::wstring_view(text)
                     : std::wstring_view(text, static_cast<std::size_t>(count));
}

// Draws the layout's lines from `top`, each placed horizontally by `lineX`,
// within `limit` when given (surface pixels).
template <class LineX>
void drawLines(DeviceContext& d, TextLayout& layout, const FontFace& face, int top, int lineHeight,
               const RECT* limit, LineX lineX) {
    const TEXTMETRICW& tm = face.metrics();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const TextLayout::Line& line = layout.renderedLine(i);
        const int x = lineX(line.width);
        const int y = top + i * lineHeight;
        if (d.state().bkMode == OPAQUE) {
            RECT cell{x, y, x + line.width, y + lineHeight};
            if (limit) IntersectRect(&cell, &cell, limit);
            d.fillSurfaceRect(cell, d.state().bkColor);
        }
        d.compositeMask(line.mask, x + line.maskX, y + tm.tmAscent + line.maskY,
                        d.state().textColor, limit);
    }
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
    const int width = rect->right - rect->left;

    LayoutOptions options;
    options.singleLine = singleLine;
    options.prefix = (format & DT_NOPREFIX)     ? Prefix::None
                     : (format & DT_HIDEPREFIX) ? Prefix::Hide
                                                : Prefix::Underline;
    options.endEllipsis = (format & DT_END_ELLIPSIS) && !(format & DT_CALCRECT);
    if (((format & DT_WORDBREAK) && !singleLine) || options.endEllipsis)
        options.wrapWidth = std::max(width, 0);
    TextLayout& layout = state().text.layout(*face, shown, options);

    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int textHeight = layout.lineCount() * lineHeight;

    if (format & DT_CALCRECT) {
        // As on Windows: the widest line, for wrapped text too (narrower text
        // shrinks the rectangle, a word longer than the line widens it).
        rect->right = rect->left + layout.width();
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int top = rect->top;
    if (singleLine && (format & DT_VCENTER)) {
        top = rect->top + (rect->bottom - rect->top) / 2 - textHeight / 2;
    } else if (singleLine && (format & DT_BOTTOM)) {
        top = rect->bottom - textHeight;
    }

    const RECT box = d->toSurface(*rect);
    const POINT origin = d->toSurface(rect->left, top);
    drawLines(*d, layout, *face, origin.y, lineHeight, (format & DT_NOCLIP) ? nullptr : &box,
              [&](int lineWidth) {
                  if (format & DT_CENTER) return (box.left + box.right - lineWidth) / 2;
                  if (format & DT_RIGHT) return static_cast<int>(box.right) - lineWidth;
                  return static_cast<int>(box.left);
              });
    return (singleLine && (format & (DT_VCENTER | DT_BOTTOM))) ? top - rect->top + textHeight
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
    TextLayout& layout =
        state().text.layout(*face, textOf(text, count), {-1, true, false, Prefix::None});
    const TEXTMETRICW& tm = face->metrics();
    const int width = layout.width();

    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (align & TA_RIGHT)
        left = x - width;
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - tm.tmAscent;
    else if (align & TA_BOTTOM)
        top = y - tm.tmHeight;

    if (align & TA_UPDATECP) {
        // The current position moves past the text in the direction it was written.
        if ((align & TA_CENTER) != TA_CENTER)
            d->state().penPosition.x = (align & TA_RIGHT) ? left : left + width;
    }
    const POINT origin = d->toSurface(left, top);
    drawLines(*d, layout, *face, origin.y, tm.tmHeight, nullptr,
              [&](int) { return static_cast<int>(origin.x); });
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
