// A visible top-level window with no decoration, placed at the screen's
// origin, to hold a benchmark's scene.
//
//   tessel::bench::TopFrame frame;
//   frame.setInitialSize(1280, 800);
//   frame.createAt(0, 0, nullptr);
#pragma once

#include <tessel/windows/YBChildWnd.h>

namespace tessel::bench {

class TopFrame : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
};

}  // namespace tessel::bench
