#include <tessel/platform/afx_dc.h>

#include "afx/handle_map.h"

namespace {
CHandleMap<HDC, CDC>& dcMap() {
    return immortalHandleMap<HDC, CDC>();
}
}  // namespace

CDC::~CDC() {
    if (m_hDC && dcMap().lookupPermanent(m_hDC) == this) DeleteDC();
}

BOOL CDC::Attach(HDC dc) {
    if (!dc || m_hDC) return FALSE;
    m_hDC = dc;
    dcMap().setPermanent(dc, this);
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    if (dc && dcMap().lookupPermanent(dc) == this) dcMap().removeHandle(dc);
    m_hDC = nullptr;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* reference) {
    return Attach(::CreateCompatibleDC(reference ? reference->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC dc) {
    return dcMap().fromHandle(dc, [](HDC handle) {
        auto wrapper = std::make_unique<CDC>();
        wrapper->m_hDC = handle;  // not attached: owns nothing
        return wrapper;
    });
}

void CDC::DeleteTempMap() {
    dcMap().deleteTemporaries();
}

CGdiObject* CDC::SelectStockObject(int index) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(index)));
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (!object) return nullptr;
    return CGdiObject::FromHandle(::SelectObject(m_hDC, object->m_hObject));
}

CFont* CDC::SelectObject(CFont* font) {
    return static_cast<CFont*>(SelectObject(static_cast<CGdiObject*>(font)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
    return static_cast<CBrush*>(SelectObject(static_cast<CGdiObject*>(brush)));
}
CPen* CDC::SelectObject(CPen* pen) {
    return static_cast<CPen*>(SelectObject(static_cast<CGdiObject*>(pen)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return static_cast<CBitmap*>(SelectObject(static_cast<CGdiObject*>(bitmap)));
}

CPoint CDC::SetViewportOrg(int x, int y) {
    POINT previous{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &previous);
    return previous;
}

CPoint CDC::GetViewportOrg() const {
    POINT origin{0, 0};
    ::GetViewportOrgEx(m_hDC, &origin);
    return origin;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    POINT previous{0, 0};
    ::OffsetViewportOrgEx(m_hDC, dx, dy, &previous);
    return previous;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    if (!rect) return;
    ::SetBkColor(m_hDC, color);
    ::SetDCBrushColor(m_hDC, color);
    HGDIOBJ old = ::SelectObject(m_hDC, ::GetStockObject(DC_BRUSH));
    ::PatBlt(m_hDC, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             PATCOPY);
    ::SelectObject(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
    if (!rect) return;
    const int x = rect->left, y = rect->top, cx = rect->right - x, cy = rect->bottom - y;
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT previous{0, 0};
    ::MoveToEx(m_hDC, x, y, &previous);
    return previous;
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const {
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return size;
}
