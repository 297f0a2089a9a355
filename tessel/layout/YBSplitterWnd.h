// A manager window that divides its client area along one axis into panes,
// each filled by one child window, with a bar between neighbours (see
// YBSplitterPane, YBSplitterBar). Panes stand side by side, left to right,
// in a horizontal split and are stacked top to bottom in a vertical one.
// The user drags a bar with the left button to move space between the two
// panes beside it; resizing the splitter spreads the change over the panes
// within their minimums. A pane below its minimum passes the shortfall on to
// the next pane in the direction of the change; a change that no pane can
// take is refused as a whole.
//
// A named splitter stores its panes' preferred sizes when it closes;
// restoreLayout, called once the panes are added, takes them back. Restoring
// is the application's call, so adding panes always gives the same layout.
//
// Ownership: each window added by addPane is owned by the manager's child
// list; a window set with setPane belongs to its pane record. Each is
// deleted exactly once, whichever goes first.
//
// With keyboard operation on (YBBaseWnd::enableKeyboard), for the focus
// anywhere inside the splitter:
// clang-format off
//   key             condition             effect
//   F6, Shift+F6    focus inside          focus to the first tab item of the next
//                                         (previous) pane that has one; past the end a
//                                         splitter inside another leaves the key to
//                                         that one, the outermost wraps
//   F8              no bar focused        remember the focus and the panes' sizes,
//                                         focus the splitter with bar 0 focused
//   F8              a bar focused         the next bar, wrapping
//   Left, Right     a bar focused (Up,    the bar by keyboardStep pixels, or as far as
//                   Down: vertical split) the panes' limits let it, as a drag moves it
//   Home, End       a bar focused         the bar as far back (on) as the limits let it
//   Enter           a bar focused         keep the sizes, focus back where it was
//   Escape          a bar focused         the sizes as at F8, focus back where it was
//   focus lost      a bar focused         no bar focused; the sizes stay
// clang-format on
// The focused bar shows a focus ring while the keyboard cues are shown.
//
//   YBSplitterWnd split(0, L"main");              // horizontal
//   split.createAt(0, 0, &frame);
//   split.addPane(new CTree, 200, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
//   split.addPane(new CView, 400, 2, 2, 0xC8C8C8, XDC::kNoColor, false);
#pragma once

#include <cstdint>
#include <vector>

#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLString.h>
#include <tessel/layout/YBManagerWnd.h>
#include <tessel/layout/YBSplitterBar.h>
#include <tessel/layout/YBSplitterPane.h>

class YBSplitterWnd : public YBManagerWnd {
public:
    // Flag bits of the splitter (not the base window's flag numbers).
    static constexpr int verticalSplit = 1;
    static constexpr int draggingFlag = 2;
    static constexpr int mouseoverFlag = 8;  // stored only
    // Pixels an arrow key moves a focused bar (a pane's least size: fine
    // enough to place, few presses to cross); the limits may stop it short.
    static constexpr int keyboardStep = 8;

    YBSplitterWnd(int flags, const kelp::KLString& name);
    ~YBSplitterWnd() override;

    // Appends a pane of `preferredSize` holding `wnd` (which it creates and
    // takes), with a bar before it when panes exist already; the bar values
    // given with the first pane are not used. A fixed pane keeps its size
    // and passes size changes on; `fixed` with a size of 0 fixes the pane at
    // whatever is left for it when it is added.
    void addPane(YBChildWnd* wnd, int preferredSize, int barWidth, int barMargin,
                 COLORREF barLineColor, COLORREF barBgColor, bool fixed);
    // Replaces a pane's window pointer only: the old window is neither closed
    // nor deleted, the new one is neither created nor listed by the manager.
    void setPane(int index, YBChildWnd* wnd);
    // Deletes every pane with its window, and the bars with them.
    void clearPanes();
    YBSplitterPane* findPane(YBChildWnd* wnd);
    int getPaneIndex(YBChildWnd* wnd);
    // The table's element; an index past the end grows the table with empty slots.
    YBSplitterPane* getPane(int index);
    // An index past the end appends default bars up to it.
    YBSplitterBar* getBar(int index);
    int getPaneCount() const { return static_cast<int>(m_panes.size()); }

