// Every module-wide object of the toolkit library is defined here, in the
// order of construction; the library's loading constructs them top to
// bottom before any host code uses the toolkit, and its unloading destroys
// them bottom to top. A new module-wide object takes its place in this list
// and nowhere else (one translation unit is what fixes the order).

#include <dlfcn.h>

#include <tessel/components/YBComponent.h>
#include <tessel/module/Tessel.h>
#include <tessel/module/TesselModuleEntry.h>
#include <tessel/platform/afx_wnd.h>

namespace {
LRESULT CALLBACK tesselWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

HINSTANCE libraryInstance() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&libraryInstance), &info)) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}
}  // namespace

// 1. The application object.
Tessel theTessel;

// 2. The component registry: before any component can exist, after the last is gone.
kelp::KLList<YBComponent*> YBComponent::m_componentList;

namespace {
// 3. The module's MFC state, with the window-procedure wrapper.
AFX_MODULE_STATE moduleState(TRUE, &tesselWndProc, _MFC_VER);

// Last: attaches once everything above exists, detaches before any of it goes.
TesselModuleEntry moduleEntry(theTessel, moduleState, libraryInstance());

// Every message of a toolkit window runs with the toolkit's state current.
LRESULT CALLBACK tesselWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AFX_MANAGE_STATE(&moduleState);
    moduleEntry.noteMessage(window, message);
    return AfxWndProc(window, message, wParam, lParam);
}
}  // namespace

__attribute__((visibility("hidden"))) AFX_MODULE_STATE* AfxGetStaticModuleState() {
    return &moduleState;
}
