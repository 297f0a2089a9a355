// Internal: the objects behind GDI handles. Handles are looked up through
// HandleTable; a device context keeps shared ownership of what is selected
// into it, so DeleteObject on a selected object (from any thread) retires the
// handle at once while the object lives on until it is deselected. Objects
// are read and changed only under the GDI lock.
#pragma once

#include <cairo.h>

#include <memory>

#include <tessel/platform/win_types.h>

namespace tessel::gdi {

class FontFace;

enum class ObjectType {
    Pen = OBJ_PEN,
    Brush = OBJ_BRUSH,
    DC = OBJ_DC,
    Font = OBJ_FONT,
    Bitmap = OBJ_BITMAP,
    Region = OBJ_REGION,
    MemDC = OBJ_MEMDC
};

class Object {
public:
    explicit Object(ObjectType type) : m_type(type) {}
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ObjectType type() const { return m_type; }
    bool isStock() const { return m_stock; }
    void makeStock() { m_stock = true; }

private:
    ObjectType m_type;
    bool m_stock = false;  // stock objects ignore DeleteObject
};

struct Brush : Object {
    Brush(UINT brushStyle, COLORREF brushColor)
        : Object(ObjectType::Brush), style(brushStyle), color(brushColor) {}
    UINT style;  // BS_SOLID or BS_NULL
    COLORREF color;
};

struct Pen : Object {
    Pen(UINT penStyle, int penWidth, COLORREF penColor)
        : Object(ObjectType::Pen),
          style(penStyle),
          width(penWidth < 1 ? 1 : penWidth),
          color(penColor) {}
    UINT style;  // PS_SOLID, PS_NULL, PS_INSIDEFRAME (dashes draw solid)
    int width;
    COLORREF color;
};

struct Font : Object {
    Font(const LOGFONTW& description, std::shared_ptr<const FontFace> resolved)
        : Object(ObjectType::Font), logFont(description), face(std::move(resolved)) {}
    LOGFONTW logFont;
    std::shared_ptr<const FontFace> face;  // shared by every font with the same description
};

// A 32-bit premultiplied ARGB Cairo image surface: in memory, B G R A bytes,
// rows top-down, as a 32-bit top-down DIB.
struct Bitmap : Object {
    Bitmap(int width, int height);
    ~Bitmap() override;
    cairo_surface_t* surface;
    int width;
    int height;
    int selections = 0;  // a bitmap is selected into at most one memory DC
};

struct Region : Object {
    explicit Region(cairo_region_t* owned) : Object(ObjectType::Region), region(owned) {}
    ~Region() override { cairo_region_destroy(region); }
    cairo_region_t* region;
};

}  // namespace tessel::gdi
