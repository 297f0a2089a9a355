// The SDL backend in process, under SDL's offscreen video driver: native
// events pushed into SDL's queue must come out as the window system's
// messages, and the window system's changes must reach the native windows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include <tessel/platform/gdi.h>
#include <tessel/platform/input_events.h>
#include <tessel/platform/wait_sources.h>

#include "message_recorder.h"

namespace {

using namespace recording;
using tessel::testing::pump;
using Ints = std::vector<int>;

constexpr int kFrame = 4, kCaption = 23;  // WS_THICKFRAME and caption insets

SDL_Window* nativeTitled(const char* title) {
    for (Uint32 id = 1; id < 256; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && std::strcmp(SDL_GetWindowTitle(w), title) == 0) return w;
    }
    return nullptr;
}

Uint32 nativePixel(SDL_Window* native, int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(native);
    return static_cast<const Uint32*>(s->pixels)[y * s->pitch / 4 + x] & 0xFFFFFF;
}

Ints placeOf(SDL_Window* native) {
    int x, y, w, h;
    SDL_GetWindowPosition(native, &x, &y);
    SDL_GetWindowSize(native, &w, &h);
    return {x, y, w, h};
}

Ints leastSizeOf(SDL_Window* native) {
    int w, h;
    SDL_GetWindowMinimumSize(native, &w, &h);
    return {w, h};
}

// The recorder's fixture around a framed window with a 300x200 client area
// at (104, 127) on the screen, a child in it; native events pushed for it.
class SdlBackendTest : public RecorderTest {
protected:
    void SetUp() override {
        tessel::testing::useVirtualClock();
        ASSERT_TRUE(registerRecorder());
        top = CreateWindowExW(0, L"Recorder", L"Tessel \u00fcber", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              100, 100, 300 + 2 * kFrame, 200 + 2 * kFrame + kCaption, nullptr,
                              nullptr, nullptr, nullptr);
        child = CreateWindowExW(0, L"Recorder", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, top,
                                nullptr, nullptr, nullptr);
        ASSERT_TRUE(top && child);
        pump();
        native = nativeTitled("Tessel \303\274ber");  // UTF-8
        ASSERT_TRUE(native);
        id = SDL_GetWindowID(native);
        g_log.clear();
    }
    void windowEvent(SDL_WindowEventID what, int data1 = 0, int data2 = 0) {
        SDL_Event e{};
        e.window = {SDL_WINDOWEVENT, 0, id, static_cast<Uint8>(what), 0, 0, 0, data1, data2};
        SDL_PushEvent(&e);
        pump();
    }
    void mouse(Uint32 type, int x, int y) {
        SDL_Event e{};
        if (type == SDL_MOUSEMOTION)
            e.motion = {type, 0, id, 0, 0, x, y, 0, 0};
        else
            e.button = {type, 0, id, 0, SDL_BUTTON_LEFT, 0, 0, 0, x, y};
        SDL_PushEvent(&e);
    }
    void key(Uint32 type, SDL_Keycode sym) {
        SDL_Event e{};
        e.key.type = type;
        e.key.windowID = id, e.key.keysym.sym = sym;
        SDL_PushEvent(&e);
    }
    void text(const char* utf8) {
        SDL_Event e{};
        e.text.type = SDL_TEXTINPUT;
        e.text.windowID = id;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        SDL_PushEvent(&e);
    }
    static std::vector<WPARAM> wParams(UINT message) {
        std::vector<WPARAM> out;
        for (const Record& r : calls(message))
            out.push_back(r.wParam);
        return out;
    }
    HWND child = nullptr;
    SDL_Window* native = nullptr;
    Uint32 id = 0;
};

TEST_F(SdlBackendTest, NativeWindowFollowsTheTopLevelWindow) {
    EXPECT_EQ(placeOf(native), (Ints{100 + kFrame, 100 + kFrame + kCaption, 300, 200}));
    // SM_CXMINTRACK/SM_CYMINTRACK less the frame
    EXPECT_EQ(leastSizeOf(native), (Ints{136 - 2 * kFrame, 39 - 2 * kFrame - kCaption}));
    SetWindowTextW(top, L"Renamed \u2713");
    EXPECT_STREQ(SDL_GetWindowTitle(native), "Renamed \xe2\x9c\x93");
    MoveWindow(top, 50, 60, 400 + 2 * kFrame, 250 + 2 * kFrame + kCaption, TRUE);
    EXPECT_EQ(placeOf(native), (Ints{50 + kFrame, 60 + kFrame + kCaption, 400, 250}));
    ShowWindow(top, SW_HIDE);
    EXPECT_TRUE(SDL_GetWindowFlags(native) & SDL_WINDOW_HIDDEN);
    ShowWindow(top, SW_SHOW);
    EXPECT_FALSE(SDL_GetWindowFlags(native) & SDL_WINDOW_HIDDEN);
    SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));  // offscreen SDL has no shapes to check
    SetCursor(nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    DestroyWindow(top);
    EXPECT_EQ(nativeTitled("Renamed \xe2\x9c\x93"), nullptr);
}