    // The panes' minimum (bars included), the sum of current sizes and bars,
    // and how many panes can grow and shrink.
    void calcMinSize(CSize& minimum, int& total, int& growable, int& shrinkable) const;
    CSize getMinSize() const override;
    void movePanes();
    void adjustPanes() { movePanes(); }
    // Whether pane `index` can change by `delta`, passing what it cannot take
    // on in `direction` (+1 or -1); adjustSize applies it.
    bool canAdjustSize(int index, int delta, int direction);
    bool adjustSize(int index, int delta, int direction);
    // Against the next pane; nothing for the last one.
    void setPaneSize(int index, int size);
    // Against the next pane, or the previous one when the next cannot give.
    void setPaneSize(int index, int size, bool fixed);
    // The first bar whose rectangle holds the point, or -1.
    int barIndex(CPoint point) const;
    // Where bar `index` stands along the axis (its leading edge, in client
    // pixels) and the nearest and farthest places the panes' limits let it
    // reach; false when there is no such bar.
    bool barRange(int index, int& least, int& position, int& most);
    // Moves bar `index` by up to `pixels`, as far as the limits let it, as a drag does.
    void moveBar(int index, long long pixels);
    // The bar the keys move; -1 when no bar has the focus.
    int focusedBar() const { return barFocused() ? m_keyBar : -1; }
    void barColor(COLORREF color) { m_barColor = color; }
    // A named splitter's panes take the preferred sizes it stored when it last
    // closed, if the record holds one size per pane (fixed panes keep theirs,
    // none goes below its minimum). False, and nothing changed, otherwise.
    bool restoreLayout();

    bool isHorizontalSplit() const { return !(m_splitFlags & verticalSplit); }
    bool isVerticalSplit() const { return m_splitFlags & verticalSplit; }
    bool dragging() const { return m_splitFlags & draggingFlag; }
    void dragging(bool on) { setFlag(draggingFlag, on); }
    bool mouseover() const { return m_splitFlags & mouseoverFlag; }
    void mouseover(bool on) { setFlag(mouseoverFlag, on); }
    // Bit masks of m_splitFlags.
    void setFlag(int mask, bool on);
    bool isFlagSet(int mask) const { return (m_splitFlags & mask) != 0; }

    void onClose() override;
    void onDraw(XDC& dc) override;
    void onSize(UINT type, int cx, int cy) override;
    bool onSetCursor(UINT hitTest, UINT message) override;
    void onLeftMouseButton(int action, CPoint point) override;
    void onMouseMove(UINT flags, CPoint point) override;
    void onLayoutChildren() override;  // nothing: the splitter places its panes itself

    // F6 and F8 for the focus inside.
    BOOL PreTranslateMessage(MSG* msg) override;
    UINT keyboardDlgCode(const MSG* msg) override;
    // A focused bar's keys; losing the focus ends it, keeping the sizes.
    bool keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void drawKeyboardCues(HDC dc) override;

protected:
    kelp::KLString m_name;
    int m_splitFlags;
    int m_dragOffset = 0;  // grab point within the bar, set at each press on a bar
    int m_dragBar = -1;    // the bar pressed last, -1 for none
    kelp::KLArray<YBSplitterPane*> m_panes;  // owned, in axis order
    kelp::KLArray<YBSplitterBar> m_bars;     // bar i between panes i and i + 1
    COLORREF m_barColor = 0x969696;          // stored only

private:
    int alongAxis(CSize size) const { return isVerticalSplit() ? size.cy : size.cx; }
    // The pane table's element without growing it.
    YBSplitterPane* pane(int index) const;
    // Forgets pane windows the manager has deleted since the last look.
    void forgetDeletedWindows() const;
    void preferCurrentSizes();
    // Moves `delta` between the panes at `first` and `first` + 1 when both can.
    bool moveSpace(int first, int delta);
    void growPanes(int space, int growable);
    std::wstring layoutKey() const;  // the splitter's record in YBLayoutStore
    void shrinkPanes(int space, int shrinkable);

    bool barFocused() const;
    int paneHolding(HWND window) const;
    // The window F6 focuses in the pane: entering a nested splitter
    // backwards, the tab item of its last pane that has one.
    HWND paneTabItem(int index, bool backwards) const;
    bool insideSplitter() const;
    bool focusNextPane(bool backwards);
    bool focusNextBar();
    // How much of a move of `pixels` the panes beside bar `index` can take.
    long long reachableMove(int index, long long pixels);
    bool barKey(WPARAM key);
    void leaveBar(bool restore);

    // Windows addPane handed to the manager's list.
    mutable std::vector<YBChildWnd*> m_listedWindows;
    mutable std::uint64_t m_seenDeletions = 0;

    struct PaneSizes {
        int current;
        int preferred;
    };
    int m_keyBar = -1;                        // the bar F8 focused
    HWND m_focusBeforeBar = nullptr;          // where Enter and Escape give the focus back
    std::vector<PaneSizes> m_sizesBeforeBar;  // what Escape restores
};
