#include "gdi/state.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include <tessel/platform/gdi.h>

namespace tessel::gdi {

namespace {

LOGFONTW arialFont(int height, int weight) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::wcscpy(lf.lfFaceName, L"Arial");
    return lf;
}

template <class T, class... Args>
HGDIOBJ addStock(GdiState& s, Args&&... args) {
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    object->makeStock();
    return s.handles.insert(std::move(object));
}

}  // namespace

GdiState::GdiState() {
    stock[WHITE_BRUSH] = addStock<Brush>(*this, BS_SOLID, RGB(255, 255, 255));
    stock[LTGRAY_BRUSH] = addStock<Brush>(*this, BS_SOLID, RGB(192, 192, 192));
    stock[GRAY_BRUSH] = addStock<Brush>(*this, BS_SOLID, RGB(128, 128, 128));
    stock[DKGRAY_BRUSH] = addStock<Brush>(*this, BS_SOLID, RGB(64, 64, 64));
    stock[BLACK_BRUSH] = addStock<Brush>(*this, BS_SOLID, RGB(0, 0, 0));
    stock[NULL_BRUSH] = addStock<Brush>(*this, BS_NULL, RGB(0, 0, 0));
    stock[WHITE_PEN] = addStock<Pen>(*this, PS_SOLID, 1, RGB(255, 255, 255));
    stock[BLACK_PEN] = addStock<Pen>(*this, PS_SOLID, 1, RGB(0, 0, 0));
    stock[NULL_PEN] = addStock<Pen>(*this, PS_NULL, 1, RGB(0, 0, 0));
    // The DC brush and pen take their colours from the DC (SetDCBrushColor).
    stock[DC_BRUSH] = addStock<Brush>(*this, BS_SOLID, RGB(255, 255, 255));
    stock[DC_PEN] = addStock<Pen>(*this, PS_SOLID, 1, RGB(0, 0, 0));
    const LOGFONTW system = arialFont(-16, FW_BOLD);
    stock[SYSTEM_FONT] = addStock<Font>(*this, system, text.face(system));
    const LOGFONTW gui = arialFont(-11, FW_NORMAL);
    stock[DEFAULT_GUI_FONT] = addStock<Font>(*this, gui, text.face(gui));
    defaultBitmap = std::make_shared<Bitmap>(1, 1);
    defaultBitmap->makeStock();
    defaultBitmapHandle = handles.insert(defaultBitmap);
}

GdiState::~GdiState() = default;

// Never destroyed: GDI objects owned by objects with static storage may be
// deleted during exit, after the order of static destruction has passed this.
// Made under the GDI lock rather than behind a static's guard: the
// constructor takes the lock too, and the two taken in either order by two
// threads could deadlock.
GdiState& state() {
    static std::atomic<GdiState*> instance{nullptr};
    if (GdiState* made = instance.load(std::memory_order_acquire)) return *made;
    const GdiLock lock;
    if (!instance.load(std::memory_order_relaxed)) {
        alignas(GdiState) static unsigned char storage[sizeof(GdiState)];
        instance.store(new (storage) GdiState, std::memory_order_release);
    }
    return *instance.load(std::memory_order_relaxed);
}

DeviceContext* findDC(HDC dc) {
    Object* object = state().handles.find(dc);
    if (!object || (object->type() != ObjectType::DC && object->type() != ObjectType::MemDC)) {
        return nullptr;
    }
    return static_cast<DeviceContext*>(object);
}

namespace {
// Puts `object` in a DC's slot for its kind; answers what was there.
HGDIOBJ replaceSelected(std::shared_ptr<Object>& slot, HGDIOBJ& slotHandle,
                        std::shared_ptr<Object> object, HGDIOBJ handle) {
    slot = std::move(object);
    return std::exchange(slotHandle, handle);
}

// What SelectObject of each would leave, without looking the new DC up three times.
void selectDefaults(DeviceContext& dc) {
    GdiState& s = state();
    DcState& st = dc.state();
    const HGDIOBJ brush = s.stock[WHITE_BRUSH], pen = s.stock[BLACK_PEN],
                  font = s.stock[SYSTEM_FONT];
    replaceSelected(st.brush, st.brushHandle, s.handles.share(brush), brush);
    replaceSelected(st.pen, st.penHandle, s.handles.share(pen), pen);
    replaceSelected(st.font, st.fontHandle, s.handles.share(font), font);
}
}  // namespace