TEST_F(SdlBackendTest, NativeMouseInputReachesTheWindowUnderIt) {
    mouse(SDL_MOUSEMOTION, 20, 30);  // the child's client (10, 20)
    for (int x : {20, 21}) {         // moved 1 px: still a double click
        mouse(SDL_MOUSEBUTTONDOWN, x, 30);
        mouse(SDL_MOUSEBUTTONUP, x, 30);
    }
    pump();
    EXPECT_SEQ(messagesOf(child), {"WM_MOUSEMOVE", "WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_MOUSEMOVE",
                                   "WM_LBUTTONDBLCLK", "WM_LBUTTONUP"});
    EXPECT_EQ(calls(WM_LBUTTONDOWN).at(0).lParam, MAKELONG(10, 20));
    EXPECT_EQ(calls(WM_LBUTTONDBLCLK).at(0).lParam, MAKELONG(11, 20));
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ((Ints{cursor.x, cursor.y}), (Ints{104 + 21, 127 + 30}));

    // While the child holds the capture, the pointer outside still reaches it.
    g_log.clear();
    tessel::testing::advanceClock(600);
    g_hooks[child] = [this](UINT m, WPARAM, LPARAM, LRESULT*) {
        if (m == WM_LBUTTONDOWN) SetCapture(child);
        if (m == WM_LBUTTONUP) ReleaseCapture();
        return false;
    };
    mouse(SDL_MOUSEBUTTONDOWN, 20, 30);
    mouse(SDL_MOUSEMOTION, 350, 260);
    mouse(SDL_MOUSEBUTTONUP, 350, 260);
    pump();
    EXPECT_EQ(calls(WM_MOUSEMOVE).at(0).window, child);
    EXPECT_EQ(calls(WM_LBUTTONUP).at(0), (Record{child, WM_LBUTTONUP, 0, MAKELONG(340, 250)}));

    mouse(SDL_MOUSEMOTION, 20, 30);
    pump();
    g_log.clear();
    SDL_Event wheel{};
    wheel.wheel = {SDL_MOUSEWHEEL, 0, id, 0, 0, 1, SDL_MOUSEWHEEL_NORMAL, 0.0f, 1.0f, 0, 0};
    SDL_PushEvent(&wheel);
    wheel.wheel.y = -2, wheel.wheel.preciseY = -2.0f;
    SDL_PushEvent(&wheel);
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;  // natural scrolling: the sign turns
    SDL_PushEvent(&wheel);
    pump();
    std::vector<short> deltas;
    for (const WPARAM w : wParams(WM_MOUSEWHEEL))
        deltas.push_back(static_cast<short>(HIWORD(w)));
    EXPECT_SEQ(deltas, {120, 120, -240, -240, 240, 240});  // child, then top
}

TEST_F(SdlBackendTest, NativeKeysAndTextBecomeKeyMessagesAndCharacters) {
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(GetFocus(), top);
    g_log.clear();
    key(SDL_KEYDOWN, SDLK_a);
    text("a");  // TranslateMessage makes this one from the key
    key(SDL_KEYUP, SDLK_a);
    key(SDL_KEYDOWN, SDLK_LEFT);
    key(SDL_KEYUP, SDLK_LEFT);
    text("\xc3\xa9\xe2\x82\xac");  // é€ from an input method: no key of their own
    pump();
    EXPECT_SEQ(wParams(WM_KEYDOWN), {'A', VK_LEFT, 0xE7, 0xE7});
    EXPECT_SEQ(wParams(WM_KEYUP), {'A', VK_LEFT, 0xE7, 0xE7});
    EXPECT_SEQ(wParams(WM_CHAR), {L'a', 0xE9, 0x20AC});
    EXPECT_EQ(calls(WM_KEYDOWN).at(1).lParam >> 24 & 1, 1) << "arrows are extended keys";
}

