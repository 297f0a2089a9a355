#include "TesselModuleEntry.h"

#include <cstdio>
#include <new>
#include <vector>

TesselModuleEntry::TesselModuleEntry(CWinApp& app, AFX_MODULE_STATE& state, HINSTANCE instance)
    : m_app(app), m_state(state), m_instance(instance) {
    AFX_MANAGE_STATE(&m_state);
    AfxBindModuleApp(&m_state, &m_app);
    m_loaded = attach();
    if (!m_loaded) {
        // Linux cannot refuse a library from its constructors: the library
        // stays mapped but uninitialised, and says so once.
        AfxBindModuleApp(&m_state, nullptr);
        std::fputs("tessel: the toolkit module failed to initialise\n", stderr);
        return;
    }
    m_hasThreadKey = pthread_key_create(&m_threadKey, &threadDetach) == 0;
}

bool TesselModuleEntry::attach() {
    static wchar_t emptyCommandLine[] = L"";
    if (!AfxWinInit(m_instance, nullptr, emptyCommandLine, 0)) return false;
    if (!m_app.InitInstance()) {
        m_app.ExitInstance();
        AfxWinTerm();
        return false;
    }
    if (!registerExtension()) {
        m_app.ExitInstance();
        AfxWinTerm();
        return false;
    }
    return true;
}

bool TesselModuleEntry::registerExtension() {
    AfxInitExtensionModule(m_extension, m_instance);
    try {
        // The host's library list owns it; AfxTermExtensionModule deletes it.
        if (!new (std::nothrow) CDynLinkLibrary(m_extension)) AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        e->Delete();
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

TesselModuleEntry::~TesselModuleEntry() {
    if (!m_loaded) return;
    AFX_MANAGE_STATE(&m_state);
    destroyWindows();
    // A thread that ends after the library is gone must not call into it.
    if (m_hasThreadKey) pthread_key_delete(m_threadKey);
    m_hasThreadKey = false;
    m_app.ExitInstance();
    AfxLockTempMaps();
    AfxUnlockTempMaps();
    AfxWinTerm();
    AfxTermExtensionModule(m_extension, TRUE);
    AfxBindModuleApp(&m_state, nullptr);
}

void TesselModuleEntry::noteMessage(HWND window, UINT message) {
    if (m_hasThreadKey && !pthread_getspecific(m_threadKey)) pthread_setspecific(m_threadKey, this);
    // Any message, not only the creation: a window subclassed to the wrapper
    // later is known from its first message on.
    if (message == WM_NCDESTROY) {
        m_windows.erase(window);
        m_lastNoted = nullptr;
    } else if (window != m_lastNoted) {  // a window's messages come in runs
        m_windows.insert(window);
        m_lastNoted = window;
    }
}

// Destroying a parent takes its children with it, and a window someone
// subclassed away from the wrapper is not the library's to destroy: each
// is looked at again just before it would be destroyed.
void TesselModuleEntry::destroyWindows() {
    const std::vector<HWND> windows(m_windows.begin(), m_windows.end());
    for (const HWND window : windows) {
        const auto procedure = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
        if (::IsWindow(window) && procedure == m_state.m_pfnAfxWndProc) ::DestroyWindow(window);
    }
    m_windows.clear();
    m_lastNoted = nullptr;
}

void TesselModuleEntry::threadDetach(void* entry) {
    auto* self = static_cast<TesselModuleEntry*>(entry);
    AFX_MANAGE_STATE(&self->m_state);
    AfxLockTempMaps();
    AfxUnlockTempMaps();
    AfxTermThread(self->m_instance);
}
