#include "YBChildWnd.h"

#include <tessel/platform/afx_app.h>

YBChildWnd::YBChildWnd() = default;
YBChildWnd::~YBChildWnd() = default;

bool YBChildWnd::init() {
    return true;
}

void YBChildWnd::getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) {
    style = WS_CHILD | WS_VISIBLE;
    exStyle = 0;
    size = this->size();
}

bool YBChildWnd::createAt(int x, int y, CWnd* parent) {
    onPreCreate();
    DWORD style = 0;
    DWORD exStyle = 0;
    CSize size(0, 0);
    getCreateStyle(style, exStyle, size);
    return create(x, y, size, style, exStyle, parent ? parent->m_hWnd : nullptr);
}

bool YBChildWnd::createCenteredOver(CWnd* over) {
    onPreCreate();
    DWORD style = 0;
    DWORD exStyle = 0;
    CSize size(0, 0);
    getCreateStyle(style, exStyle, size);
    CRect area;
    over->GetClientRect(&area);
    if (!(style & WS_CHILD)) over->ClientToScreen(&area);
    // Integer division truncating toward zero: a larger window overhangs both sides equally.
    const int x = area.left + (area.Width() - size.cx) / 2;
    const int y = area.top + (area.Height() - size.cy) / 2;
    return create(x, y, size, style, exStyle, over->m_hWnd);
}

bool YBChildWnd::create(int x, int y, const CSize& size, DWORD style, DWORD exStyle, HWND parent) {
    // The toolkit's state is current while the window is made, so the window
    // is routed through the toolkit's procedure wrapper and its class is the
    // toolkit's, whoever calls.
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (!CreateEx(exStyle, nullptr, L"", style, x, y, size.cx, size.cy, parent, nullptr, nullptr))
        return false;
    ShowWindow(SW_SHOWNORMAL);
    return true;
}
