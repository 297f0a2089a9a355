#include "YBBaseWnd.h"

#include <array>

#include <tessel/platform/afx_app.h>
#include <tessel/platform/afx_window_dc.h>
#include <tessel/windows/YBKeyboardItem.h>

COLORREF YBBaseWnd::m_defaultBgColor = RGB(255, 255, 255);
COLORREF YBBaseWnd::m_defaultFgColor = RGB(0, 0, 0);

namespace {
// Repainted whole on every resize, and double clicks reported (onLeftMouseButton's action 2).
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 60000;
constexpr UINT kFirstAppMessage = WM_APP;
constexpr UINT kEndAppMessage = MAXINTATOM;  // RegisterWindowMessage's values start here

// What one scroll code does on one bar: a step, or the thumb handler given the position.
struct ScrollAction {
    void (YBBaseWnd::*step)() = nullptr;
    void (YBBaseWnd::*thumb)(int position) = nullptr;
};
// Indexed by code; SB_ENDSCROLL does nothing, and codes past it do nothing either.
using ScrollTable = std::array<ScrollAction, SB_ENDSCROLL + 1>;

constexpr ScrollTable kHorizontalScrollCodes = [] {
    ScrollTable table{};
    table[SB_LINELEFT].step = &YBBaseWnd::onScrollLeft;
    table[SB_LINERIGHT].step = &YBBaseWnd::onScrollRight;
    table[SB_PAGELEFT].step = &YBBaseWnd::onScrollPageLeft;
    table[SB_PAGERIGHT].step = &YBBaseWnd::onScrollPageRight;
    table[SB_THUMBPOSITION].thumb = &YBBaseWnd::onHScroll;
    table[SB_THUMBTRACK].thumb = &YBBaseWnd::onHScroll;
    table[SB_LEFT].step = &YBBaseWnd::onScrollHome;
    table[SB_RIGHT].step = &YBBaseWnd::onScrollEnd;
    return table;
}();

// SB_TOP and SB_BOTTOM are the "page" home and end: the vertical bar's ends.
constexpr ScrollTable kVerticalScrollCodes = [] {
    ScrollTable table{};
    table[SB_LINEUP].step = &YBBaseWnd::onScrollUp;
    table[SB_LINEDOWN].step = &YBBaseWnd::onScrollDown;
    table[SB_PAGEUP].step = &YBBaseWnd::onScrollPageUp;
    table[SB_PAGEDOWN].step = &YBBaseWnd::onScrollPageDown;
    table[SB_THUMBPOSITION].thumb = &YBBaseWnd::onVScroll;
    table[SB_THUMBTRACK].thumb = &YBBaseWnd::onVScroll;
    table[SB_TOP].step = &YBBaseWnd::onScrollPageHome;
    table[SB_BOTTOM].step = &YBBaseWnd::onScrollPageEnd;
    return table;
}();

void runScrollCode(YBBaseWnd& window, const ScrollTable& table, UINT code, UINT position) {
    if (code >= table.size()) return;
    const ScrollAction& action = table[code];
    if (action.step) (window.*action.step)();
    if (action.thumb) (window.*action.thumb)(static_cast<int>(position));
}
}  // namespace

BEGIN_MESSAGE_MAP(YBBaseWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_CLOSE()
ON_WM_ERASEBKGND()
ON_WM_SETCURSOR()
ON_WM_GETMINMAXINFO()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_CHAR()
ON_COMMAND_RANGE(kFirstCommand, kLastCommand, OnCmd)
ON_WM_TIMER()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONUP()
ON_WM_MBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

YBBaseWnd::YBBaseWnd() = default;
YBBaseWnd::~YBBaseWnd() = default;

void YBBaseWnd::getSize(int& width, int& height) {
    const CRect rect = rectInParent();
    width = rect.Width();
    height = rect.Height();
}

CSize YBBaseWnd::getMinSize() const {
    return m_minSize;
}
void YBBaseWnd::setMinSize(const CSize& size) {
    m_minSize = size;
}
CSize YBBaseWnd::getMaxSize() const {
    return m_maxSize;
}
void YBBaseWnd::setMaxSize(const CSize& size) {
    m_maxSize = size;
}
CSize YBBaseWnd::getContentsSize() const {
    return m_size;
}

void YBBaseWnd::enable(bool on) {
    ::EnableWindow(m_hWnd, on);
}
void YBBaseWnd::show() {
    ::ShowWindow(m_hWnd, SW_SHOW);
}
void YBBaseWnd::hide() {
    ::ShowWindow(m_hWnd, SW_HIDE);
}
void YBBaseWnd::closeWindow() {
    if (m_hWnd) ::CloseWindow(m_hWnd);
}
bool YBBaseWnd::init() {
    return true;
}

void YBBaseWnd::getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) {
    style = WS_CHILD | WS_VISIBLE;
    exStyle = 0;
    size = m_size;
    if (isFlagSet(verticalScrollBar)) style |= WS_VSCROLL;
    if (isFlagSet(horizontalScrollBar)) style |= WS_HSCROLL;
}

