#include "StatusLine.h"

#include <algorithm>

#include "GalleryLook.h"

StatusLine::StatusLine() : m_message(L"Click a button, scroll, drag a bar.") {
    setInitialSize(400, kHeight);
    setMinSize(0, kHeight);
}

StatusLine::~StatusLine() {
    if (m_text && m_text->m_hWnd) m_text->DestroyWindow();
}

void StatusLine::onCreate() {
    show(m_message);
}

void StatusLine::onDraw(XDC& dc) {
    CRect client;
    getClientRect(client);
    dc.FillRect(client, gallery::kPage);
    dc.FillRect(CRect(client.left, client.top, client.right, client.top + 1), gallery::kBarLine);
}

void StatusLine::onSize(UINT, int, int) {
    place();
}

void StatusLine::show(const std::wstring& message) {
    m_message = message;
    if (!m_hWnd) return;
    if (m_text && m_text->m_hWnd) m_text->DestroyWindow();
    m_text = std::make_unique<YBTextWnd>(m_message.c_str(), GFont("Arial", 9.0, 0, RGB(60, 60, 72)),
                                         gallery::kPage);
    m_text->createAt(0, 0, this);
    place();
}

void StatusLine::place() {
    if (!m_text || !m_text->m_hWnd) return;
    CRect client;
    getClientRect(client);
    const CSize size = m_text->getInitialSize();
    m_text->setPosition(10, std::max(1, (client.Height() - static_cast<int>(size.cy)) / 2), true);
}