HDC createSurfaceDC(cairo_surface_t* surface, POINT origin, const cairo_region_t* visible) {
    const GdiLock lock;
    if (!surface) return nullptr;
    auto dc =
        std::make_shared<DeviceContext>(DeviceContext::Kind::Surface, surface, origin, visible);
    selectDefaults(*dc);
    return static_cast<HDC>(state().handles.insert(std::move(dc)));
}

bool brushColor(const DeviceContext& dc, HBRUSH brush, COLORREF* color) {
    if (brush == state().stock[DC_BRUSH]) return *color = dc.state().dcBrushColor, true;
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_HOTLIGHT + 1) {
        *color = GetSysColor(static_cast<int>(value - 1));
        return true;
    }
    auto* b = state().handles.find<Brush>(brush, ObjectType::Brush);
    if (!b || b->style == BS_NULL) return false;
    *color = b->color;
    return true;
}

}  // namespace tessel::gdi

using namespace tessel::gdi;

HDC CreateCompatibleDC(HDC) {
    const GdiLock lock;
    GdiState& s = state();
    auto* b = static_cast<Bitmap*>(s.defaultBitmap.get());
    auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Memory, b->surface, POINT{0, 0},
                                              nullptr);
    dc->setBitmap(s.defaultBitmap, s.defaultBitmapHandle);
    selectDefaults(*dc);
    return static_cast<HDC>(s.handles.insert(std::move(dc)));
}

HDC CreateDCW(LPCWSTR driver, LPCWSTR, LPCWSTR, const void*) {
    const GdiLock lock;
    if (!driver || std::wcscmp(driver, L"DISPLAY") != 0) return nullptr;
    // The screen as far as measuring goes: a DC whose drawing lands nowhere visible.
    GdiState& s = state();
    auto* b = static_cast<Bitmap*>(s.defaultBitmap.get());
    auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Screen, b->surface, POINT{0, 0},
                                              nullptr);
    selectDefaults(*dc);
    return static_cast<HDC>(s.handles.insert(std::move(dc)));
}

BOOL DeleteDC(HDC dc) {
    const GdiLock lock;
    return findDC(dc) && state().handles.erase(dc);
}

int SaveDC(HDC dc) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d ? d->save() : 0;
}

BOOL RestoreDC(HDC dc, int level) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    return d && d->restore(level);
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    if (previous) *previous = d->state().viewportOrg;
    d->state().viewportOrg = {x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC dc, LPPOINT origin) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d || !origin) return FALSE;
    *origin = d->state().viewportOrg;
    return TRUE;
}

BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return FALSE;
    const POINT old = d->state().viewportOrg;
    return SetViewportOrgEx(dc, old.x + dx, old.y + dy, previous);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    GdiState& s = state();
    std::shared_ptr<Object> shared = s.handles.share(object);
    if (!d || !shared) return nullptr;
    DcState& st = d->state();
    switch (shared->type()) {
        case ObjectType::Font:
            return replaceSelected(st.font, st.fontHandle, std::move(shared), object);
        case ObjectType::Brush:
            return replaceSelected(st.brush, st.brushHandle, std::move(shared), object);
        case ObjectType::Pen:
            return replaceSelected(st.pen, st.penHandle, std::move(shared), object);
        case ObjectType::Bitmap: {
            auto* b = static_cast<Bitmap*>(shared.get());
            if (d->kind() != DeviceContext::Kind::Memory) return nullptr;
            if (b->selections > 0 && d->bitmapHandle() != object && !b->isStock()) return nullptr;
            HGDIOBJ previous = d->bitmapHandle();
            cairo_surface_mark_dirty(b->surface);
            d->setBitmap(std::move(shared), object);
            return previous;
        }
        case ObjectType::Region: {
            // Selecting a region sets the clip and answers the region kind.
            const int kind = d->selectClip(static_cast<Region*>(shared.get())->region);
            return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind));
        }
        default:
            return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    const GdiLock lock;
    GdiState& s = state();
    Object* o = s.handles.find(object);
    if (!o || o->isStock() || o->type() == ObjectType::DC || o->type() == ObjectType::MemDC)
        return FALSE;
    return s.handles.erase(object);
}

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index > DC_PEN) return nullptr;
    return state().stock[index];
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return nullptr;
    switch (type) {
        case OBJ_FONT:
            return d->state().fontHandle;
        case OBJ_BRUSH:
            return d->state().brushHandle;
        case OBJ_PEN:
            return d->state().penHandle;
        case OBJ_BITMAP:
            return d->bitmapHandle();
        default:
            return nullptr;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    const GdiLock lock;
    Object* o = state().handles.find(object);
    return o ? static_cast<DWORD>(o->type()) : 0;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    const GdiLock lock;
    Object* o = state().handles.find(object);
    if (!o) return 0;
    auto give = [&](const auto& value) {
        const int needed = static_cast<int>(sizeof value);
        if (!buffer) return needed;
        if (size < needed) return 0;
        std::memcpy(buffer, &value, sizeof value);
        return needed;
    };
    switch (o->type()) {
        case ObjectType::Brush: {
            auto* b = static_cast<Brush*>(o);
            return give(LOGBRUSH{b->style, b->color, 0});
        }
        case ObjectType::Pen: {
            auto* p = static_cast<Pen*>(o);
            return give(LOGPEN{p->style, POINT{p->width, 0}, p->color});
        }
        case ObjectType::Font:
            return give(static_cast<Font*>(o)->logFont);
        case ObjectType::Bitmap: {
            auto* b = static_cast<Bitmap*>(o);
            cairo_surface_flush(b->surface);
            return give(BITMAP{0, b->width, b->height, cairo_image_surface_get_stride(b->surface),
                               1, 32, cairo_image_surface_get_data(b->surface)});
        }
        default:
            return 0;
    }
}

