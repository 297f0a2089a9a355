// The load steps of a library with its own application and module state,
// walked with an application that records what it sees; a real load and
// unload is module_load_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tessel/module/Tessel.h>
#include <tessel/module/TesselModuleEntry.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/windows/YBChildWnd.h>

namespace {

// Unbound at construction, as a library's application is.
class RecordingApp : public CWinApp {
public:
    explicit RecordingApp(BOOL initResult) : CWinApp(nullptr, nullptr), m_initResult(initResult) {}
    std::vector<std::string> events;
    LPCWSTR classOfInit = nullptr;

    BOOL InitInstance() override {
        classOfInit = AfxRegisterWndClass(CS_DBLCLKS);
        events.push_back(AfxGetApp() == this ? "init as current app" : "init elsewhere");
        return m_initResult;
    }
    int ExitInstance() override {
        WNDCLASSW unused;
        const bool classStillThere = GetClassInfoW(nullptr, classOfInit, &unused);
        events.push_back(classStillThere ? "exit before termination" : "exit after termination");
        return CWinApp::ExitInstance();
    }

private:
    BOOL m_initResult;
};

LRESULT CALLBACK plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

bool classRegistered(LPCWSTR name) {
    WNDCLASSW unused;
    return name && GetClassInfoW(nullptr, name, &unused);
}

const auto fakeInstance = reinterpret_cast<HINSTANCE>(0x5000);

}  // namespace

TEST(ModuleEntry, AFailedInitInstanceExitsTerminatesAndLeavesNothingRegistered) {
    auto& libraries = AfxGetAppModuleState()->m_libraries;
    const size_t librariesBefore = libraries.size();
    AFX_MODULE_STATE state(TRUE, &plainProc, 0x0A00);
    RecordingApp app(FALSE);
    testing::internal::CaptureStderr();
    {
        TesselModuleEntry entry(app, state, fakeInstance);
        EXPECT_FALSE(entry.loaded());
        EXPECT_EQ(libraries.size(), librariesBefore);
        EXPECT_FALSE(classRegistered(app.classOfInit));
        EXPECT_EQ(state.m_pCurrentWinApp, nullptr);
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("failed to initialise"),
              std::string::npos);
    // No second exit at unload for a library that never loaded.
    EXPECT_EQ(app.events,
              (std::vector<std::string>{"init as current app", "exit before termination"}));
}

namespace {
class StateProbe : public YBChildWnd {
public:
    AFX_MODULE_STATE* stateInCreate = nullptr;
    void getCreateStyle(DWORD& style, DWORD& exStyle, CSize& size) override {
        YBChildWnd::getCreateStyle(style, exStyle, size);
        style = WS_POPUP;
    }
    void onCreate() override { stateInCreate = AfxGetModuleState(); }
};
}  // namespace

TEST(ModuleEntry, TheToolkitIsLoadedWithItsOwnStateAndApplication) {
    EXPECT_TRUE(theTessel.init());
    EXPECT_NE(AfxGetApp(), &theTessel) << "the host does not see the toolkit's application";

    StateProbe probe;
    ASSERT_TRUE(probe.createAt(0, 0, nullptr));
    AFX_MODULE_STATE* toolkit = probe.stateInCreate;
    ASSERT_NE(toolkit, nullptr);
    EXPECT_NE(toolkit, AfxGetAppModuleState());
    EXPECT_EQ(toolkit->m_pCurrentWinApp, &theTessel);
    // The window enters through the toolkit's wrapper, not the host's procedure.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(probe.m_hWnd, GWLP_WNDPROC)),
              toolkit->m_pfnAfxWndProc);
    EXPECT_NE(toolkit->m_pfnAfxWndProc, &AfxWndProc);
}
