// One pane of a splitter: its window and its extent along the split axis
// (widths for a horizontal split, heights for a vertical one). The record
// deletes its window when cleared or destroyed, unless the splitter has
// taken the window back first (setWnd(nullptr)).
#pragma once

#include <tessel/windows/YBChildWnd.h>

class YBSplitterPane {
public:
    YBSplitterPane() = default;
    ~YBSplitterPane();
    YBSplitterPane(const YBSplitterPane&) = default;  // the window pointer, not the window
    YBSplitterPane& operator=(const YBSplitterPane&) = default;

    // Deletes the window and zeroes everything but the orientation.
    void clear();

    YBChildWnd* getWnd() const { return m_wnd; }
    void setWnd(YBChildWnd* wnd) { m_wnd = wnd; }
    int currentSize() const { return m_currentSize; }
    void currentSize(int size) { m_currentSize = size; }
    int preferredSize() const { return m_preferredSize; }
    void preferredSize(int size) { m_preferredSize = size; }
    int offset() const { return m_offset; }
    void offset(int offset) { m_offset = offset; }
    bool fixed() const { return m_fixed; }
    void fixed(bool fixed) { m_fixed = fixed; }
    bool vertical() const { return m_vertical; }
    void vertical(bool vertical) { m_vertical = vertical; }
    // Explicit limits along the axis; 0: none.
    void minSize(int size) { m_minSize = size; }
    void maxSize(int size) { m_maxSize = size; }

    // The larger of the explicit minimum and the window's own along the axis.
    int minSize() const;
    // The same for the maximum; 0 means no maximum.
    int maxSize() const;
    // The window's minimum size with the explicit minimum applied on the axis.
    CSize minWndSize() const;
    // CloseWindow on the pane's window, when it has one.
    void closeWindow();

private:
    int alongAxis(CSize size) const { return m_vertical ? size.cy : size.cx; }

    YBChildWnd* m_wnd = nullptr;
    int m_currentSize = 0;
    int m_preferredSize = 0;
    int m_minSize = 0;
    int m_maxSize = 0;
    int m_offset = 0;  // leading edge in the splitter's client coordinates
    bool m_fixed = false;
    bool m_vertical = false;
};
