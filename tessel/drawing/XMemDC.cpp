#include "XMemDC.h"

#include <algorithm>

struct XMemDC::Buffer {
    CDC dc;
    CBitmap bitmap;
    CSize size;
    // A handle, not the temporary wrapper SelectObject gives: the buffer
    // outlives the thread's next idle time, which deletes that wrapper.
    HGDIOBJ previous = nullptr;
    ~Buffer() {
        if (previous) ::SelectObject(dc.m_hDC, previous);
    }
};

namespace {

// A buffer grown to hold both the old and the new box is kept up to this many
// pixels; beyond, a tall paint after a wide one would cost their product.
constexpr long long kMaxGrownPixels = 16LL << 20;

// The buffer between paints; an XMemDC inside another gets a fresh one.
std::unique_ptr<XMemDC::Buffer>& spare() {
    thread_local std::unique_ptr<XMemDC::Buffer> buffer;
    return buffer;
}

std::unique_ptr<XMemDC::Buffer> makeBuffer(CDC* dc, CSize size) {
    auto buffer = std::make_unique<XMemDC::Buffer>();
    if (!buffer->dc.CreateCompatibleDC(dc) ||
        !buffer->bitmap.CreateCompatibleBitmap(dc, size.cx, size.cy))
        return nullptr;
    buffer->size = size;
    buffer->previous = ::SelectObject(buffer->dc.m_hDC, buffer->bitmap.m_hObject);
    return buffer;
}

}  // namespace

XMemDC::XMemDC(XDC& target) : XDC(nullptr), m_target(target) {
    CDC* dc = target.cdc();
    if (!dc || !dc->m_hDC) return;
    if (dc->GetClipBox(&m_box) == NULLREGION || m_box.IsRectEmpty()) return;
    m_buffer = std::move(spare());
    if (!m_buffer || m_buffer->size.cx < m_box.Width() || m_buffer->size.cy < m_box.Height()) {
        CSize size = m_box.Size();
        if (m_buffer) {
            const CSize grown(std::max<int>(size.cx, m_buffer->size.cx),
                              std::max<int>(size.cy, m_buffer->size.cy));
            if (static_cast<long long>(grown.cx) * grown.cy <= kMaxGrownPixels) size = grown;
        }
        m_buffer = makeBuffer(dc, size);
    }
    if (!m_buffer) {
        // No memory for a buffer this big: draw straight onto the target,
        // leaving its state as it was.
        m_savedTarget = dc->SaveDC();
        m_dc = dc;
        return;
    }
    CDC& memory = m_buffer->dc;
    // The buffer's logical coordinates are the target's; it starts as the target is.
    memory.SetViewportOrg(-m_box.left, -m_box.top);
    memory.SelectClipRgn(nullptr);
    memory.IntersectClipRect(m_box);
    ::SelectObject(memory.m_hDC, ::GetCurrentObject(dc->m_hDC, OBJ_FONT));
    memory.SetTextColor(dc->GetTextColor());
    memory.SetBkColor(dc->GetBkColor());
    memory.SetBkMode(dc->GetBkMode());
    m_dc = &memory;
}

bool XMemDC::aboutToDraw(const CRect* area, bool opaque) const {
    CRect within;
    // Outside the painted area nothing shows (a host draws all its
    // components, most of them scrolled away).
    if (area && !within.IntersectRect(area, &m_box)) return false;
    if (!m_buffer) return true;  // unbuffered or nowhere to draw
    m_drawn = true;
    if (m_fetched) return true;
    if (!area) {
        fetchUnpainted();
        return true;
    }
    if (opaque) {
        // The buffer's clip is the box until someone takes its DC (cdc(),
        // HDC), and that fetches everything: an opaque fill covers `within`.
        notePainted(within);
    } else if (!insidePainted(within)) {
        fetchUnpainted();
    }
    return true;
}

void XMemDC::notePainted(const CRect& rect) const {
    if (rect == m_box) {  // the whole buffer painted: nothing will ever be fetched
        m_fetched = true;
        m_painted.clear();
        return;
    }
    // Boxes side by side in a row merge, so a grid of them stays a short list.
    if (!m_painted.empty()) {
        CRect& last = m_painted.back();
        if (last.top == rect.top && last.bottom == rect.bottom && rect.left <= last.right &&
            rect.right >= last.left) {
            last.left = std::min(last.left, rect.left);
            last.right = std::max(last.right, rect.right);
            return;
        }
    }
    m_painted.push_back(rect);
}

bool XMemDC::insidePainted(const CRect& rect) const {
    // Text and frames go on what was just filled: the newest few rectangles suffice.
    constexpr std::size_t kLookBack = 4;
    const std::size_t count = std::min(kLookBack, m_painted.size());
    for (std::size_t i = m_painted.size() - count; i < m_painted.size(); ++i) {
        CRect both;
        if (both.IntersectRect(&rect, &m_painted[i]) && both == rect) return true;
    }
    return false;
}

void XMemDC::fetchUnpainted() const {
    m_fetched = true;
    CDC& memory = m_buffer->dc;
    if (m_painted.empty()) {
        memory.BitBlt(m_box.left, m_box.top, m_box.Width(), m_box.Height(), m_target.cdc(),
                      m_box.left, m_box.top, SRCCOPY);
        return;
    }
    // The box less what was painted, in the buffer's device coordinates.
    CRgn unpainted, piece;
    unpainted.CreateRectRgn(0, 0, m_box.Width(), m_box.Height());
    piece.CreateRectRgn(0, 0, 0, 0);
    int kind = SIMPLEREGION;
    for (const CRect& painted : m_painted) {
        ::SetRectRgn(piece, painted.left - m_box.left, painted.top - m_box.top,
                     painted.right - m_box.left, painted.bottom - m_box.top);
        kind = unpainted.CombineRgn(&unpainted, &piece, RGN_DIFF);
    }
    m_painted.clear();
    if (kind == NULLREGION) return;
    const int saved = memory.SaveDC();
    memory.SelectClipRgn(&unpainted);
    memory.BitBlt(m_box.left, m_box.top, m_box.Width(), m_box.Height(), m_target.cdc(), m_box.left,
                  m_box.top, SRCCOPY);
    memory.RestoreDC(saved);
}

XMemDC::~XMemDC() {
    if (!m_buffer) {
        if (m_savedTarget) m_dc->RestoreDC(m_savedTarget);
        return;
    }
    // Nothing drawn: the target already shows it all.
    if (m_drawn) {
        if (!m_fetched) fetchUnpainted();
        m_target.cdc()->BitBlt(m_box.left, m_box.top, m_box.Width(), m_box.Height(), &m_buffer->dc,
                               m_box.left, m_box.top, SRCCOPY);
    }
    if (!spare()) spare() = std::move(m_buffer);
}
