// MFC's device contexts of a window: the paint context of WM_PAINT, the
// client area and the whole window. Each gives its DC back when destroyed.
#pragma once

#include <tessel/platform/afx_dc.h>
#include <tessel/platform/afx_wnd.h>

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};
