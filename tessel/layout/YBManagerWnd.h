// A child window that owns child windows: it flows them into rows from left
// to right, records the extent they cover (the contents size) and scrolls
// them with the standard scroll bars by moving the windows themselves.
// Clearing, closing or destroying the manager closes their windows and
// deletes the objects. Flags read: horizontalScrollBar, verticalScrollBar,
// closeHides (WM_CLOSE only hides the window, children and all).
//
// Invariant: the scroll positions live only in the bars, in units of a
// scale (contents of 32,768 pixels and more count several pixels a unit);
// every child stands at its layout place minus (bar position x scale), so
// what is seen follows the bars exactly, also after a new layout.
//
// With keyboard operation on (YBBaseWnd::enableKeyboard) the manager is a
// container of tab stops (WS_EX_CONTROLPARENT) and scrolls for the window
// inside it that has the focus, unless that window's WM_GETDLGCODE keeps the
// key (DLGC_WANTARROWS or DLGC_WANTMESSAGE); a bar's keys are taken only
// when its flag is set, so a manager without one leaves them to navigation:
// clang-format off
//   key                 message to the manager
//   Up, Down            WM_VSCROLL SB_LINEUP, SB_LINEDOWN
//   PageUp, PageDown    WM_VSCROLL SB_PAGEUP, SB_PAGEDOWN
//   Home, End           WM_VSCROLL SB_TOP, SB_BOTTOM
//   Left, Right         WM_HSCROLL SB_LINELEFT, SB_LINERIGHT
// clang-format on
// When a key moved the focus to a window inside it that is out of view (its
// key-up arrives there), the manager scrolls that window into view.
//
//   class CBoard : public YBManagerWnd {   // children are added by a derived class
//       void onCreate() override { createChildWnd(new CPanel, 0, 0); onLayoutChildren(); }
//   };
//   board.setFlag(YBBaseWnd::verticalScrollBar, true);
//   board.createAt(0, 0, &frame);
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <tessel/foundation/KLVector.h>
#include <tessel/windows/YBChildWnd.h>
#include <tessel/windows/YBKeyboardItem.h>

class YBScrollBars;

class YBManagerWnd : public YBChildWnd, public YBKeyboardItem {
public:
    YBManagerWnd();
    // Deletes the children still listed (this class's clear, not an override's).
    ~YBManagerWnd() override;
    YBManagerWnd(const YBManagerWnd&) = delete;
    YBManagerWnd& operator=(const YBManagerWnd&) = delete;

    // Shows the window normally and paints it at once.
    bool display();
    int getChildCount() const;
    YBChildWnd* getChild(int index) const;  // null outside 0..count-1
    CSize getContentsSize() const override;
    void setContentsSize(int cx, int cy) { m_contentsSize = CSize(cx, cy); }  // bars unchanged

    bool init() override;
    void onClose() override;
    void onSize(UINT type, int cx, int cy) override;  // lays out again
    void onHScroll(int position) override;            // thumb position in bar units
    void onVScroll(int position) override;
    void onScrollUp() override;
    void onScrollDown() override;
    void onScrollLeft() override;
    void onScrollRight() override;
    void onScrollHome() override;
    void onScrollEnd() override;
    void onScrollPageUp() override;
    void onScrollPageDown() override;
    void onScrollPageHome() override;
    void onScrollPageEnd() override;
    void onScrollPageLeft() override;
    void onScrollPageRight() override;

    // Closes (WM_CLOSE to each window) and deletes every child; contents size
    // and bars stay until the next layout.
    virtual void clear();
    virtual void onRefresh();  // a hook for derived classes
    // Flows the children into rows, then sets contents size and scroll bars.
    virtual void onLayoutChildren();

    DWORD keyboardExStyle() const override { return WS_EX_CONTROLPARENT; }
    // Scroll keys of the window with the focus inside, when keyboard operation is on.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Takes ownership of `child`, a heap object listed at most once, and
    // becomes its owner window; creates no window.
    void addChildWnd(YBChildWnd* child);
    // Adds the child and creates its window here at (x, y) + m_childOffset;
    // the contents grow to cover it (the bars follow at the next layout).
    void createChildWnd(YBChildWnd* child, int x, int y);
    // Moves the child's window, keeping its size; the contents grow to cover it.
    void placeChildWnd(YBChildWnd* child, int x, int y);
    // Closes, deletes and unlists one child; nothing for one not listed.
    void deleteChildWnd(YBChildWnd* child);
    // Every child window by (dx, dy), then the whole client repainted.
    void moveChildWindows(int dx, int dy);
    void updateScrollBars();
    // Whether `child` is listed (and so owned) here.
    bool isChildWnd(const YBChildWnd* child) const;
    // Counts every child deleted through clear or deleteChildWnd: a derived
    // class that keeps child pointers of its own knows when to check them.
    std::uint64_t childDeletions() const { return m_childDeletions; }
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);  // a line per WHEEL_DELTA
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CSize m_contentsSize{0, 0};
    kelp::KLVector<YBChildWnd*> m_children;  // owned, in order of addition
    int m_lineHeight = 1;  // a line scroll: the tallest child of the last layout
    int m_hScrollScale = 1;
    int m_vScrollScale = 1;
    CPoint m_childOffset{0, 0};  // added where children are created or placed

    DECLARE_MESSAGE_MAP()

private:
    CPoint GetScrollPosition();  // pixels
    YBScrollBars bars();
    void moveBy(CSize move);  // moveChildWindows unless the move is nothing
    // Grows the contents to cover `child` placed at (x, y).
    void cover(YBChildWnd* child, int x, int y);
    // Where the flow puts each child, with contents size and line height.
    std::vector<CPoint> flowChildren();
    // Closes the child's window, deletes it and forgets its place.
    void closeAndDelete(YBChildWnd* child);
    // Window positions stop at 16 bits; children far out in scrolled
    // contents keep their true place here, so scrolling back is exact.
    void putChild(YBChildWnd* child, CPoint place, bool repaint);
    CPoint placeOf(YBChildWnd* child) const;
    // Remembers a place only when the window cannot stand there.
    void notePlace(const YBChildWnd* child, CPoint place);
    // Whether a move by (dx, dy) can scroll the client with its children.
    bool scrollsAsOne(int dx, int dy) const;
    // A scroll key for the focused window inside: sent as a scroll message.
    bool scrollForKey(const MSG& msg);
    // Scrolls the contents so that the window (a descendant) is in view.
    void scrollIntoView(HWND window);

    bool m_inLayout = false;
    bool m_layoutAgain = false;
    std::uint64_t m_childDeletions = 0;
    HWND m_shownFocus = nullptr;  // the focus last scrolled into view after a key
    // Children placed beyond the 16-bit window range, in client coordinates.
    std::unordered_map<const YBChildWnd*, CPoint> m_places;
};
