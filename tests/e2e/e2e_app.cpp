// The program the end-to-end test drives: a green top-level window (minimum
// client 300x200) with a red child "left" at (20, 20, 180, 140) that captures
// the mouse while pressed and a blue child "right" at (200, 20, 380, 140)
// showing IDC_SIZEWE. It prints "ready <screen width>x<height>" (which tells
// the backend; --exit-when-ready stops there), then one line per message of
// interest: "<window> <message> <values...>", e.g. "left WM_LBUTTONDOWN 30 40".
// Time stands still (the virtual clock), so two presses on one spot are a
// double click however late the second one arrives under load.
#include <array>
#include <cstdio>
#include <cstring>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr DWORD kTopStyle = WS_OVERLAPPEDWINDOW;
constexpr int kLeftId = 1, kRightId = 2;

const char* nameOf(HWND window) {
    const int id = GetDlgCtrlID(window);
    return id == kLeftId ? "left" : id == kRightId ? "right" : "top";
}

const char* cursorName() {
    if (GetCursor() == LoadCursorW(nullptr, IDC_SIZEWE)) return "sizewe";
    return GetCursor() == LoadCursorW(nullptr, IDC_ARROW) ? "arrow" : "other";
}

// The window's outer size for a client area of width x height.
SIZE outerSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, kTopStyle, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

LRESULT CALLBACK childProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const char* name = nameOf(window);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const bool left = GetDlgCtrlID(window) == kLeftId;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            HBRUSH brush = CreateSolidBrush(left ? RGB(255, 0, 0) : RGB(0, 0, 255));
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(window, &ps);
            std::printf("%s painted\n", name);
            return 0;
        }
        case WM_SETCURSOR:
            if (left) break;
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        case WM_MOUSEMOVE:
            std::printf("%s WM_MOUSEMOVE %d %d %s\n", name, x, y, cursorName());
            return 0;
        case WM_LBUTTONDOWN:
            if (left) SetCapture(window);
            std::printf("%s WM_LBUTTONDOWN %d %d\n", name, x, y);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window) ReleaseCapture();
            std::printf("%s WM_LBUTTONUP %d %d\n", name, x, y);
            return 0;
        case WM_LBUTTONDBLCLK:
            std::printf("%s WM_LBUTTONDBLCLK %d %d\n", name, x, y);
            return 0;
        case WM_MOUSEWHEEL:
            std::printf("%s WM_MOUSEWHEEL %d\n", name, GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK topProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETMINMAXINFO: {
            const SIZE least = outerSize(300, 200);
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
            return 0;
        }
        case WM_SIZE:
            std::printf("top WM_SIZE %d %d %d\n", static_cast<int>(wParam), LOWORD(lParam),
                        HIWORD(lParam));
            return 0;
        case WM_KEYDOWN:
        case WM_CHAR:
            std::printf("top %s %d 0\n", message == WM_CHAR ? "WM_CHAR" : "WM_KEYDOWN",
                        static_cast<int>(wParam));
            return 0;
        case WM_CLOSE:
            std::printf("top WM_CLOSE\n");
            break;  // DefWindowProc destroys the window
        case WM_DESTROY:
            std::printf("top WM_DESTROY\n");
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // the driver reads line by line
    tessel::testing::useVirtualClock();
    HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const WNDCLASSW top{0, topProc, 0, 0, nullptr, nullptr, arrow, green, nullptr, L"E2ETop"};
    const WNDCLASSW child{CS_DBLCLKS, childProc, 0,       0,       nullptr,
                          nullptr,    arrow,     nullptr, nullptr, L"E2EChild"};
    if (!RegisterClassW(&top) || !RegisterClassW(&child)) return 1;
    const SIZE size = outerSize(400, 300);
    HWND window = CreateWindowExW(0, L"E2ETop", L"Tessel e2e", kTopStyle, 100, 100, size.cx,
                                  size.cy, nullptr, nullptr, nullptr, nullptr);
    if (!window) return 1;
    for (const auto& [id, x, width] : {std::array{kLeftId, 20, 160}, std::array{kRightId, 200, 180}})
        CreateWindowExW(0, L"E2EChild", L"", WS_CHILD | WS_VISIBLE, x, 20, width, 120, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    std::printf("ready %dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (argc > 1 && std::strcmp(argv[1], "--exit-when-ready") == 0) return 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(green);
    std::printf("exit %d\n", static_cast<int>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
