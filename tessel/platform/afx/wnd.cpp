#include <tessel/platform/afx_wnd.h>

#include <vector>

#include <tessel/platform/afx_app.h>
#include "afx/handle_map.h"

namespace {

CHandleMap<HWND, CWnd>& wndMap() {
    return immortalHandleMap<HWND, CWnd>();
}

// The message each window procedure is processing, innermost last (Default() needs it).
std::vector<MSG>& currentMessages() {
    thread_local std::vector<MSG> stack;
    return stack;
}

// The CWnd that CreateEx is creating: attached by the creation hook.
CWnd*& pendingCreate() {
    thread_local CWnd* pending = nullptr;
    return pending;
}

}  // namespace

// Binding a CWnd to its HWND during creation. MFC's way, a WH_CBT hook, is
// the one Win32 call that runs after the window exists and before its first
// message (WM_GETMINMAXINFO, WM_NCCREATE), which the CWnd must already get
// through its module's procedure. The alternatives come too late or are not
// ours: lpCreateParams belongs to the caller and arrives with WM_NCCREATE;
// GWLP_USERDATA is the application's slot. The hook is installed once, as
// the library loads (installing does not start the window system), and acts
// only on the window CreateEx is creating.
struct AfxWindowHooks {
    static void created(HWND window) {
        CWnd* wnd = pendingCreate();
        if (!wnd) return;
        pendingCreate() = nullptr;
        wnd->Attach(window);
        const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
        WNDPROC wanted = AfxGetModuleState()->m_pfnAfxWndProc;
        if (!wanted) wanted = AfxWndProc;
        if (current != wanted) {
            wnd->m_pfnSuper = current;
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wanted));
        }
    }
    static LRESULT CALLBACK cbtFilter(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) created(reinterpret_cast<HWND>(wParam));
        return ::CallNextHookEx(hook, code, wParam, lParam);
    }
    static bool install() {
        // The host's windows enter through AfxWndProc (the module state,
        // below this file, cannot name it).
        AFX_MODULE_STATE* host = AfxGetAppModuleState();
        if (!host->m_pfnAfxWndProc) host->m_pfnAfxWndProc = AfxWndProc;
        hook = ::SetWindowsHookExW(WH_CBT, &cbtFilter, nullptr, 0);
        return hook != nullptr;
    }
    static inline HHOOK hook = nullptr;
};

namespace {
[[maybe_unused]] const bool hookInstalled = AfxWindowHooks::install();
}

namespace afx {
CWnd* wndFromHandle(HWND window) {
    return CWnd::FromHandle(window);
}
CDC* dcFromHandle(HDC dc) {
    return CDC::FromHandle(dc);
}
}  // namespace afx

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        ::DestroyWindow(m_hWnd);
        if (m_hWnd) Detach();
    }
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!::IsWindow(window)) return nullptr;
    return wndMap().fromHandle(window, [](HWND handle) {
        auto wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = handle;  // not attached: owns nothing
        return wrapper;
    });
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    return wndMap().lookupPermanent(window);
}

void CWnd::DeleteTempMap() {
    // A temporary wrapper must not destroy its window when it goes.
    wndMap().deleteTemporaries();
}

BOOL CWnd::Attach(HWND window) {
    if (!window || m_hWnd) return FALSE;
    m_hWnd = window;
    wndMap().setPermanent(window, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    if (window && FromHandlePermanent(window) == this) wndMap().removeHandle(window);
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
    CREATESTRUCT cs{param, AfxGetInstanceHandle(),   idOrMenu,   parent,    height, width, y,
                    x,     static_cast<LONG>(style), windowName, className, exStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    pendingCreate() = this;
    HWND window = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                    static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                    cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (pendingCreate() == this) pendingCreate() = nullptr;  // creation failed before the hook
    return window != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, LPVOID param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

void CWnd::CalcWindowRect(LPRECT clientRect, UINT adjustType) {
    DWORD exStyle = GetExStyle();
    if (adjustType == adjustBorder) exStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(clientRect, GetStyle(), FALSE, exStyle);
    if (adjustType == adjustOutside) {
        const DWORD style = GetStyle();
        if (style & WS_VSCROLL) clientRect->right += ::GetSystemMetrics(SM_CXVSCROLL);
        if (style & WS_HSCROLL) clientRect->bottom += ::GetSystemMetrics(SM_CYHSCROLL);
    }
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

void CWnd::GetWindowText(CString& text) const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
}

CWnd* CWnd::GetOwner() const {
    return m_owner ? FromHandle(m_owner) : GetParent();
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND top = m_hWnd;
    while (HWND parent =
               (::GetWindowLongPtrW(top, GWL_STYLE) & WS_CHILD) ? ::GetParent(top) : nullptr)
        top = parent;
    return FromHandle(top);
}

void CWnd::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ClientToScreen(LPRECT rect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, width, height,
                          flags);
}

BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask) {
    if (!info) return FALSE;
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, bar, info);
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    using ThisClass = CWnd;
    static const AFX_MSGMAP_ENTRY entries[] = {
        AFX_ENTRY(WM_NCDESTROY, none, OnNcDestroy){0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0], nullptr};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 1;
        return TRUE;
    }
    const AFX_MSGMAP* map = GetMessageMap();
    const AFX_MSGMAP_ENTRY* entry = map && map->pfnFindEntry
                                        ? map->pfnFindEntry(message)
                                        : afx::MessageIndex::walk(map, message);
    if (!entry) return FALSE;
    *result = entry->invoke(this, wParam, lParam, *entry);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam), code = HIWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->message; ++entry) {
            if (entry->message == WM_COMMAND && entry->code == code && id >= entry->firstId &&
                id <= entry->lastId) {
                entry->invoke(this, wParam, lParam, *entry);
                return TRUE;
            }
        }
    }
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const auto& stack = currentMessages();
    if (stack.empty()) return 0;
    const MSG m = stack.back();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

void CWnd::OnNcDestroy() {
    Default();
    Detach();
    PostNcDestroy();  // may delete this
}

const MSG* AfxGetCurrentMessage() {
    const auto& stack = currentMessages();
    return stack.empty() ? nullptr : &stack.back();
}

LRESULT AfxCallWndProc(CWnd* wnd, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& stack = currentMessages();
    stack.push_back(MSG{window, message, wParam, lParam, 0, {0, 0}});
    struct Pop {
        std::vector<MSG>& s;
        ~Pop() { s.pop_back(); }
    } pop{stack};
    return wnd->WindowProc(message, wParam, lParam);
}

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(window);
    if (!wnd) return ::DefWindowProcW(window, message, wParam, lParam);
    return AfxCallWndProc(wnd, window, message, wParam, lParam);
}
