// A plugin built on the toolkit, as an application's add-in would be: loading
// it brings the toolkit library in, unloading it takes it out again.
#include <memory>

#include <tessel/platform/afx_app.h>
#include <tessel/windows/YBChildWnd.h>

namespace {

// Notes the application its handlers ran under: in onCreate, in a click.
class ProbeWnd : public YBChildWnd {
public:
    CWinApp* apps[2] = {};
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
    void onCreate() override { apps[0] = AfxGetApp(); }
    void onLeftMouseButton(int, CPoint) override { apps[1] = AfxGetApp(); }
};

// Owns itself, as a frame window does: nothing in the plugin destroys it.
class SelfOwnedWnd : public ProbeWnd {
protected:
    void PostNcDestroy() override { delete this; }
};

std::unique_ptr<ProbeWnd> probe;

}  // namespace

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT HWND probe_create(int x, int y, bool selfOwned) {
    ProbeWnd* w = selfOwned ? new SelfOwnedWnd : (probe = std::make_unique<ProbeWnd>()).get();
    w->setInitialSize(100, 50);
    return w->createAt(x, y, nullptr) ? w->m_hWnd : nullptr;
}
PROBE_EXPORT CWinApp* probe_app(int handler) {
    return probe ? probe->apps[handler] : nullptr;
}
PROBE_EXPORT void probe_destroy() {
    probe.reset();
}
