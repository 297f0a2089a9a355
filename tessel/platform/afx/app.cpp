#include <tessel/platform/afx_app.h>

#include <algorithm>
#include <new>

#include <tessel/platform/afx_dc.h>
#include <tessel/platform/afx_gdi.h>
#include <tessel/platform/afx_wnd.h>
#include <tessel/platform/testing.h>

namespace {

int& tempMapLocks() {
    thread_local int locks = 0;
    return locks;
}

// The calling thread's: other threads' wrappers may be in use.
void deleteTemporaries() {
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
}

// Tests pump messages the way the framework's loop does.
bool pumpPreTranslate(MSG* msg) {
    return AfxPreTranslateMessage(msg) != FALSE;
}
[[maybe_unused]] const bool pumpHooked =
    (tessel::testing::setPreTranslate(&pumpPreTranslate), true);

}  // namespace

CWinApp::CWinApp(LPCWSTR appName) : CWinApp(appName, AfxGetModuleState()) {}

CWinApp::CWinApp(LPCWSTR appName, AFX_MODULE_STATE* state)
    : m_pszAppName(appName), m_moduleState(nullptr) {
    if (state) AfxBindModuleApp(state, this);
}

CWinApp::~CWinApp() {
    if (m_moduleState && m_moduleState->m_pCurrentWinApp == this)
        m_moduleState->m_pCurrentWinApp = nullptr;
}

void AfxBindModuleApp(AFX_MODULE_STATE* state, CWinApp* app) {
    if (!state) return;
    if (app && app->m_moduleState && app->m_moduleState != state &&
        app->m_moduleState->m_pCurrentWinApp == app)
        app->m_moduleState->m_pCurrentWinApp = nullptr;
    if (CWinApp* previous = state->m_pCurrentWinApp; previous && previous != app)
        previous->m_moduleState = nullptr;
    state->m_pCurrentWinApp = app;
    state->m_lpszCurrentAppName = app ? app->m_pszAppName : nullptr;
    if (app) app->m_moduleState = state;
}

int CWinApp::Run() {
    for (;;) {
        MSG peek;
        LONG idle = 0;
        while (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idle++)) {
        }
        if (!AfxPumpMessage()) return ExitInstance();
    }
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    // The target window and its ancestors, innermost first.
    for (HWND window = msg->hwnd; window; window = ::GetParent(window)) {
        CWnd* wnd = CWnd::FromHandlePermanent(window);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

BOOL CWinApp::OnIdle(LONG) {
    if (tempMapLocks() == 0) deleteTemporaries();
    return FALSE;
}

CWinApp* AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;
    if (CWinApp* app = state->m_pCurrentWinApp) {
        app->m_hInstance = instance;
        app->m_lpCmdLine = commandLine;
        app->m_nCmdShow = show;
    }
    return TRUE;
}

void AfxWinTerm() {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    for (const std::wstring& name : state->m_registeredClasses)
        ::UnregisterClassW(name.c_str(), state->m_hCurrentInstanceHandle);
    state->m_registeredClasses.clear();
    deleteTemporaries();
}

BOOL AfxPreTranslateMessage(MSG* msg) {
    if (!msg) return FALSE;
    if (CWinApp* app = AfxGetApp()) return app->PreTranslateMessage(msg);
    for (HWND window = msg->hwnd; window; window = ::GetParent(window)) {
        CWnd* wnd = CWnd::FromHandlePermanent(window);
        if (wnd && wnd->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

BOOL AfxPumpMessage() {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (CWinApp* app = AfxGetApp()) app->m_msgCur = msg;
    if (!got) return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE handle) {
    module.bInitialized = TRUE;
    module.hModule = handle;
    module.hResource = handle;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL all) {
    if (all) {
        auto& libraries = AfxGetAppModuleState()->m_libraries;
        std::vector<CDynLinkLibrary*> mine;
        for (CDynLinkLibrary* library : libraries) {
            if (library->m_hModule == module.hModule) mine.push_back(library);
        }
        for (CDynLinkLibrary* library : mine)
            delete library;
    }
    module.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL system)
    : m_hModule(module.hModule), m_hResource(module.hResource), m_bSystem(system) {
    AfxGetAppModuleState()->m_libraries.push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    std::erase(AfxGetAppModuleState()->m_libraries, this);
}

void AfxThrowMemoryException() {
    throw new CMemoryException;
}

void AfxLockTempMaps() {
    ++tempMapLocks();
}

BOOL AfxUnlockTempMaps(BOOL deleteTemporariesNow) {
    int& locks = tempMapLocks();
    if (locks == 0) return FALSE;
    if (--locks == 0 && deleteTemporariesNow) deleteTemporaries();
    return TRUE;
}

void AfxTermThread(HINSTANCE) {
    if (tempMapLocks() == 0) deleteTemporaries();
}
