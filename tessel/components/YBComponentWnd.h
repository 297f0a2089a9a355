// A child window that owns windowless components: it flows them into rows
// from left to right, paints them over an optional background through an
// off-screen buffer, routes the mouse to them and scrolls them with the
// standard scroll bars.
//
// Invariant: the scroll positions live only in the bars, and every
// component stands at its layout position minus (bar position x scale) on
// each axis, so what the user sees always matches the bars.
//
//   YBComponentWnd host(RGB(255, 255, 255));
//   host.setFlag(YBBaseWnd::verticalScrollBar, true);  // a bar when needed
//   host.addComponent(new YBButton(7, &host), true, true);
//
// While its top-level window runs keyboard operation the host is a tab stop
// when it holds a focusable component (a shown, enabled button) and keeps
// one focused component of its own: Tab and Shift+Tab walk them in layout
// order before leaving the host, the focused one is scrolled fully into
// view and ringed, and the keys act on it as on a button window. The arrows,
// Page Up/Down and Home/End send the host the matching scroll codes.
#pragma once

#include <memory>
#include <vector>

#include <tessel/components/YBComponent.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/windows/YBChildWnd.h>
#include <tessel/windows/YBKeyboardItem.h>

class YBHitIndex;
class YBScrollBars;

class YBComponentWnd : public YBChildWnd, public YBKeyboardItem {
public:
    explicit YBComponentWnd(DWORD bgColor = XDC::kNoColor);
    // Deletes every component it holds.
    ~YBComponentWnd() override;

    CSize getContentsSize() const override;
    void onClose() override;  // closes the open components; the window goes as usual
    void onDraw(XDC& dc) override;
    void onSize(UINT type, int cx, int cy) override;  // lays out again
    // The first component with mouseOver gets each button event.
    void onLeftMouseButton(int action, CPoint point) override;
    void onRightMouseButton(int action, CPoint point) override;
    void onMiddleMouseButton(int action, CPoint point) override;
    // Every component under the point gets enter (when not mouseOver yet) and
    // move; every mouseOver one not under it gets leave.
    void onMouseMove(UINT flags, CPoint point) override;
    void onMouseWheel(UINT flags, int delta, CPoint point) override;  // a line per WHEEL_DELTA
    void onHScroll(int position) override;                            // thumb position in bar units
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
    // Flows the components into rows, then sets contents size and scroll bars.
    virtual void onLayoutComponents();

protected:
    virtual void drawComponents(XDC& dc);  // the visible ones, in index order

public:
    // The host takes ownership of `component`, a heap object naming this host as owner.
    void addComponent(YBComponent* component, bool layout, bool repaint);
    // Closes (when open) and deletes every component; contents size and bars stay.
    void clearComponents();
    int getComponentCount() const;
    YBComponent* getComponent(int index) const;  // null outside 0..count-1
    YBComponent* getComponentByID(unsigned int id) const;
    int getComponentIndexAt(CPoint point) const;  // the lowest index containing it, or -1
    YBComponent* getComponentAt(CPoint point) const;
    // Where the host lists `component`; -1 when it does not.
    int indexOf(const YBComponent& component) const;
    // The component the keys act on: a shown, enabled button; null when none.
    YBComponent* focusedComponent() const { return focusedButton(); }
    // Makes a listed button the focused component and focuses the host; false
    // for a component the keys cannot act on.
    bool focusOn(YBComponent& component);
    COLORREF bgColor() const { return m_bgColor; }
    void bgColor(COLORREF color) { m_bgColor = color; }  // no repaint
    void setContentsSize(int cx, int cy) { m_contentsSize = CSize(cx, cy); }

    DWORD keyboardStyle() const override;
    UINT keyboardDlgCode(const MSG* msg) override;
    // The first focusable button whose caption has the letter after '&' is clicked.
    bool activateMnemonic(wchar_t letter) override;
    bool keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void drawKeyboardCues(HDC dc) override;

protected:
    void updateScrollBars();
    // In pixels: each bar's position times its scale.
    CPoint getScrollPosition();
    // Both in pixels; positions are held in bar units, so they round down to a unit.
    void scrollToPosition(const CPoint& position);
    void adjustScrollPosition(int dx, int dy);
    void moveComponents(int dx, int dy);

    kelp::KLArray<YBComponent*> m_components;  // owned; in order of addition
    COLORREF m_bgColor;                        // XDC::kNoColor: no background fill
    CSize m_contentsSize{0, 0};                // pixels covered by the last layout
    int m_hScrollScale = 1;                    // pixels per horizontal bar unit
    int m_vScrollScale = 1;
    int m_lineHeight = 1;  // a line scroll: the tallest component of the last layout

private:
    friend class YBComponent;
    // What a listed component reports (YBComponent::noteMoved and noteMouseOver).
    void componentMoved(const YBComponent& component);
    void componentHovered(const YBComponent& component);
    void componentGone(const YBComponent& component);

    // Keyboard operation (YBComponentWndKeyboard.cpp).
    static bool isFocusable(const YBComponent& component);
    // The focused component while it can take the keys; null otherwise.
    YBComponent* focusedButton() const;
    int focusedIndex() const;  // -1 when there is none
    // The next focusable index after `from` (before it going back), no wrap; -1 when none.
    int nextFocusable(int from, bool forward) const;
    // Where Tab (Shift+Tab) goes inside the host; -1 when it leaves the host.
    int tabTarget(bool forward) const;
    void focusComponent(int index);
    void cancelPress();
    bool keyDown(WPARAM key, bool repeat);
    void scrollIntoView(const YBComponent& component);

    // The hit index and the mouse-over list, made afresh when stale.
    void refreshHitIndex();
    // Routes one movement to component `index` as the walk over all does.
    void routeMove(int index, UINT flags, CPoint point);
    void routeMoveToAll(int first, UINT flags, CPoint point);
    void closeOpenComponents();
    void flowComponents();
    void offsetComponents(int dx, int dy);
    // The window's bars with its scales.
    YBScrollBars bars();
    void moveBy(CSize move);  // moveComponents when the move is not nothing

    // Pointer routing visits only the components under the pointer and those
    // that may be mouseOver; both sets are kept exact by what the components
    // report. Invariant: unless m_hitsStale, m_hits holds every component's
    // rectangle and m_hovered every index whose component is mouseOver.
    std::unique_ptr<YBHitIndex> m_hits;
    bool m_hitsStale = true;
    std::vector<int> m_hovered;               // a superset of them, sorted after each routing
    const YBComponent* m_shifting = nullptr;  // the component a scroll is moving
    bool m_routing = false;                   // onMouseMove is walking its candidates
    int m_routedIndex = -1;                   // the candidate it is at
    std::vector<int> m_routePending;          // candidates after it, ascending
    // The visible part of the client while onDraw paints; empty otherwise.
    CRect m_paintBox{0, 0, 0, 0};

    // The component the keys act on, listed here; components have no windows
    // and so no focus of their own. Cleared when it is deleted.
    YBComponent* m_focused = nullptr;

    bool m_inLayout = false;     // a layout is running (bars appearing re-enter it)
    bool m_layoutAgain = false;  // the client changed under the running layout
};
