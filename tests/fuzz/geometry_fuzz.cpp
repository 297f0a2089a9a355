// libFuzzer target: window geometry and scroll bars under hostile numbers.
// The input is a program of steps, each an opcode byte and four values; a
// value byte picks an edge case (0, -1, 16-bit limits, 40,000, INT_MAX...)
// or takes the next four bytes as they are. After every step the visible
// bars' thumbs must lie within their tracks.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/testing.h>
#include <tessel/platform/win_user.h>

namespace {

constexpr int kEdgeValues[] = {0,       1,       -1,      7,        100,         500,
                               32767,   32768,   -32768,  -32769,   40000,       24000,
                               65535,   65536,   INT_MAX, INT_MIN,  2000000000,  -2000000000,
                               INT_MAX - 1, INT_MIN + 1, 16384, 16385, 9999999, 5000000};

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    int value() {
        const std::uint8_t pick = byte();
        constexpr std::size_t edges = sizeof kEdgeValues / sizeof kEdgeValues[0];
        if (pick < 0xF0) return kEdgeValues[pick % edges];
        std::uint32_t raw = 0;
        for (int i = 0; i < 4; ++i)
            raw = raw << 8 | byte();
        int result;
        std::memcpy(&result, &raw, sizeof result);
        return result;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

LRESULT CALLBACK paintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        if (HDC dc = BeginPaint(window, &paint)) {
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            EndPaint(window, &paint);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass() {
    static const bool registered = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = paintingProc;
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.lpszClassName = L"GeometryFuzz";
        return RegisterClassW(&c) != 0;
    }();
    if (!registered) std::abort();
}

// A thumb outside its track is the fault this target hunts.
void checkThumb(HWND window, LONG object) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    if (!IsWindow(window) || !GetScrollBarInfo(window, object, &bar)) return;
    if (bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) return;
    const long long length = object == OBJID_VSCROLL
                                 ? static_cast<long long>(bar.rcScrollBar.bottom) - bar.rcScrollBar.top
                                 : static_cast<long long>(bar.rcScrollBar.right) - bar.rcScrollBar.left;
    if (bar.xyThumbTop > bar.xyThumbBottom) std::abort();
    if (bar.xyThumbTop == 0 && bar.xyThumbBottom == 0) return;  // no thumb shows
    if (bar.xyThumbTop < bar.dxyLineButton || bar.xyThumbBottom > length - bar.dxyLineButton)
        std::abort();
}

struct Scene {
    HWND top = nullptr;
    HWND child = nullptr;

    void create(int x, int y, int cx, int cy, DWORD style) {
        destroy();
        top = CreateWindowExW(0, L"GeometryFuzz", L"top", style, x, y, cx, cy, nullptr, nullptr,
                              nullptr, nullptr);
        if (!top) return;
        child = CreateWindowExW(0, L"GeometryFuzz", L"child",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 300, 200,
                                top, nullptr, nullptr, nullptr);
    }
    void destroy() {
        if (top) DestroyWindow(top);
        top = child = nullptr;
    }
    HWND pick(std::uint8_t which) const { return (which & 1) && child ? child : top; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    registerClass();
    Scene scene;
    scene.create(0, 0, 640, 480, WS_POPUP | WS_VISIBLE);
    Input in(data, size);
    for (int steps = 0; !in.empty() && steps < 64; ++steps) {
        const std::uint8_t op = in.byte();
        const std::uint8_t which = in.byte();
        const int a = in.value(), b = in.value(), c = in.value(), d = in.value();
        HWND window = scene.pick(which);
        switch (op % 9) {
        case 0: {
            const DWORD styles[] = {WS_POPUP | WS_VISIBLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                                    WS_POPUP | WS_VISIBLE | WS_THICKFRAME};
            scene.create(a, b, c, d, styles[(which >> 1) % 4]);
            break;
        }
        case 1:
            MoveWindow(window, a, b, c, d, which & 2);
            break;
        case 2:
            SetWindowPos(window, nullptr, a, b, c, d, (which >> 1) & (SWP_NOMOVE | SWP_NOSIZE));
            break;
        case 3: {
            const RECT rect{a, b, c, d};
            InvalidateRect(window, (which & 2) ? nullptr : &rect, which & 4);
            break;
        }
        case 4: {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_ALL | ((which & 2) ? SIF_DISABLENOSCROLL : 0);
            info.nMin = a;
            info.nMax = b;
            info.nPage = static_cast<UINT>(c);
            info.nPos = d;
            SetScrollInfo(window, (which & 4) ? SB_HORZ : SB_VERT, &info, which & 8);
            break;
        }
        case 5:
            ShowScrollBar(window, (which >> 1) % 3, (which & 8) != 0);
            break;
        case 6: {
            // The pointer on a bar: arrows, page areas and the thumb react.
            SetCursorPos(a % 2000, b % 2000);
            tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
            if (which & 2) SetCursorPos(c % 2000, d % 2000);
            tessel::sendMouseInput(MOUSEEVENTF_LEFTUP);
            break;
        }
        case 7:
            tessel::testing::advanceClock(static_cast<unsigned>(a) % 2000);
            break;
        default:
            ShowWindow(window, (which & 2) ? SW_HIDE : SW_SHOW);
            break;
        }
        tessel::testing::pump();
        for (HWND checked : {scene.top, scene.child})
            for (LONG object : {OBJID_VSCROLL, OBJID_HSCROLL})
                checkThumb(checked, object);
    }
    scene.destroy();
    tessel::testing::pump();
    return 0;
}
