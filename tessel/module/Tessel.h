// The toolkit module's application object. There is exactly one,
// theTessel; it lives from the loading of the toolkit library to its
// unloading, and every toolkit handler sees it as AfxGetApp().
//
//   if (AfxGetApp() == &theTessel) ...       // inside a toolkit window's handler
//   HINSTANCE module = theTessel.moduleInstance();
#pragma once

#include <memory>

#include <tessel/platform/afx_app.h>

class YBAccessBridge;

class Tessel : public CWinApp {
public:
    // Without a name, and bound to the module's own state when the library loads.
    Tessel();
    ~Tessel() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    bool init();
    void shutdown();
    void destroyWindows();
    void refreshWindows();

    // The module's instance handle; null until InitInstance has run.
    HINSTANCE moduleInstance() const { return m_moduleInstance; }

    // The bridge to the accessibility bus; null while it is off.
    YBAccessBridge* accessBridge() const { return m_access.get(); }

private:
    HINSTANCE m_moduleInstance = nullptr;
    std::unique_ptr<YBAccessBridge> m_access;
};

extern Tessel theTessel;
