// The module state: which module's application, instance and window
// procedure are current. Below both the application (app.cpp) and the
// windows (wnd.cpp), which each ask it; it names neither: the windows file
// gives the host's state its window procedure as the library loads.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>

#include <tessel/platform/afx_app.h>

namespace {

// m_dwVersion of the host's state: MFC 10.0's version number.
constexpr DWORD kMfcVersion = 0x0A00;

AFX_MODULE_STATE*& currentState() {
    thread_local AFX_MODULE_STATE* current = nullptr;
    return current;
}

}  // namespace

AFX_MODULE_STATE::AFX_MODULE_STATE(BOOL dll, WNDPROC wndProc, DWORD version)
    : m_bDLL(dll), m_pfnAfxWndProc(wndProc), m_dwVersion(version) {}

AFX_MODULE_STATE* AfxGetAppModuleState() {
    static AFX_MODULE_STATE state(FALSE, nullptr, kMfcVersion);
    return &state;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    AFX_MODULE_STATE* current = currentState();
    return current ? current : AfxGetAppModuleState();
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* state) {
    AFX_MODULE_STATE* previous = AfxGetModuleState();
    currentState() = state;
    return previous;
}

HINSTANCE AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}
HINSTANCE AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    wchar_t name[128];
    std::swprintf(name, std::size(name), L"Afx:%p:%x:%p:%p:%p",
                  static_cast<void*>(state->m_hCurrentInstanceHandle), classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background),
                  static_cast<void*>(icon));
    // Class names handed out stay valid: they go into CREATESTRUCTs and logs.
    static std::deque<std::wstring> names;
    auto known = std::find(names.begin(), names.end(), name);
    if (known == names.end()) known = names.insert(names.end(), name);
    WNDCLASSW existing;
    if (!::GetClassInfoW(state->m_hCurrentInstanceHandle, known->c_str(), &existing)) {
        // The class procedure is the default one: CreateEx routes each window
        // through its module's procedure anyway.
        const WNDCLASSW windowClass{
            classStyle, ::DefWindowProcW, 0,          0,       state->m_hCurrentInstanceHandle,
            icon,       cursor,           background, nullptr, known->c_str()};
        if (!::RegisterClassW(&windowClass)) return nullptr;
        state->m_registeredClasses.push_back(*known);
    }
    return known->c_str();
}
