#include "XMemDC.h"

#include <algorithm>

struct XMemDC::Buffer {
    CDC dc;
    CBitmap bitmap;
    CSize size;
    CBitmap* previous = nullptr;
    ~Buffer() {
        if (previous) dc.SelectObject(previous);
    }
};

namespace {
// The buffer between paints; an XMemDC inside another gets a fresh one.
std::unique_ptr<XMemDC::Buffer>& spare() {
    thread_local std::unique_ptr<XMemDC::Buffer> buffer;
    return buffer;
}
}  // namespace

XMemDC::XMemDC(XDC& target) : XDC(nullptr), m_target(target) {
    CDC* dc = target.cdc();
    if (!dc || !dc->m_hDC) return;
    if (dc->GetClipBox(&m_box) == NULLREGION || m_box.IsRectEmpty()) return;
    m_buffer = std::move(spare());
    if (!m_buffer || m_buffer->size.cx < m_box.Width() || m_buffer->size.cy < m_box.Height()) {
        const CSize size(std::max<int>(m_box.Width(), m_buffer ? m_buffer->size.cx : 0),
                         std::max<int>(m_box.Height(), m_buffer ? m_buffer->size.cy : 0));
        m_buffer = std::make_unique<Buffer>();
        if (!m_buffer->dc.CreateCompatibleDC(dc) ||
            !m_buffer->bitmap.CreateCompatibleBitmap(dc, size.cx, size.cy)) {
            m_buffer.reset();
            return;
        }
        m_buffer->size = size;
        m_buffer->previous = m_buffer->dc.SelectObject(&m_buffer->bitmap);
    }
    CDC& memory = m_buffer->dc;
    // The buffer's logical coordinates are the target's; it starts as the target is.
    memory.SetViewportOrg(-m_box.left, -m_box.top);
    memory.SelectClipRgn(nullptr);
    memory.IntersectClipRect(m_box);
    m_pristine = true;
    ::SelectObject(memory.m_hDC, ::GetCurrentObject(dc->m_hDC, OBJ_FONT));
    memory.SetTextColor(dc->GetTextColor());
    memory.SetBkColor(dc->GetBkColor());
    memory.SetBkMode(dc->GetBkMode());
    m_dc = &memory;
}

void XMemDC::aboutToDraw(const CRect* area) const {
    if (!m_pristine) return;
    m_pristine = false;
    CRect covered;
    if (area && covered.IntersectRect(area, &m_box) && covered == m_box)
        return;  // all painted over anyway
    m_buffer->dc.BitBlt(m_box.left, m_box.top, m_box.Width(), m_box.Height(), m_target.cdc(),
                        m_box.left, m_box.top, SRCCOPY);
}

XMemDC::~XMemDC() {
    if (!m_buffer) return;
    // Still pristine: nothing was drawn, the target already shows it all.
    if (!m_pristine) {
        m_target.cdc()->BitBlt(m_box.left, m_box.top, m_box.Width(), m_box.Height(), &m_buffer->dc,
                               m_box.left, m_box.top, SRCCOPY);
    }
    if (!spare()) spare() = std::move(m_buffer);
}
