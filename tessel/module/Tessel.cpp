#include "Tessel.h"

Tessel::Tessel() : CWinApp(nullptr, nullptr) {}

Tessel::~Tessel() = default;

BOOL Tessel::InitInstance() {
    CWinApp::InitInstance();
    m_moduleInstance = AfxGetModuleState()->m_hCurrentInstanceHandle;
    return TRUE;
}

int Tessel::ExitInstance() {
    return CWinApp::ExitInstance();
}

bool Tessel::init() {
    return true;
}

void Tessel::shutdown() {}
void Tessel::destroyWindows() {}
void Tessel::refreshWindows() {}
