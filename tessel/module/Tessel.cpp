#include "Tessel.h"

#include <tessel/access/YBAccessBridge.h>

Tessel::Tessel() : CWinApp(nullptr, nullptr) {}

Tessel::~Tessel() = default;

BOOL Tessel::InitInstance() {
    CWinApp::InitInstance();
    m_moduleInstance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    m_access = YBAccessBridge::startIfWanted();
    return TRUE;
}

int Tessel::ExitInstance() {
    m_access.reset();
    return CWinApp::ExitInstance();
}

bool Tessel::init() {
    return true;
}

void Tessel::shutdown() {}
void Tessel::destroyWindows() {}
void Tessel::refreshWindows() {}
