// A toolkit window that paints itself through XDC, built against the
// installed package: prints the colour it finds on its surface.
#include <cstdio>

#include <tessel/tessel.h>

namespace {

constexpr COLORREF kFill = RGB(0, 128, 255);

class SwatchWnd : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
    void onDraw(XDC& dc) override { dc.FillRect(CRect(0, 0, 64, 48), kFill); }
};

}  // namespace

int main() {
    SwatchWnd window;
    window.setInitialSize(64, 48);
    if (!window.createAt(10, 10, nullptr)) {
        std::puts("cmake consumer: no window");
        return 1;
    }
    window.Invalidate(FALSE);
    window.UpdateWindow();
    HDC dc = GetDC(window.m_hWnd);
    const COLORREF found = GetPixel(dc, 32, 24);
    ReleaseDC(window.m_hWnd, dc);
    std::printf("cmake consumer: %s display, pixel %06lx\n", tessel::displayBackend(),
                static_cast<unsigned long>(found));
    window.DestroyWindow();
    return found == kFill ? 0 : 1;
}
