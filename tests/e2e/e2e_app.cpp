// The program run_e2e.sh drives: a green top-level window (least client 300x200),
// a red child "left" at (20, 20, 180, 140) that captures the mouse while pressed,
// a blue child "right" at (200, 20, 380, 140) showing IDC_SIZEWE. It prints
// "ready <screen width>x<height>" (--exit-when-ready stops there), then a line per
// message of interest, e.g. "left WM_LBUTTONDOWN 30 40". The virtual clock stands
// still, so two presses on one spot are a double click however late under load.
#include <array>
#include <cstdio>
#include <cstring>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr DWORD kTopStyle = WS_OVERLAPPEDWINDOW;
constexpr int kLeftId = 1, kRightId = 2;

// The window's outer size for a client area of width x height.
SIZE outerSize(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, kTopStyle, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = GetParent(window) ? GetDlgCtrlID(window) : 0;
    const char* name = id == kLeftId ? "left" : id == kRightId ? "right" : "top";
    const auto say = [&](const char* what, auto... values) {
        std::printf("%s %s", name, what);
        (std::printf(" %d", int(values)), ...);
        std::printf("\n");
    };
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
        case WM_MOUSEMOVE:
            std::printf("%s WM_MOUSEMOVE %d %d %s\n", name, x, y,
                        GetCursor() == LoadCursorW(nullptr, IDC_SIZEWE)  ? "sizewe"
                        : GetCursor() == LoadCursorW(nullptr, IDC_ARROW) ? "arrow"
                                                                         : "other");
            return 0;
        case WM_LBUTTONDOWN:
            if (id == kLeftId) SetCapture(window);
            return say("WM_LBUTTONDOWN", x, y), 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window) ReleaseCapture();
            return say("WM_LBUTTONUP", x, y), 0;
        case WM_LBUTTONDBLCLK:
            return say("WM_LBUTTONDBLCLK", x, y), 0;
        case WM_MOUSEWHEEL:
            return say("WM_MOUSEWHEEL", GET_WHEEL_DELTA_WPARAM(wParam)), 0;
        case WM_SIZE:
            return say("WM_SIZE", wParam, LOWORD(lParam), HIWORD(lParam)), 0;
        case WM_KEYDOWN:
        case WM_CHAR:
            return say(message == WM_CHAR ? "WM_CHAR" : "WM_KEYDOWN", wParam, 0), 0;
        case WM_CLOSE:
            say("WM_CLOSE");
            break;  // DefWindowProc destroys the window
        case WM_DESTROY:
            say("WM_DESTROY");
            if (!id) PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            if (!id) break;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            HBRUSH brush = CreateSolidBrush(id == kLeftId ? RGB(255, 0, 0) : RGB(0, 0, 255));
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(window, &ps);
            return say("painted"), 0;
        }
        case WM_SETCURSOR:
            if (id != kRightId) break;
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        case WM_GETMINMAXINFO: {
            const SIZE least = outerSize(300, 200);
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
            return 0;
        }
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
    const WNDCLASSW e2e{CS_DBLCLKS, windowProc, 0,     0,       nullptr,
                        nullptr,    arrow,      green, nullptr, L"E2E"};
    if (!RegisterClassW(&e2e)) return 1;
    const SIZE size = outerSize(400, 300);
    HWND window = CreateWindowExW(0, L"E2E", L"Tessel e2e", kTopStyle, 100, 100, size.cx, size.cy,
                                  nullptr, nullptr, nullptr, nullptr);
    if (!window) return 1;
    for (const auto [id, x, width] : {std::array{kLeftId, 20, 160}, std::array{kRightId, 200, 180}})
        CreateWindowExW(0, L"E2E", L"", WS_CHILD | WS_VISIBLE, x, 20, width, 120, window,
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