void YBBaseWnd::onPreCreate() {}
void YBBaseWnd::onClose() {
    Default();
}
void YBBaseWnd::onCreate() {}
void YBBaseWnd::onEraseBackground(XDC&) {}

void YBBaseWnd::onDraw(XDC& dc) {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    dc.FillRect(client, m_defaultBgColor);
}

void YBBaseWnd::onSize(UINT, int, int) {
    Default();
}

bool YBBaseWnd::onSetCursor(UINT hitTest, UINT) {
    if (hitTest != HTCLIENT) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return true;
}

CRect YBBaseWnd::rectInParent() const {
    CRect rect(0, 0, 0, 0);
    ::GetWindowRect(m_hWnd, &rect);
    if (HWND parent = ::GetParent(m_hWnd)) {
        ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.left));
        ::ScreenToClient(parent, reinterpret_cast<POINT*>(&rect.right));
    }
    return rect;
}

void YBBaseWnd::getPosition(int& x, int& y) {
    const CRect rect = rectInParent();
    x = rect.left;
    y = rect.top;
}

void YBBaseWnd::setPosition(int x, int y, bool repaint) {
    // Moving takes the valid pixels along; a repaint asked for is a repaint.
    ::MoveWindow(m_hWnd, x, y, m_size.cx, m_size.cy, repaint);
    if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void YBBaseWnd::setSize(int width, int height, bool repaint) {
    ::SetWindowPos(m_hWnd, ::GetParent(m_hWnd), 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void YBBaseWnd::getPositionAndSize(int& x, int& y, int& width, int& height) {
    const CRect rect = rectInParent();
    x = rect.left;
    y = rect.top;
    width = rect.Width();
    height = rect.Height();
}

void YBBaseWnd::setPositionAndSize(int x, int y, int width, int height, bool repaint) {
    ::SetWindowPos(m_hWnd, ::GetParent(m_hWnd), x, y, width, height, SWP_NOZORDER);
    if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void YBBaseWnd::onCommand(int id) {
    if (auto* parent = dynamic_cast<YBBaseWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd))))
        parent->onCommand(id);
}

void YBBaseWnd::onTimer(int) {}
void YBBaseWnd::onAppMessage(int, WPARAM, LPARAM) {}
void YBBaseWnd::onKey(int, int, int, int) {}
void YBBaseWnd::onChar(int, int) {}
void YBBaseWnd::onLeftMouseButton(int, CPoint) {}
void YBBaseWnd::onRightMouseButton(int, CPoint) {}
void YBBaseWnd::onMiddleMouseButton(int, CPoint) {}
void YBBaseWnd::onMouseMove(UINT, CPoint) {}
void YBBaseWnd::onMouseLeave() {}
void YBBaseWnd::onMouseWheel(UINT, int, CPoint) {}
void YBBaseWnd::onHScroll(int) {}
void YBBaseWnd::onVScroll(int) {}
void YBBaseWnd::onScrollUp() {}
void YBBaseWnd::onScrollDown() {}
void YBBaseWnd::onScrollLeft() {}
void YBBaseWnd::onScrollRight() {}
void YBBaseWnd::onScrollHome() {}
void YBBaseWnd::onScrollEnd() {}
void YBBaseWnd::onScrollPageUp() {}
void YBBaseWnd::onScrollPageDown() {}
void YBBaseWnd::onScrollPageHome() {}
void YBBaseWnd::onScrollPageEnd() {}
void YBBaseWnd::onScrollPageLeft() {}
void YBBaseWnd::onScrollPageRight() {}

bool YBBaseWnd::HasFocus() {
    const HWND focus = ::GetFocus();
    for (HWND window = m_hWnd; window; window = ::GetParent(window)) {
        if (window == focus) return true;
    }
    return false;
}

void YBBaseWnd::getClientRect(CRect& rect) {
    ::GetClientRect(m_hWnd, &rect);
}

void YBBaseWnd::trackMouseEvents(UINT flags, UINT hoverTime) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), flags, m_hWnd, hoverTime};
    ::TrackMouseEvent(&track);
}

BOOL YBBaseWnd::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    // No cursor and no brush: onSetCursor gives the arrow and onDraw paints everything.
    cs.lpszClass = AfxRegisterWndClass(kClassStyle, nullptr, nullptr, nullptr);
    addKeyboardStyles(cs);
    return CWnd::PreCreateWindow(cs);
}

