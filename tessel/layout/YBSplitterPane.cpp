#include "YBSplitterPane.h"

#include <algorithm>

YBSplitterPane::~YBSplitterPane() {
    clear();
}

void YBSplitterPane::clear() {
    delete m_wnd;
    m_wnd = nullptr;
    m_currentSize = m_preferredSize = m_minSize = m_maxSize = m_offset = 0;
    m_fixed = false;
}

int YBSplitterPane::minSize() const {
    const int window = m_wnd ? alongAxis(m_wnd->getMinSize()) : 0;
    return m_minSize == 0 ? window : std::max(m_minSize, window);
}

int YBSplitterPane::maxSize() const {
    const int window = m_wnd ? alongAxis(m_wnd->getMaxSize()) : 0;
    return m_maxSize == 0 ? window : std::max(m_maxSize, window);
}

CSize YBSplitterPane::minWndSize() const {
    CSize size = m_wnd ? m_wnd->getMinSize() : CSize(0, 0);
    if (m_minSize != 0) {
        if (m_vertical)
            size.cy = std::max(static_cast<int>(size.cy), m_minSize);
        else
            size.cx = std::max(static_cast<int>(size.cx), m_minSize);
    }
    return size;
}

void YBSplitterPane::closeWindow() {
    if (m_wnd && m_wnd->m_hWnd) ::CloseWindow(m_wnd->m_hWnd);
}
