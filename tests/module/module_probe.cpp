// A plugin built on the toolkit, as an application's add-in would be: it
// brings the toolkit library in when it is loaded and out when it is unloaded.
#include <memory>

#include <tessel/module/Tessel.h>
#include <tessel/platform/afx_app.h>
#include <tessel/windows/YBChildWnd.h>

namespace {

class ProbeWnd : public YBChildWnd {
public:
    CWinApp* appInCreate = nullptr;
    CWinApp* appInClick = nullptr;
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP | WS_VISIBLE;
    }
    void onCreate() override { appInCreate = AfxGetApp(); }
    void onLeftMouseButton(int, CPoint) override { appInClick = AfxGetApp(); }
};

// Owns itself, as a frame window does: nothing in the plugin destroys it, so
// it is still there when the plugin is unloaded.
class SelfOwnedWnd : public ProbeWnd {
protected:
    void PostNcDestroy() override { delete this; }
};

std::unique_ptr<ProbeWnd> probe;

}  // namespace

extern "C" {

__attribute__((visibility("default"))) HWND probe_create(int x, int y) {
    probe = std::make_unique<ProbeWnd>();
    probe->setInitialSize(200, 100);
    if (!probe->createAt(x, y, nullptr)) return nullptr;
    return probe->m_hWnd;
}
__attribute__((visibility("default"))) CWinApp* probe_app_in_create() {
    return probe ? probe->appInCreate : nullptr;
}
__attribute__((visibility("default"))) CWinApp* probe_app_in_click() {
    return probe ? probe->appInClick : nullptr;
}
// The toolkit's application object and what its InitInstance recorded.
__attribute__((visibility("default"))) CWinApp* probe_toolkit_app() {
    return &theTessel;
}
__attribute__((visibility("default"))) HINSTANCE probe_toolkit_instance() {
    return theTessel.moduleInstance();
}
__attribute__((visibility("default"))) void probe_destroy() {
    probe.reset();
}
__attribute__((visibility("default"))) HWND probe_create_self_owned(int x, int y) {
    auto* window = new SelfOwnedWnd;  // deleted by itself when its window goes
    window->setInitialSize(100, 50);
    return window->createAt(x, y, nullptr) ? window->m_hWnd : nullptr;
}
}
