// One slot of a toolbar: a button (an image with a caption under it) or a
// separator (an empty slot). The rectangle is the toolbar's to set.
#pragma once

#include <tessel/drawing/XImage.h>
#include <tessel/foundation/KLString.h>
#include <tessel/platform/afx_geometry.h>

class YBToolBarEntry {
public:
    unsigned int m_id = 0;     // 0 for a separator
    bool m_separator = false;
    XImage m_image;            // empty when the file could not be loaded
    kelp::KLString m_text;     // the caption
    CRect m_rect{0, 0, 0, 0};  // in the toolbar's client coordinates
};
