// Internal: the process's GDI state (handle table, text engine, stock
// objects) and the entry points the window system uses to hand out DCs.
// Everything here but the handle table's own operations wants the GDI lock
// held (see GdiLock): the text engine's layouts, above all, are valid only
// until another thread lays out text.
#pragma once

#include <cairo.h>

#include "gdi/dc.h"
#include "gdi/gdi_lock.h"
#include "gdi/handles.h"
#include "gdi/text.h"

namespace tessel::gdi {

struct GdiState {
    GdiState();
    ~GdiState();
    TextEngine text;  // first member: outlives every font in the table
    HandleTable handles;
    HGDIOBJ stock[DC_PEN + 1] = {};
    std::shared_ptr<Object> defaultBitmap;  // what a new memory DC holds
    HGDIOBJ defaultBitmapHandle = nullptr;
};

GdiState& state();

DeviceContext* findDC(HDC dc);
// A DC over `surface` whose logical 0,0 is `origin` (surface pixels),
// limited to `visible` (null: the whole surface). Release it with DeleteDC.
HDC createSurfaceDC(cairo_surface_t* surface, POINT origin, const cairo_region_t* visible);
// The colour of a brush handle as `dc` paints it (the DC brush takes the
// DC's colour), or of a system-colour brush (COLOR_x + 1); false for null
// brushes and stale handles.
bool brushColor(const DeviceContext& dc, HBRUSH brush, COLORREF* color);

}  // namespace tessel::gdi