HBRUSH CreateSolidBrush(COLORREF color) {
    const GdiLock lock;
    return static_cast<HBRUSH>(
        state().handles.insert(std::make_shared<Brush>(BS_SOLID, color & 0xFFFFFF)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush) {
    const GdiLock lock;
    if (!logBrush || (logBrush->lbStyle != BS_SOLID && logBrush->lbStyle != BS_NULL))
        return nullptr;
    return static_cast<HBRUSH>(state().handles.insert(
        std::make_shared<Brush>(logBrush->lbStyle, logBrush->lbColor & 0xFFFFFF)));
}

DWORD GetSysColor(int index) {
    // A light, neutral scheme in the classic roles.
    static const COLORREF colors[] = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
        RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
        RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
        RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204)};
    if (index < 0 || index >= static_cast<int>(std::size(colors))) return 0;
    return colors[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index > COLOR_HOTLIGHT) return nullptr;
    return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(index + 1));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    const GdiLock lock;
    if (style != PS_SOLID && style != PS_DASH && style != PS_DOT && style != PS_NULL &&
        style != PS_INSIDEFRAME) {
        return nullptr;
    }
    return static_cast<HPEN>(
        state().handles.insert(std::make_shared<Pen>(style, width, color & 0xFFFFFF)));
}

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
    const GdiLock lock;
    if (!logFont) return nullptr;
    GdiState& s = state();
    return static_cast<HFONT>(
        s.handles.insert(std::make_shared<Font>(*logFont, s.text.face(*logFont))));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW lf{height,
                width,
                escapement,
                orientation,
                weight,
                static_cast<BYTE>(italic != 0),
                static_cast<BYTE>(underline != 0),
                static_cast<BYTE>(strikeOut != 0),
                static_cast<BYTE>(charSet),
                static_cast<BYTE>(outPrecision),
                static_cast<BYTE>(clipPrecision),
                static_cast<BYTE>(quality),
                static_cast<BYTE>(pitchAndFamily),
                {}};
    if (face) std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

COLORREF SetDCBrushColor(HDC dc, COLORREF color) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return CLR_INVALID;
    return std::exchange(d->state().dcBrushColor, color & 0xFFFFFF);
}

COLORREF SetDCPenColor(HDC dc, COLORREF color) {
    const GdiLock lock;
    DeviceContext* d = findDC(dc);
    if (!d) return CLR_INVALID;
    return std::exchange(d->state().dcPenColor, color & 0xFFFFFF);
}

HANDLE GetCurrentProcess() {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

DWORD GetGuiResources(HANDLE, DWORD flags) {
    const GdiLock lock;
    if (flags != GR_GDIOBJECTS) return 0;
    GdiState& s = state();
    // Stock objects and the default bitmap are not the process's own.
    const auto stock = std::count_if(std::begin(s.stock), std::end(s.stock),
                                     [](HGDIOBJ h) { return h != nullptr; });
    return static_cast<DWORD>(s.handles.count() - stock - 1);
}
