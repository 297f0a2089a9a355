#include "YBToolBarWnd.h"

#include <algorithm>
#include <climits>
#include <memory>

#include <tessel/platform/win_events.h>

namespace {

// WS_CHILD | WS_VISIBLE | WS_DLGFRAME and class bits the toolkit's class ignores.
constexpr DWORD kToolBarStyle = 0x5040287E;
constexpr int kSeparatorWidth = 8;
constexpr unsigned kImageMode = 10;
constexpr short kImageAlpha = 255;

// Slot positions in 64 bits: thousands of entries must not wrap around.
LONG clampToLong(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

YBToolBarWnd::YBToolBarWnd() {
    m_size = CSize(48, 32);
    setMinSize(CSize(48, 32));
}

YBToolBarWnd::~YBToolBarWnd() {
    clearButtons();
}

bool YBToolBarWnd::createAt(int x, int y, CWnd* parent) {
    DWORD style = 0;
    DWORD exStyle = 0;
    CSize size(0, 0);
    getCreateStyle(style, exStyle, size);
    return create(x, y, size, kToolBarStyle, exStyle, parent ? parent->m_hWnd : nullptr);
}

void YBToolBarWnd::append(YBToolBarEntry* entry) {
    std::unique_ptr<YBToolBarEntry> owned(entry);
    m_entries[static_cast<int>(m_entries.size())] = owned.get();
    owned.release();  // the table owns it now
    updateButtons();
    notifyEntry(EVENT_OBJECT_CREATE, entryCount() - 1);
}

void YBToolBarWnd::notifyEntry(DWORD event, int index) const {
    if (m_hWnd) ::NotifyWinEvent(event, m_hWnd, OBJID_CLIENT, index + 1);
}

void YBToolBarWnd::addButton(unsigned int id, const kelp::KLString& imagePath,
                             const kelp::KLString& text) {
    auto* button = new YBToolBarEntry;
    button->m_id = id;
    button->m_text = text;
    button->m_image.load(imagePath, 0);
    append(button);
}

void YBToolBarWnd::addSeparator() {
    auto* separator = new YBToolBarEntry;
    separator->m_separator = true;
    append(separator);
}

void YBToolBarWnd::clearButtons() {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        delete m_entries.get(static_cast<int>(i));
    const int count = entryCount();
    m_entries.clear();
    for (int i = count - 1; i >= 0; --i)
        notifyEntry(EVENT_OBJECT_DESTROY, i);
}

void YBToolBarWnd::updateButtons() {
    const long long step = static_cast<long long>(m_buttonSize.cx) + m_buttonSpacing.x;
    long long x = m_buttonSpacing.x;
    const long long y = m_buttonSpacing.y;
    for (std::size_t i = 0; i < m_entries.size(); ++i, x += step) {
        YBToolBarEntry* e = m_entries.get(static_cast<int>(i));
        const long long width = e->m_separator ? kSeparatorWidth : m_buttonSize.cx;
        e->m_rect = CRect(clampToLong(x), clampToLong(y), clampToLong(x + width),
                          clampToLong(y + m_buttonSize.cy));
    }
}

void YBToolBarWnd::onCreate() {}

void YBToolBarWnd::onDraw(XDC& dc) {
    CRect client;
    getClientRect(client);
    dc.FillRect(client, m_bgColor);
    m_font.select(dc.cdc());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        YBToolBarEntry* e = m_entries.get(static_cast<int>(i));
        if (e->m_separator) continue;
        const CRect& r = e->m_rect;
        const LONG left = r.left + (r.right - m_imageSize.cx - r.left) / 2;
        const CRect image(left, r.top, left + m_imageSize.cx, r.top + m_imageSize.cy);
        e->m_image.draw(dc, image, kImageMode, kImageAlpha, nullptr);
        CRect caption(r.left, image.bottom + 1, r.right, r.bottom);
        dc.drawText(e->m_text, caption, DT_CENTER);
    }
}

void YBToolBarWnd::onSize(UINT type, int cx, int cy) {
    updateButtons();
    YBChildWnd::onSize(type, cx, cy);
}

const YBToolBarEntry* YBToolBarWnd::entry(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return nullptr;
    return m_entries.get(index);
}
