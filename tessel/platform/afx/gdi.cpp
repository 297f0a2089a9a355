#include <tessel/platform/afx_gdi.h>

#include <cwchar>

#include <tessel/platform/afx_dc.h>
#include "afx/handle_map.h"

namespace {

CHandleMap<HGDIOBJ, CGdiObject>& gdiMap() {
    return immortalHandleMap<HGDIOBJ, CGdiObject>();
}

// A temporary wrapper of the class that matches the object's kind.
std::unique_ptr<CGdiObject> makeTemporary(HGDIOBJ object) {
    std::unique_ptr<CGdiObject> wrapper;
    switch (::GetObjectType(object)) {
        case OBJ_BRUSH:
            wrapper = std::make_unique<CBrush>();
            break;
        case OBJ_PEN:
            wrapper = std::make_unique<CPen>();
            break;
        case OBJ_FONT:
            wrapper = std::make_unique<CFont>();
            break;
        case OBJ_BITMAP:
            wrapper = std::make_unique<CBitmap>();
            break;
        case OBJ_REGION:
            wrapper = std::make_unique<CRgn>();
            break;
        default:
            wrapper = std::make_unique<CGdiObject>();
            break;
    }
    wrapper->m_hObject = object;  // not attached: the temporary owns nothing
    return wrapper;
}

}  // namespace

CGdiObject::~CGdiObject() {
    // Temporaries never entered the permanent map and must not delete.
    if (m_hObject && gdiMap().lookupPermanent(m_hObject) == this) DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object || m_hObject) return FALSE;
    m_hObject = object;
    gdiMap().setPermanent(object, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    if (object && gdiMap().lookupPermanent(object) == this) gdiMap().removeHandle(object);
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) {
    if (m_hObject) return FALSE;
    m_hObject = ::GetStockObject(index);  // stock objects are shared, never owned
    return m_hObject != nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) {
    if (!::GetObjectType(object)) return nullptr;
    return gdiMap().fromHandle(object, makeTemporary);
}

void CGdiObject::DeleteTempMap() {
    gdiMap().deleteTemporaries();
}

CBrush* CBrush::FromHandle(HBRUSH brush) {
    return static_cast<CBrush*>(CGdiObject::FromHandle(brush));
}
CPen* CPen::FromHandle(HPEN pen) {
    return static_cast<CPen*>(CGdiObject::FromHandle(pen));
}
CFont* CFont::FromHandle(HFONT font) {
    return static_cast<CFont*>(CGdiObject::FromHandle(font));
}
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) {
    return static_cast<CBitmap*>(CGdiObject::FromHandle(bitmap));
}
CRgn* CRgn::FromHandle(HRGN region) {
    return static_cast<CRgn*>(CGdiObject::FromHandle(region));
}

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR face) {
    LOGFONTW lf{};
    lf.lfHeight = pointSize;
    lf.lfWeight = FW_NORMAL;
    if (face) std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&lf);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* logFont) {
    if (!logFont) return FALSE;
    LOGFONTW lf = *logFont;
    lf.lfHeight =
        -MulDiv(lf.lfHeight, 96, 720);  // tenths of a point at 96 DPI, as a character height
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->GetSafeHdc() : nullptr, width, height));
}

CSize CBitmap::GetBitmapDimension() const {
    BITMAP info{};
    if (!GetBitmap(&info)) return {};
    return {info.bmWidth, info.bmHeight};
}