BOOL YBBaseWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message >= kFirstAppMessage && msg->message < kEndAppMessage) {
        // The host's loop calls this: the handler runs in the toolkit's state
        // like every other handler.
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        onAppMessage(static_cast<int>(msg->message), msg->wParam, msg->lParam);
        return TRUE;
    }
    if (m_keyboard && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        if (navigateKeyboard(msg)) return TRUE;
    }
    return CWnd::PreTranslateMessage(msg);
}

int YBBaseWnd::OnCreate(LPCREATESTRUCT) {
    onCreate();
    return 0;
}

void YBBaseWnd::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    m_size = CSize(cx, cy);
    onSize(type, cx, cy);
}

void YBBaseWnd::OnPaint() {
    CPaintDC paint(this);
    {
        XDC dc(&paint);
        onDraw(dc);
    }
    if (YBKeyboardItem* item = keyboardItem()) item->drawKeyboardCues(paint.m_hDC);
}

void YBBaseWnd::OnClose() {
    onClose();
}

BOOL YBBaseWnd::OnEraseBkgnd(CDC* cdc) {
    XDC dc(cdc);
    onEraseBackground(dc);
    return TRUE;
}

BOOL YBBaseWnd::OnSetCursor(CWnd*, UINT hitTest, UINT message) {
    if (onSetCursor(hitTest, message)) return TRUE;
    return static_cast<BOOL>(Default());
}

void YBBaseWnd::OnGetMinMaxInfo(MINMAXINFO* info) {
    const CSize minSize = getMinSize();
    CRect minRect(0, 0, minSize.cx, minSize.cy);
    CalcWindowRect(&minRect, adjustBorder);
    info->ptMinTrackSize = CPoint(minRect.Width(), minRect.Height());

    const CSize maxSize = getMaxSize();
    CRect maxRect(0, 0, maxSize.cx, maxSize.cy);
    CalcWindowRect(&maxRect, adjustBorder);
    if (maxSize.cx != 0) info->ptMaxTrackSize.x = maxRect.Width();
    if (maxSize.cy != 0) info->ptMaxTrackSize.y = maxRect.Height();
}

void YBBaseWnd::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    onKey(1, static_cast<int>(key), static_cast<int>(repeat), static_cast<int>(flags));
}
void YBBaseWnd::OnKeyUp(UINT key, UINT repeat, UINT flags) {
    onKey(0, static_cast<int>(key), static_cast<int>(repeat), static_cast<int>(flags));
}
void YBBaseWnd::OnChar(UINT ch, UINT repeat, UINT) {
    onChar(static_cast<int>(ch), static_cast<int>(repeat));
}
void YBBaseWnd::OnCmd(UINT id) {
    onCommand(static_cast<int>(id));
}
void YBBaseWnd::OnTimer(UINT_PTR id) {
    onTimer(static_cast<int>(id));
}

void YBBaseWnd::OnHScroll(UINT code, UINT position, CScrollBar*) {
    runScrollCode(*this, kHorizontalScrollCodes, code, position);
}

void YBBaseWnd::OnVScroll(UINT code, UINT position, CScrollBar*) {
    runScrollCode(*this, kVerticalScrollCodes, code, position);
}

void YBBaseWnd::OnMouseMove(UINT flags, CPoint point) {
    onMouseMove(flags, point);
}
void YBBaseWnd::OnLButtonDown(UINT, CPoint point) {
    onLeftMouseButton(1, point);
}
void YBBaseWnd::OnLButtonUp(UINT, CPoint point) {
    onLeftMouseButton(0, point);
}
void YBBaseWnd::OnLButtonDblClk(UINT, CPoint point) {
    onLeftMouseButton(2, point);
}
void YBBaseWnd::OnRButtonDown(UINT, CPoint point) {
    onRightMouseButton(1, point);
}
void YBBaseWnd::OnRButtonUp(UINT, CPoint point) {
    onRightMouseButton(0, point);
}
void YBBaseWnd::OnRButtonDblClk(UINT, CPoint point) {
    onRightMouseButton(2, point);
}
void YBBaseWnd::OnMButtonDown(UINT, CPoint point) {
    onMiddleMouseButton(1, point);
}
void YBBaseWnd::OnMButtonUp(UINT, CPoint point) {
    onMiddleMouseButton(0, point);
}
void YBBaseWnd::OnMButtonDblClk(UINT, CPoint point) {
    onMiddleMouseButton(2, point);
}

BOOL YBBaseWnd::OnMouseWheel(UINT flags, short delta, CPoint point) {
    onMouseWheel(flags, delta, point);
    return TRUE;
}

void YBBaseWnd::OnMouseLeave() {
    onMouseLeave();
}
