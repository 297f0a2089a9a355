// A library whose InitInstance fails, walked with an application that
// records what it sees; a real load and unload is module_load_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tessel/module/TesselModuleEntry.h>
#include <tessel/platform/afx_wnd.h>

namespace {

bool classRegistered(LPCWSTR name) {
    WNDCLASSW unused;
    return name && GetClassInfoW(nullptr, name, &unused);
}

// Unbound at construction, as a library's application is; its start-up fails.
class FailingApp : public CWinApp {
public:
    FailingApp() : CWinApp(nullptr, nullptr) {}
    std::vector<std::string> events;
    LPCWSTR classOfInit = nullptr;

    BOOL InitInstance() override {
        classOfInit = AfxRegisterWndClass(CS_DBLCLKS);
        events.push_back(AfxGetApp() == this ? "init as current app" : "init elsewhere");
        return FALSE;
    }
    int ExitInstance() override {
        events.push_back(classRegistered(classOfInit) ? "exit before termination" : "exit after");
        return CWinApp::ExitInstance();
    }
};

}  // namespace

// No second exit at unload for a library that never loaded.
TEST(ModuleEntry, AFailedInitInstanceExitsTerminatesAndLeavesNothingRegistered) {
    auto& libraries = AfxGetAppModuleState()->m_libraries;
    const size_t librariesBefore = libraries.size();
    AFX_MODULE_STATE state(TRUE, &DefWindowProcW, 0x0A00);
    FailingApp app;
    testing::internal::CaptureStderr();
    {
        const TesselModuleEntry entry(app, state, reinterpret_cast<HINSTANCE>(0x5000));
        EXPECT_FALSE(entry.loaded());
        EXPECT_EQ(libraries.size(), librariesBefore);
        EXPECT_FALSE(classRegistered(app.classOfInit));
        EXPECT_EQ(state.m_pCurrentWinApp, nullptr);
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("failed to initialise"),
              std::string::npos);
    EXPECT_EQ(app.events,
              (std::vector<std::string>{"init as current app", "exit before termination"}));
}
