// A framed child window showing a row of entries in slots of equal width,
// left to right: buttons (an image over a centred caption) and separators
// (an empty slot). It only shows them: it handles no mouse input, and sends
// no command unless keyboard operation is on. Adding or clearing entries
// does not repaint; the caller invalidates a visible toolbar.
//
// With keyboard operation on (YBBaseWnd::enableKeyboard) the toolbar is one
// tab stop with a focused entry, always a button (the first until an arrow
// moves it), and activates it as a button window does:
// clang-format off
//   key                   effect
//   Left, Up              the button before; stays on the first
//   Right, Down           the button after; stays on the last
//   Enter down            WM_COMMAND with its identifier to the parent
//   Space down, then up   the same at the release, unless an arrow or Escape
//                         came between
//   auto-repeat           moves again; activates nothing more
//   focus lost            a held Space sends nothing
// clang-format on
// The focused button shows a focus rectangle while the toolbar has the
// focus and the keyboard cues are shown. Entries are told to the window
// system's accessibility hooks as parts of the window, entry i as child id
// i + 1: added, removed, focused.
//
//   YBToolBarWnd toolbar;
//   toolbar.addButton(ID_OPEN, L"icons/open.png", L"Open");
//   toolbar.addSeparator();
//   toolbar.createAt(0, 0, &frame);
#pragma once

#include <tessel/drawing/GFont.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/layout/YBToolBarEntry.h>
#include <tessel/windows/YBChildWnd.h>
#include <tessel/windows/YBKeyboardItem.h>

class YBToolBarWnd : public YBChildWnd, public YBKeyboardItem {
public:
    YBToolBarWnd();
    ~YBToolBarWnd() override;
    YBToolBarWnd(const YBToolBarWnd&) = delete;
    YBToolBarWnd& operator=(const YBToolBarWnd&) = delete;

    // As YBChildWnd::createAt, without onPreCreate, always with a dialog frame.
    bool createAt(int x, int y, CWnd* parent);

    // An image that cannot be loaded leaves the button without one.
    void addButton(unsigned int id, const kelp::KLString& imagePath, const kelp::KLString& text);
    void addSeparator();
    // Deletes every entry; the window is not repainted.
    void clearButtons();
    // Entry i takes slot i: a separator's rectangle is 8 pixels wide, but
    // the next entry still starts a whole slot later.
    void updateButtons();

    void onCreate() override;
    void onDraw(XDC& dc) override;
    void onSize(UINT type, int cx, int cy) override;

    const YBToolBarEntry* entry(int index) const;
    int entryCount() const { return static_cast<int>(m_entries.size()); }

    DWORD keyboardStyle() const override { return WS_TABSTOP; }
    UINT keyboardDlgCode(const MSG* msg) override;
    bool keyboardMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void drawKeyboardCues(HDC dc) override;
    // The button the keys act on; -1 when there is none.
    int focusedEntry() const;
    // Makes button `index` the one the keys act on; anything else is ignored.
    void focusEntry(int index);
    // Button `index`'s WM_COMMAND to the parent, as Enter sends it; false
    // when it is no button or the toolbar is disabled.
    bool sendCommand(int index);

protected:
    GFont m_font{"Arial", 7.0, 0, 0};
    CPoint m_buttonSpacing{2, 2};  // x: first slot's left and the gap; y: every entry's top
    CSize m_buttonSize{48, 64};
    CSize m_imageSize{32, 32};
    kelp::KLArray<YBToolBarEntry*> m_entries;  // owned, in display order
    COLORREF m_bgColor = 0xC8C8C8;

private:
    void append(YBToolBarEntry* entry);
    // The nearest button from `index` by `step` (+1 or -1), or -1.
    int buttonFrom(int index, int step) const;
    // Assistive technology's view of entry `index` (child id index + 1).
    void notifyEntry(DWORD event, int index) const;
    bool key(bool down, WPARAM key, bool repeated);

    int m_focusEntry = -1;  // as the user left it; focusedEntry() checks it
    int m_spaceEntry = -1;  // the button Space went down on, until it comes up
};
