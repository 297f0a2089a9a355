// A framed child window showing a row of entries in slots of equal width,
// left to right: buttons (an image over a centred caption) and separators
// (an empty slot). It only shows them: it handles no input and sends no
// command. Adding or clearing entries does not repaint; the caller
// invalidates a visible toolbar.
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

class YBToolBarWnd : public YBChildWnd {
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

protected:
    GFont m_font{"Arial", 7.0, 0, 0};
    CPoint m_buttonSpacing{2, 2};  // x: first slot's left and the gap; y: every entry's top
    CSize m_buttonSize{48, 64};
    CSize m_imageSize{32, 32};
    kelp::KLArray<YBToolBarEntry*> m_entries;  // owned, in display order
    COLORREF m_bgColor = 0xC8C8C8;

private:
    void append(YBToolBarEntry* entry);
};
