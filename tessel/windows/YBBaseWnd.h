// The root of every toolkit window. Its message map turns each platform
// message it handles into one virtual handler with plain arguments, so a
// derived window overrides onDraw, onSize, onLeftMouseButton... and never
// decodes a message. It keeps the window's flags and its remembered, minimum
// and maximum client sizes; m_size always holds the last non-minimised
// client size a WM_SIZE reported.
//
//   class CPanel : public YBChildWnd { void onDraw(XDC& dc) override; };
//   panel.setInitialSize(200, 100);
//   panel.createAt(10, 10, &parentWnd);
#pragma once

#include <tessel/drawing/XDC.h>
#include <tessel/foundation/KLFlags.h>
#include <tessel/platform/afx_wnd.h>

class YBKeyboardItem;

class YBBaseWnd : public CWnd {
public:
    YBBaseWnd();
    ~YBBaseWnd() override;

    // Colour the default onDraw fills with; read at every paint.
    static COLORREF m_defaultBgColor;
    // Offered to applications; the toolkit never reads it.
    static COLORREF m_defaultFgColor;

    // Flag numbers of m_flags the toolkit reads.
    enum Flag { horizontalScrollBar = 0, verticalScrollBar = 1, closeHides = 2 };

    // Virtual operations, in this order; derived classes append after onScrollPageRight.
    virtual void getSize(int& width, int& height);  // the outer size, frame included
    virtual CSize getMinSize() const;
    virtual void setMinSize(const CSize& size);
    virtual CSize getMaxSize() const;
    virtual void setMaxSize(const CSize& size);  // 0 on an axis: no limit there
    virtual CSize getContentsSize() const;
    virtual void enable(bool on);
    virtual void show();
    virtual void hide();
    virtual void closeWindow();  // minimises; never destroys
    virtual bool init();
    virtual void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size);
    virtual void onPreCreate();
    virtual void onClose();
    virtual void onCreate();
    virtual void onEraseBackground(XDC& dc);
    virtual void onDraw(XDC& dc);
    virtual void onSize(UINT type, int width, int height);
    virtual bool onSetCursor(UINT hitTest, UINT message);
    virtual void getPosition(int& x, int& y);  // in the parent's client coordinates
    virtual void setPosition(int x, int y, bool repaint);
    virtual void setSize(int width, int height, bool repaint);
    virtual void getPositionAndSize(int& x, int& y, int& width, int& height);
    virtual void setPositionAndSize(int x, int y, int width, int height, bool repaint);
    virtual void onCommand(int id);  // climbs to a toolkit parent unless overridden
    virtual void onTimer(int id);
    virtual void onAppMessage(int message, WPARAM wParam, LPARAM lParam);
    virtual void onKey(int down, int key, int repeat, int flags);
    virtual void onChar(int ch, int repeat);
    // Actions: 0 release, 1 press, 2 double click (in place of the second press).
    virtual void onLeftMouseButton(int action, CPoint point);
    virtual void onRightMouseButton(int action, CPoint point);
    virtual void onMiddleMouseButton(int action, CPoint point);
    virtual void onMouseMove(UINT flags, CPoint point);
    virtual void onMouseLeave();
    virtual void onMouseWheel(UINT flags, int delta, CPoint screenPoint);
    // The standard bars' codes (WM_HSCROLL, WM_VSCROLL) reach these handlers:
    // clang-format off
    //   code                      horizontal bar        vertical bar
    //   SB_LINELEFT / LINEUP      onScrollLeft          onScrollUp
    //   SB_LINERIGHT / LINEDOWN   onScrollRight         onScrollDown
    //   SB_PAGELEFT / PAGEUP      onScrollPageLeft      onScrollPageUp
    //   SB_PAGERIGHT / PAGEDOWN   onScrollPageRight     onScrollPageDown
    //   SB_THUMBPOSITION          onHScroll(position)   onVScroll(position)
    //   SB_THUMBTRACK             onHScroll(position)   onVScroll(position)
    //   SB_LEFT / TOP             onScrollHome          onScrollPageHome
    //   SB_RIGHT / BOTTOM         onScrollEnd           onScrollPageEnd
    //   SB_ENDSCROLL, unknown     (nothing)             (nothing)
    // clang-format on
    virtual void onHScroll(int position);  // thumb position in bar units, 16 bits
    virtual void onVScroll(int position);
    virtual void onScrollUp();
    virtual void onScrollDown();
    virtual void onScrollLeft();
    virtual void onScrollRight();
    virtual void onScrollHome();
    virtual void onScrollEnd();
    virtual void onScrollPageUp();
    virtual void onScrollPageDown();
    virtual void onScrollPageHome();
    virtual void onScrollPageEnd();
    virtual void onScrollPageLeft();
    virtual void onScrollPageRight();

    CSize size() const { return m_size; }
    CSize getInitialSize() const { return m_size; }
    CSize getSize() const { return m_size; }
    void setInitialSize(const CSize& size) { m_size = size; }
    void setInitialSize(int width, int height) { m_size = CSize(width, height); }
    void setMinSize(int width, int height) { setMinSize(CSize(width, height)); }
    void setMaxSize(int width, int height) { setMaxSize(CSize(width, height)); }
    void setFlag(int flag, bool on) { m_flags.setFlag(flag, on); }
    bool isFlagSet(int flag) const { return m_flags.isFlagSet(flag); }
    // True when this window or one of its ancestors has the keyboard focus.
    bool HasFocus();
    // Keyboard operation, off unless a top-level window turns it on: Tab
    // order, buttons, scrolling, splitter and toolbar from the keyboard.
    // Called on the top-level window, before or after it is created.
    void enableKeyboard();
    // True when this window's top-level window has keyboard operation on.
    bool keyboardEnabled() const;
    void getClientRect(CRect& rect);
    void trackMouseEvents(UINT flags, UINT hoverTime);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Application-range messages (WM_APP up to MAXINTATOM) go to onAppMessage
    // and are consumed. A top-level window with keyboard operation then runs
    // dialog navigation for the key messages of its windows.
    BOOL PreTranslateMessage(MSG* msg) override;
    // While keyboard operation is on, a YBKeyboardItem answers WM_GETDLGCODE
    // and sees its key, focus and UI-state messages first; otherwise every
    // message goes to the message map as it always did.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    void OnClose();
    BOOL OnEraseBkgnd(CDC* dc);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnCmd(UINT id);
    void OnTimer(UINT_PTR id);
    void OnHScroll(UINT code, UINT position, CScrollBar* bar);
    void OnVScroll(UINT code, UINT position, CScrollBar* bar);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnRButtonDblClk(UINT flags, CPoint point);
    void OnMButtonDown(UINT flags, CPoint point);
    void OnMButtonUp(UINT flags, CPoint point);
    void OnMButtonDblClk(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnMouseLeave();

    kelp::KLFlags m_flags{0, false};
    CSize m_size{0, 0};     // the initial size, then the last reported client size
    CSize m_minSize{0, 0};  // client size the user may not drag below
    CSize m_maxSize{0, 0};  // client size the user may not drag above; 0: no limit

    DECLARE_MESSAGE_MAP()

private:
    // The window rectangle in the parent's client coordinates (screen ones without a parent).
    CRect rectInParent() const;
    // This window as a keyboard item while keyboard operation is on; null otherwise.
    YBKeyboardItem* keyboardItem();
    // Mnemonics of windowless items, then IsDialogMessage; true when the message was handled.
    bool navigateKeyboard(MSG* msg);
    // The keyboard styles of an item created under a top-level window with keyboard operation.
    void addKeyboardStyles(CREATESTRUCT& cs);

    bool m_keyboard = false;  // enableKeyboard was called on this window
};
