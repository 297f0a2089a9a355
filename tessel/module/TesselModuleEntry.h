// Loading and unloading of a library with its own application and module
// state: the constructor is the process attach, the destructor the process
// detach, and a thread that ran the library's window procedure gets the
// thread detach when it ends. The toolkit keeps one, last in its list of
// module-wide objects, so it attaches after they are all constructed and
// detaches before any is destroyed.
//
// Invariant: no window whose procedure is the library's wrapper outlives the
// detach, since its procedure would be unmapped code once the library goes.
//
//   AFX_MODULE_STATE state(TRUE, &wrapper, _MFC_VER);
//   TesselModuleEntry entry(app, state, instance);
//   if (!entry.loaded()) ...
#pragma once

#include <pthread.h>

#include <unordered_set>

#include <tessel/platform/afx_app.h>

class TesselModuleEntry {
public:
    // Initialises the library's state, runs AfxWinInit and InitInstance, then
    // registers the library with the host's MFC. A failure on the way undoes
    // what was done and leaves the library unloaded.
    TesselModuleEntry(CWinApp& app, AFX_MODULE_STATE& state, HINSTANCE instance);
    // With the library's state current: destroys the windows that still enter
    // through the library's wrapper, then ExitInstance and termination.
    ~TesselModuleEntry();
    TesselModuleEntry(const TesselModuleEntry&) = delete;
    TesselModuleEntry& operator=(const TesselModuleEntry&) = delete;

    bool loaded() const { return m_loaded; }
    // Called by the window-procedure wrapper with every message: the thread
    // gets its detach, and the window is known until it is destroyed.
    void noteMessage(HWND window, UINT message);

private:
    bool attach();
    bool registerExtension();
    void destroyWindows();
    static void threadDetach(void* entry);

    CWinApp& m_app;
    AFX_MODULE_STATE& m_state;
    HINSTANCE m_instance;
    AFX_EXTENSION_MODULE m_extension;
    pthread_key_t m_threadKey{};
    bool m_hasThreadKey = false;
    bool m_loaded = false;
    // Windows that entered through the wrapper: the platform has no call that
    // lists every window, so the library keeps its own.
    std::unordered_set<HWND> m_windows;
    HWND m_lastNoted = nullptr;  // in m_windows already
};
