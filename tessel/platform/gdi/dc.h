// Internal: a device context. It draws on a Cairo image surface through an
// origin (where its logical 0,0 lies on the surface) and a visible region
// (the part of the surface it may touch, set by whoever created it: the
// window system for window DCs). User clipping narrows that further.
//
// Invariant: the Cairo context, when it exists, has an identity matrix,
// no antialiasing for shapes and exactly the effective clip applied; every
// drawing call converts logical coordinates to surface pixels itself, so
// rectangles and lines land on whole pixels.
//
// Solid fills and text, the bulk of any user interface, go straight to
// pixman on the surface's pixels: a Cairo fill costs a path, a clip test and
// a pattern per call, which dominated the frame time of a label grid.
#pragma once

#include <cairo.h>
#include <pixman.h>

#include <array>
#include <memory>
#include <vector>

#include "gdi/objects.h"

namespace tessel::gdi {

using RegionPtr = std::shared_ptr<cairo_region_t>;
RegionPtr makeRegion(cairo_region_t* region);  // takes ownership
RegionPtr makeRegion(const RECT& rect);

struct DcState {
    std::shared_ptr<Object> font, brush, pen;
    HGDIOBJ fontHandle = nullptr, brushHandle = nullptr, penHandle = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int stretchMode = BLACKONWHITE;
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    POINT viewportOrg{0, 0};
    POINT penPosition{0, 0};
    RegionPtr userClip;  // surface pixels; null: no user clip. Replaced, never changed in place.
};

class DeviceContext : public Object {
public:
    enum class Kind { Memory, Surface, Screen };

    // `visible` is copied; null means the whole surface.
    DeviceContext(Kind kind, cairo_surface_t* surface, POINT origin, const cairo_region_t* visible);
    ~DeviceContext() override;

    Kind kind() const { return m_kind; }
    DcState& state() { return m_state; }
    const DcState& state() const { return m_state; }
    cairo_surface_t* surface() const { return m_surface; }

    // Memory DCs draw on the bitmap selected into them.
    void setBitmap(std::shared_ptr<Object> bitmap, HGDIOBJ handle);
    HGDIOBJ bitmapHandle() const { return m_bitmapHandle; }
    Bitmap* bitmap() const { return static_cast<Bitmap*>(m_bitmap.get()); }

    int save();
    bool restore(int level);

    POINT toSurface(int x, int y) const;
    RECT toSurface(const RECT& logical) const;
    // Clip operations take logical coordinates and return the region kind.
    int intersectClip(const RECT& logical);
    int excludeClip(const RECT& logical);
    int selectClip(const cairo_region_t* surfaceRegion);  // null removes the user clip
    int clipBox(RECT* logical) const;
    const cairo_region_t* visibleRegion() const { return m_visible; }
    // Narrows the visible region (BeginPaint: to what was invalid).
    void limitVisible(const cairo_region_t* surfaceRegion) {
        cairo_region_intersect(m_visible, surfaceRegion);
        clipChanged();
    }
    // Visible ∩ user clip, in surface pixels.
    const cairo_region_t* effectiveClip() const;

    // Cairo context ready for drawing: the effective clip applied.
    cairo_t* cairo();
    // Solid, exact fill of a surface-pixel rectangle (clipped).
    void fillSurfaceRect(const RECT& surfaceRect, COLORREF color);
    // Inverts every other pixel of a surface-pixel rectangle (clipped): the
    // halftone brush's pixels, (x + y) even in device coordinates, as PatBlt
    // with PATINVERT puts it down. Twice restores the pixels exactly.
    void invertHalftone(const RECT& surfaceRect);
    // `mask` (A8 coverage) in `color` with its top-left at x, y (surface
    // pixels), within the clip and, when given, within `limit`.
    void compositeMask(pixman_image_t* mask, int x, int y, COLORREF color, const RECT* limit);

    static int regionKind(const cairo_region_t* region);

private:
    void clipChanged();
    // Calls `piece` for each clip rectangle's overlap with `area` (surface pixels).
    template <class Piece>
    void forEachClipped(const RECT& area, Piece piece);
    pixman_image_t* pixmanTarget();
    void beginDirectAccess();
    // A solid pixman source in `color`, kept for the next masks in it; null without memory.
    pixman_image_t* solidImage(COLORREF color);
    // compositeMask of an A8 mask over surface pixels `r` without pixman.
    void blendSmall(pixman_image_t* mask, int maskX, int maskY, COLORREF color, const RECT& r);

    // Pixels below which a plain loop beats pixman's per-call set-up.
    static constexpr long long kSmallArea = 1024;

    Kind m_kind;
    cairo_surface_t* m_surface;
    POINT m_origin;
    cairo_region_t* m_visible;  // surface pixels
    std::shared_ptr<Object> m_bitmap;
    HGDIOBJ m_bitmapHandle = nullptr;
    DcState m_state;
    std::vector<DcState> m_saved;
    cairo_t* m_cairo = nullptr;
    pixman_image_t* m_pixman = nullptr;             // the surface's pixels, for direct fills
    struct Solid {
        pixman_image_t* image = nullptr;
        COLORREF color = 0;
    };
    std::array<Solid, 2> m_solids{};
    std::size_t m_nextSolid = 0;
    bool m_cairoDrew = false;                       // Cairo drew since the last direct access
    bool m_directDrew = false;                      // direct access since Cairo last drew
    mutable cairo_region_t* m_effective = nullptr;  // cache; null when stale
    bool m_clipApplied = false;
};

}  // namespace tessel::gdi