TEST_F(SdlBackendTest, NativeResizeMoveMinimiseAndCloseMapToTheWindowSystem) {
    bool decline = true;
    g_hooks[top] = [&decline](UINT m, WPARAM, LPARAM l, LRESULT* result) {
        if (m == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {200 + 2 * kFrame,
                                                                150 + 2 * kFrame + kCaption};
        return m == WM_CLOSE && decline && (*result = 0, true);
    };
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 350, 250);
    EXPECT_EQ(calls(WM_SIZE).back().lParam, MAKELONG(350, 250));
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ((Ints{r.right - r.left, r.bottom - r.top}),
              (Ints{350 + 2 * kFrame, 250 + 2 * kFrame + kCaption}));
    EXPECT_EQ(leastSizeOf(native), (Ints{200, 150}));
    windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 50, 400);  // below the tracking minimum
    EXPECT_EQ(calls(WM_SIZE).back().lParam, MAKELONG(200, 400));
    const Ints clamped = placeOf(native);
    EXPECT_EQ((Ints{clamped[2], clamped[3]}), (Ints{200, 400}));
    windowEvent(SDL_WINDOWEVENT_MOVED, 300, 200);
    GetWindowRect(top, &r);
    EXPECT_EQ((Ints{r.left, r.top}), (Ints{300 - kFrame, 200 - kFrame - kCaption}));

    g_log.clear();
    windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    EXPECT_TRUE(IsIconic(top));
    windowEvent(SDL_WINDOWEVENT_RESTORED);
    EXPECT_FALSE(IsIconic(top));
    EXPECT_SEQ(wParams(WM_SIZE), {SIZE_MINIMIZED, SIZE_RESTORED});

    // The close button asks; a window that declines stays, else it is destroyed.
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(IsWindow(top));
    decline = false;
    windowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_SEQ(
        messagesOf(top, {WM_GETMINMAXINFO, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SHOWWINDOW,
                         WM_SIZE, WM_MOVE, WM_NCCALCSIZE, WM_PAINT, WM_NCPAINT, WM_ERASEBKGND,
                         WM_KILLFOCUS, WM_CAPTURECHANGED}),
        {"WM_SYSCOMMAND", "WM_CLOSE", "WM_SYSCOMMAND", "WM_CLOSE", "WM_DESTROY", "WM_NCDESTROY"});
}

TEST_F(SdlBackendTest, OnlyTheDamagedPartIsPresented) {
    paintWith(child, RGB(255, 0, 0));
    InvalidateRect(child, nullptr, FALSE);
    pump();
    EXPECT_EQ(nativePixel(native, 15, 15), 0xFF0000u);
    EXPECT_EQ(nativePixel(native, 150, 150), 0xFFFFFFu);  // the top level's white surface

    // A mark in the native frame buffer outside the next damage stays.
    SDL_Surface* frameBuffer = SDL_GetWindowSurface(native);
    static_cast<Uint32*>(frameBuffer->pixels)[150 * frameBuffer->pitch / 4 + 150] = 0x123456;
    const RECT part{0, 0, 5, 5};
    InvalidateRect(child, &part, FALSE);
    pump();
    EXPECT_EQ(nativePixel(native, 150, 150), 0x123456u);
    windowEvent(SDL_WINDOWEVENT_EXPOSED);  // the desktop lost the contents: all again
    EXPECT_EQ(nativePixel(native, 150, 150), 0xFFFFFFu);
}

// What the low-level hook learns of each key: its virtual key and whether a program sent it.
std::vector<std::pair<DWORD, bool>> g_hookedKeys;
HHOOK g_keyHook = nullptr;
LRESULT CALLBACK recordKey(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    g_hookedKeys.emplace_back(key->vkCode, (key->flags & LLKHF_INJECTED) != 0);
    return CallNextHookEx(g_keyHook, code, wParam, lParam);
}

TEST_F(SdlBackendTest, TheKeyboardHookTellsTheUsersKeysFromInjectedOnes) {
    g_keyHook = SetWindowsHookExW(WH_KEYBOARD_LL, recordKey, nullptr, 0);
    ASSERT_TRUE(g_keyHook);
    SetFocus(child);
    key(SDL_KEYDOWN, SDLK_a);
    key(SDL_KEYUP, SDLK_a);
    pump();  // native events enter when the loop asks the display
    tessel::sendKeyInput('B');
    tessel::sendKeyInput('B', 0, KEYEVENTF_KEYUP);
    pump();
    UnhookWindowsHookEx(g_keyHook);
    const DWORD a = 'A', b = 'B';
    EXPECT_EQ(g_hookedKeys,
              (std::vector<std::pair<DWORD, bool>>{{a, false}, {a, false}, {b, true}, {b, true}}));
    EXPECT_EQ(wParams(WM_KEYDOWN), (std::vector<WPARAM>{'A', 'B'}));
}

// While SDL waits for native events, a descriptor that becomes ready ends the wait.
TEST_F(SdlBackendTest, AReadablePipeWakesTheNativeWait) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    constexpr UINT kArrived = WM_APP + 3;
    const tessel::WaitSourceId watch = tessel::watchDescriptor(ends[0], POLLIN, [&](short) {
        char c = 0;
        EXPECT_EQ(read(ends[0], &c, 1), 1);
        PostMessageW(child, kArrived, static_cast<WPARAM>(c), 0);
    });
    for (const char c : {'1', '2'}) {
        std::thread writer([&] { EXPECT_EQ(write(ends[1], &c, 1), 1); });
        MSG msg{};
        while (GetMessageW(&msg, nullptr, 0, 0) && msg.message != kArrived)
            DispatchMessageW(&msg);
        writer.join();
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(c));
    }
    tessel::unwatchDescriptor(watch);
    close(ends[0]);
    close(ends[1]);
}

}  // namespace

int main(int argc, char** argv) {
    // This program shows its windows through SDL, on no screen at all; the
    // backend is chosen when the first window-system call starts the system.
    setenv("TESSEL_BACKEND", "sdl", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
