// MFC's application object, module state and library glue.
//
// A module state holds what "the current module" means: its application
// object, instance handle and window-procedure wrapper. The host program has
// one; a library with its own makes it current around each of its messages
// (AFX_MANAGE_STATE), so AfxGetApp() answers the library's application there.
//
//   class CMyApp : public CWinApp { BOOL InitInstance() override; };
//   CMyApp theApp;   // registers itself with the current module state
#pragma once

#include <string>
#include <vector>

#include <tessel/platform/win_user.h>

// The MFC version this stand-in follows (MFC 10.0): a module state's version.
#define _MFC_VER 0x0A00

class CWinApp;
class CWnd;
class CDynLinkLibrary;

struct AFX_MODULE_STATE {
    AFX_MODULE_STATE(BOOL dll, WNDPROC wndProc, DWORD version);
    CWinApp* m_pCurrentWinApp = nullptr;
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    LPCWSTR m_lpszCurrentAppName = nullptr;
    BOOL m_bDLL;
    WNDPROC m_pfnAfxWndProc;  // every window created under this state enters here
    DWORD m_dwVersion;
    std::vector<std::wstring> m_registeredClasses;  // unregistered by AfxWinTerm
    std::vector<CDynLinkLibrary*> m_libraries;      // extension modules, newest last
};

AFX_MODULE_STATE* AfxGetModuleState();                         // the current one
AFX_MODULE_STATE* AfxGetAppModuleState();                      // the host program's
AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state);  // returns the previous one
// The state of the module this code is linked into. A library with its own
// state defines it (with hidden visibility, so that each module finds its own).
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Makes a module state current for a scope.
struct AFX_MAINTAIN_STATE {
    explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state) : m_previous(AfxSetModuleState(state)) {}
    ~AFX_MAINTAIN_STATE() { AfxSetModuleState(m_previous); }
    AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
    AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;

private:
    AFX_MODULE_STATE* m_previous;
};
#define AFX_MANAGE_STATE(state) AFX_MAINTAIN_STATE afxManagedState(state)

class CWinApp {
public:
    // Registers with the module state current at construction.
    explicit CWinApp(LPCWSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // The exit code: the WM_QUIT code once Run has ended.
    virtual int ExitInstance() { return static_cast<int>(m_msgCur.wParam); }
    // The message loop: pre-translation, dispatch, idle work; ends with ExitInstance.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Idle time: temporary wrappers are deleted. True asks for more idle calls.
    virtual BOOL OnIdle(LONG count);

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppName = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = 0;
    MSG m_msgCur{};

protected:
    // A library's application is constructed before its module state exists;
    // with a null state it stays unregistered until AfxBindModuleApp.
    CWinApp(LPCWSTR appName, AFX_MODULE_STATE* state);

private:
    friend void AfxBindModuleApp(AFX_MODULE_STATE* state, CWinApp* app);
    AFX_MODULE_STATE* m_moduleState;  // where it registered itself
};

// Makes `app` the application of `state`; a null app unbinds the state's one.
void AfxBindModuleApp(AFX_MODULE_STATE* state, CWinApp* app);

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
BOOL AfxWinInit(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
void AfxWinTerm();
// One message through PreTranslateMessage and DispatchMessage; FALSE at WM_QUIT.
BOOL AfxPumpMessage();
// PreTranslateMessage of the target window and its ancestors (or of the application).
BOOL AfxPreTranslateMessage(MSG* msg);
// A window class with these attributes under the current module; the same
// arguments give the same class. The name stays valid for the process's life.
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);

// Extension modules: a library registers itself with the host's MFC.
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, HMODULE handle);
// With `all`, the module's CDynLinkLibrary objects are deleted as well.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module, BOOL all = FALSE);

class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL system = FALSE);
    virtual ~CDynLinkLibrary();
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;
    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
};

// MFC throws exceptions as heap objects that the catcher deletes.
class CException {
public:
    virtual ~CException() = default;
    void Delete() { delete this; }
};
class CMemoryException : public CException {};
[[noreturn]] void AfxThrowMemoryException();

// Temporary wrappers (FromHandle) belong to the thread that asked for them and
// live until its maps are unlocked, its idle time or its end.
void AfxLockTempMaps();
BOOL AfxUnlockTempMaps(BOOL deleteTemporaries = TRUE);
void AfxTermThread(HINSTANCE instance = nullptr);
