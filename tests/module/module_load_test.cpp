// A host program that does not link the toolkit: it loads a plugin built on
// it, uses a toolkit window, and unloads it again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <tessel/platform/afx_app.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

namespace {

class HostApp : public CWinApp {};
HostApp hostApp;

struct Library {
    void* handle;
    explicit Library(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    ~Library() {
        if (handle) dlclose(handle);
    }
    template <class T>
    T symbol(const char* name) const {
        return reinterpret_cast<T>(dlsym(handle, name));
    }
};

bool isLoaded(const char* path) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

void click(int x, int y) {
    SetCursorPos(x, y);
    tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
    tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
    tessel::testing::pump();
}

}  // namespace

// Loading runs the attach; handlers run in the module's state while the host
// keeps its own application. Unloading runs the detach, and destroys a window
// the plugin left behind, which would otherwise keep a procedure in unmapped
// code: its handle is then a stale one.
TEST(ModuleLoad, LoadingInitialisesAndUnloadingUndoesItAndDestroysWhatIsLeft) {
    tessel::testing::useVirtualClock();
    ASSERT_FALSE(isLoaded(TESSEL_LIBRARY)) << "the host must not link the toolkit";
    auto& libraries = AfxGetAppModuleState()->m_libraries;
    const size_t librariesBefore = libraries.size();
    std::wstring className;
    HWND left = nullptr;
    {
        Library plugin(PROBE_LIBRARY);
        ASSERT_TRUE(plugin.handle) << dlerror();
        ASSERT_TRUE(isLoaded(TESSEL_LIBRARY));

        // InitInstance ran after AfxWinInit: it recorded the module's instance.
        CWinApp* tessel = plugin.symbol<CWinApp* (*)()>("probe_toolkit_app")();
        Dl_info info{};
        ASSERT_TRUE(dladdr(plugin.symbol<void*>("theTessel"), &info));
        EXPECT_EQ(plugin.symbol<HINSTANCE (*)()>("probe_toolkit_instance")(), info.dli_fbase);
        ASSERT_EQ(libraries.size(), librariesBefore + 1);
        EXPECT_EQ(libraries.back()->m_hModule, info.dli_fbase);

        const HWND window = plugin.symbol<HWND (*)(int, int)>("probe_create")(50, 60);
        tessel::testing::pump();
        click(100, 100);
        EXPECT_EQ(plugin.symbol<CWinApp* (*)()>("probe_app_in_create")(), tessel);
        EXPECT_EQ(plugin.symbol<CWinApp* (*)()>("probe_app_in_click")(), tessel);
        EXPECT_EQ(AfxGetApp(), &hostApp);

        wchar_t name[128] = {};
        ASSERT_GT(GetClassNameW(window, name, 128), 0);
        className = name;
        plugin.symbol<void (*)()>("probe_destroy")();
        EXPECT_FALSE(IsWindow(window));
        left = plugin.symbol<HWND (*)(int, int)>("probe_create_self_owned")(300, 300);
        ASSERT_TRUE(IsWindow(left));
        tessel::testing::pump();
    }
    EXPECT_FALSE(isLoaded(TESSEL_LIBRARY));
    EXPECT_EQ(libraries.size(), librariesBefore);
    WNDCLASSW unused;
    EXPECT_FALSE(GetClassInfoW(nullptr, className.c_str(), &unused));
    EXPECT_EQ(AfxGetApp(), &hostApp);
    ASSERT_FALSE(IsWindow(left));
    SendMessageW(left, WM_PAINT, 0, 0);
    InvalidateRect(left, nullptr, TRUE);
    click(320, 320);  // where it was
}
