// A plugin built on the toolkit, as an application's add-in would be: loading
// it brings the toolkit library in, unloading it takes it out again.
#include <tessel/platform/afx_app.h>
#include <tessel/windows/YBChildWnd.h>

namespace {

CWinApp* apps[2] = {};  // the application its handlers ran under: in onCreate, in a click

// Owns itself, as a frame window does: nothing in the plugin destroys it.
class ProbeWnd : public YBChildWnd {
public:
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
    void onCreate() override { apps[0] = AfxGetApp(); }
    void onLeftMouseButton(int, CPoint) override { apps[1] = AfxGetApp(); }

protected:
    void PostNcDestroy() override { delete this; }
};

}  // namespace

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT HWND probe_create(int x, int y) {
    auto* w = new ProbeWnd;
    w->setInitialSize(100, 50);
    if (w->createAt(x, y, nullptr)) return w->m_hWnd;
    delete w;
    return nullptr;
}
PROBE_EXPORT CWinApp* probe_app(int handler) {
    return apps[handler];
}
