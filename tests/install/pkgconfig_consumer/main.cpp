// A plain Win32-style window that fills itself with a GDI brush, built
// against the installed library through pkg-config: prints the colour it
// finds on its surface.
#include <cstdio>

#include <tessel/tessel.h>

namespace {

constexpr COLORREF kFill = RGB(200, 40, 40);

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBRUSH brush = CreateSolidBrush(kFill);
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    return 0;
}

}  // namespace

int main() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.lpszClassName = L"PkgConfigConsumer";
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window =
        CreateWindowExW(0, L"PkgConfigConsumer", L"pkg-config consumer", WS_POPUP | WS_VISIBLE, 10,
                        10, 64, 48, nullptr, nullptr, nullptr, nullptr);
    if (!window) {
        std::puts("pkg-config consumer: no window");
        return 1;
    }
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF found = GetPixel(dc, 32, 24);
    ReleaseDC(window, dc);
    std::printf("pkg-config consumer: %s display, pixel %06lx\n", tessel::displayBackend(),
                static_cast<unsigned long>(found));
    DestroyWindow(window);
    return found == kFill ? 0 : 1;
}
