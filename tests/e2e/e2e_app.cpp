// The program the end-to-end test drives: a top-level window with two child
// windows, reporting on standard output one line per message of interest.
//
//   top       green background; min track size 300x200 (client); WM_SIZE,
//             keys and characters, WM_CLOSE, WM_DESTROY (which quits)
//   left      red child at (20, 20, 180, 140); captures the mouse while pressed
//   right     blue child at (200, 20, 380, 140); shows IDC_SIZEWE
//
// Line format: "<window> <message> <values...>", e.g. "left WM_LBUTTONDOWN 30 40";
// first "ready <screen width>x<screen height>", and with --exit-when-ready
// nothing more: the screen size tells which backend the program got.
// Time stands still (the virtual clock), so two presses on one spot are a
// double click however late the second one arrives under load.
#include <cstdio>
#include <cstring>

#include <tessel/platform/gdi.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr int kClientWidth = 400, kClientHeight = 300;
constexpr int kMinClientWidth = 300, kMinClientHeight = 200;
constexpr DWORD kTopStyle = WS_OVERLAPPEDWINDOW;

constexpr int kLeftId = 1, kRightId = 2;

const char* nameOf(HWND window) {
    switch (GetDlgCtrlID(window)) {
        case kLeftId:
            return "left";
        case kRightId:
            return "right";
        default:
            return "top";
    }
}

void report(HWND window, const char* message, int a, int b) {
    std::printf("%s %s %d %d\n", nameOf(window), message, a, b);
}

const char* cursorName() {
    if (GetCursor() == LoadCursorW(nullptr, IDC_SIZEWE)) return "sizewe";
    if (GetCursor() == LoadCursorW(nullptr, IDC_ARROW)) return "arrow";
    return "other";
}

void fill(HWND window, COLORREF colour) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
}

LRESULT CALLBACK childProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const bool left = GetDlgCtrlID(window) == kLeftId;
    switch (message) {
        case WM_PAINT:
            fill(window, left ? RGB(255, 0, 0) : RGB(0, 0, 255));
            std::printf("%s painted\n", nameOf(window));
            return 0;
        case WM_SETCURSOR:
            if (left) break;
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        case WM_MOUSEMOVE:
            std::printf("%s WM_MOUSEMOVE %d %d %s\n", nameOf(window), x, y, cursorName());
            return 0;
        case WM_LBUTTONDOWN:
            if (left) SetCapture(window);
            report(window, "WM_LBUTTONDOWN", x, y);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window) ReleaseCapture();
            report(window, "WM_LBUTTONUP", x, y);
            return 0;
        case WM_LBUTTONDBLCLK:
            report(window, "WM_LBUTTONDBLCLK", x, y);
            return 0;
        case WM_MOUSEWHEEL:
            std::printf("%s WM_MOUSEWHEEL %d\n", nameOf(window), GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK topProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETMINMAXINFO: {
            RECT r{0, 0, kMinClientWidth, kMinClientHeight};
            AdjustWindowRectEx(&r, kTopStyle, FALSE, 0);
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {r.right - r.left, r.bottom - r.top};
            return 0;
        }
        case WM_SIZE:
            std::printf("top WM_SIZE %d %d %d\n", static_cast<int>(wParam), LOWORD(lParam),
                        HIWORD(lParam));
            return 0;
        case WM_KEYDOWN:
            report(window, "WM_KEYDOWN", static_cast<int>(wParam), 0);
            return 0;
        case WM_CHAR:
            report(window, "WM_CHAR", static_cast<int>(wParam), 0);
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
    const WNDCLASSW top{
        0,     topProc, 0,        0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
        green, nullptr, L"E2ETop"};
    const WNDCLASSW child{
        CS_DBLCLKS, childProc, 0,          0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW),
        nullptr,    nullptr,   L"E2EChild"};
    if (!RegisterClassW(&top) || !RegisterClassW(&child)) return 1;
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, kTopStyle, FALSE, 0);
    HWND window =
        CreateWindowExW(0, L"E2ETop", L"Tessel e2e", kTopStyle, 100, 100, r.right - r.left,
                        r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    if (!window) return 1;
    CreateWindowExW(0, L"E2EChild", L"left", WS_CHILD | WS_VISIBLE, 20, 20, 160, 120, window,
                    reinterpret_cast<HMENU>(kLeftId), nullptr, nullptr);
    CreateWindowExW(0, L"E2EChild", L"right", WS_CHILD | WS_VISIBLE, 200, 20, 180, 120, window,
                    reinterpret_cast<HMENU>(kRightId), nullptr, nullptr);
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
