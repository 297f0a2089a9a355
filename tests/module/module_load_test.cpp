// A host program that does not link the toolkit: it loads a plugin built on
// it, uses a toolkit window, and unloads it again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>

#include <tessel/module/Tessel.h>  // inline members only: nothing to link
#include <tessel/platform/afx_wnd.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>

namespace {

CWinApp hostApp;

bool isLoaded(const char* path) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    return handle && dlclose(handle) == 0;
}

void click(int x, int y) {
    SetCursorPos(x, y);
    tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
    tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
    tessel::testing::pump();
}

}  // namespace

// InitInstance runs after AfxWinInit; handlers run in the module's state
// while the host keeps its application. Unloading destroys a window the
// plugin left behind, which would otherwise keep a procedure in unmapped
// code: its handle is then a stale one.
TEST(ModuleLoad, LoadingInitialisesAndUnloadingUndoesItAndDestroysWhatIsLeft) {
    tessel::testing::useVirtualClock();
    ASSERT_FALSE(isLoaded(TESSEL_LIBRARY)) << "the host must not link the toolkit";
    auto& libraries = AfxGetAppModuleState()->m_libraries;
    const size_t librariesBefore = libraries.size();
    wchar_t className[128] = {};
    HWND left = nullptr;
    {
        const std::unique_ptr<void, int (*)(void*)> plugin(
            dlopen(PROBE_LIBRARY, RTLD_NOW | RTLD_LOCAL), dlclose);
        ASSERT_TRUE(plugin) << dlerror();
        const auto symbol = [&](const char* name) { return dlsym(plugin.get(), name); };
        const auto create = reinterpret_cast<HWND (*)(int, int)>(symbol("probe_create"));
        const auto appIn = reinterpret_cast<CWinApp* (*)(int)>(symbol("probe_app"));
        auto* toolkit = static_cast<Tessel*>(symbol("theTessel"));
        Dl_info info{};
        ASSERT_TRUE(dladdr(toolkit, &info));
        EXPECT_EQ(toolkit->moduleInstance(), info.dli_fbase);
        ASSERT_EQ(libraries.size(), librariesBefore + 1);
        EXPECT_EQ(libraries.back()->m_hModule, info.dli_fbase);

        const HWND window = create(50, 60);
        click(100, 100);
        EXPECT_TRUE(appIn(0) == toolkit && appIn(1) == toolkit && AfxGetApp() == &hostApp);
        ASSERT_GT(GetClassNameW(window, className, 128), 0);
        DestroyWindow(window);  // and not again at unloading
        left = create(300, 300);
        ASSERT_TRUE(IsWindow(left));
        tessel::testing::pump();
    }
    EXPECT_FALSE(isLoaded(TESSEL_LIBRARY));
    EXPECT_EQ(libraries.size(), librariesBefore);
    WNDCLASSW unused;
    EXPECT_FALSE(GetClassInfoW(nullptr, className, &unused));
    EXPECT_EQ(AfxGetApp(), &hostApp);
    ASSERT_FALSE(IsWindow(left));
    SendMessageW(left, WM_PAINT, 0, 0);
    InvalidateRect(left, nullptr, TRUE);
    click(320, 320);  // where it was
}
