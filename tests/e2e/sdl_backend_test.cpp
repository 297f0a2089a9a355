// The SDL backend in process, under SDL's offscreen video driver: what the
// Xvfb run (run_e2e.sh) cannot make a display do, such as input-method text,
// natural scrolling, minimising, a declined close and partial presents.
#include <SDL.h>
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include <tessel/platform/input_events.h>
#include <tessel/platform/wait_sources.h>

#include "message_recorder.h"

namespace {

using namespace recording;
using tessel::testing::pump;
using Ints = std::vector<int>;
constexpr int kFrame = 4, kCaption = 23;  // WS_THICKFRAME and caption insets

SDL_Window* nativeTitled(const char* title) {
    for (Uint32 id = 1; id < 256; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id);
            w && !std::strcmp(SDL_GetWindowTitle(w), title))
            return w;
    return nullptr;
}

// What the low-level hook learns of each key: its virtual key and whether a program sent it.
std::vector<std::pair<DWORD, bool>> g_hookedKeys;
LRESULT CALLBACK recordKey(int code, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    g_hookedKeys.emplace_back(key->vkCode, (key->flags & LLKHF_INJECTED) != 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A framed window with a 300x200 client area at (104, 127) on the screen and
// a child in it; native events pushed for it.
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
        pump();
        native = nativeTitled("Tessel \303\274ber");  // UTF-8
        ASSERT_TRUE(top && child && native);
        id = SDL_GetWindowID(native);
        g_log.clear();
    }
    void push(SDL_Event event) { SDL_PushEvent(&event); }
    void windowEvent(SDL_WindowEventID what, int x = 0, int y = 0) {
        push({.window = {SDL_WINDOWEVENT, 0, id, Uint8(what), 0, 0, 0, x, y}});
        pump();
    }
    void key(Uint32 type, SDL_Keycode sym) {
        push({.key = {type, 0, id, 0, 0, 0, 0, {{}, sym, 0, 0}}});
    }
    void text(const char* utf8) {
        SDL_Event e{.text = {SDL_TEXTINPUT, 0, id, {}}};
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        push(e);
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
    const auto place = [&] {
        Ints v(6);  // position, size, least size: SM_CXMINTRACK/SM_CYMINTRACK less the frame
        SDL_GetWindowPosition(native, &v[0], &v[1]);
        SDL_GetWindowSize(native, &v[2], &v[3]);
        SDL_GetWindowMinimumSize(native, &v[4], &v[5]);
        return v;
    };
    EXPECT_EQ(place(), (Ints{104, 127, 300, 200, 136 - 2 * kFrame, 39 - 2 * kFrame - kCaption}));
    MoveWindow(top, 50, 60, 400 + 2 * kFrame, 250 + 2 * kFrame + kCaption, TRUE);
    SetWindowTextW(top, L"Renamed \u2713");
    EXPECT_STREQ(SDL_GetWindowTitle(native), "Renamed \xe2\x9c\x93");
    EXPECT_EQ(place(), (Ints{54, 87, 400, 250, 136 - 2 * kFrame, 39 - 2 * kFrame - kCaption}));
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

// The wheel reaches the window under the pointer, then its parent; precise
// deltas count, and natural scrolling turns the sign.
TEST_F(SdlBackendTest, NativeWheelReachesTheWindowUnderThePointer) {
    push({.motion = {SDL_MOUSEMOTION, 0, id, 0, 0, 20, 30, 0, 0}});  // the child's client (10, 20)
    pump();
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ((Ints{cursor.x, cursor.y}), (Ints{104 + 20, 127 + 30}));
    g_log.clear();
    push({.wheel = {SDL_MOUSEWHEEL, 0, id, 0, 0, 1, SDL_MOUSEWHEEL_NORMAL, 0.0f, 1.0f, 0, 0}});
    push({.wheel = {SDL_MOUSEWHEEL, 0, id, 0, 0, -2, SDL_MOUSEWHEEL_NORMAL, 0.0f, -2.0f, 0, 0}});
    push({.wheel = {SDL_MOUSEWHEEL, 0, id, 0, 0, -2, SDL_MOUSEWHEEL_FLIPPED, 0.0f, -2.0f, 0, 0}});
    pump();
    std::vector<short> deltas;
    for (const WPARAM w : wParams(WM_MOUSEWHEEL))
        deltas.push_back(static_cast<short>(HIWORD(w)));
    EXPECT_SEQ(deltas, {120, 120, -240, -240, 240, 240});
}

TEST_F(SdlBackendTest, NativeKeysAndTextBecomeKeyMessagesAndCharactersTheHookSeesAsTheUsers) {
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(GetFocus(), top);
    const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, recordKey, nullptr, 0);
    g_log.clear();
    key(SDL_KEYDOWN, SDLK_a);
    text("a");  // TranslateMessage makes this one from the key
    key(SDL_KEYUP, SDLK_a);
    key(SDL_KEYDOWN, SDLK_LEFT);
    key(SDL_KEYUP, SDLK_LEFT);
    text("\xc3\xa9\xe2\x82\xac");  // é€ from an input method: no key of their own
    pump();                        // native events enter when the loop asks the display
    tessel::sendKeyInput('B');
    tessel::sendKeyInput('B', 0, KEYEVENTF_KEYUP);
    pump();
    UnhookWindowsHookEx(hook);
    EXPECT_SEQ(wParams(WM_KEYDOWN), {'A', VK_LEFT, 0xE7, 0xE7, 'B'});
    EXPECT_SEQ(wParams(WM_KEYUP), {'A', VK_LEFT, 0xE7, 0xE7, 'B'});
    EXPECT_SEQ(wParams(WM_CHAR), {L'a', 0xE9, 0x20AC, L'b'});
    EXPECT_EQ(calls(WM_KEYDOWN).at(1).lParam >> 24 & 1, 1) << "arrows are extended keys";
    std::vector<std::pair<DWORD, bool>> hooked(8, {VK_PACKET, false});
    hooked[0] = hooked[1] = {'A', false}, hooked[2] = hooked[3] = {VK_LEFT, false};
    hooked.insert(hooked.end(), 2, {'B', true});
    EXPECT_EQ(g_hookedKeys, hooked) << "the user's keys, then the one a program sent";
}

TEST_F(SdlBackendTest, NativeMoveMinimiseAndCloseMapToTheWindowSystem) {
    bool decline = true;
    g_hooks[top] = [&decline](UINT m, WPARAM, LPARAM, LRESULT* result) {
        return m == WM_CLOSE && decline && (*result = 0, true);
    };
    windowEvent(SDL_WINDOWEVENT_MOVED, 300, 200);
    RECT r;
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
    SDL_Surface* frameBuffer = SDL_GetWindowSurface(native);
    Uint32& mark = static_cast<Uint32*>(frameBuffer->pixels)[150 * frameBuffer->pitch / 4 + 150];
    paintWith(child, RGB(255, 0, 0));
    InvalidateRect(child, nullptr, FALSE);
    pump();
    EXPECT_EQ(mark & 0xFFFFFF, 0xFFFFFFu);  // the top level's white surface
    mark = 0x123456;                        // outside the next damage: stays
    const RECT part{0, 0, 5, 5};
    InvalidateRect(child, &part, FALSE);
    pump();
    EXPECT_EQ(mark & 0xFFFFFF, 0x123456u);
    windowEvent(SDL_WINDOWEVENT_EXPOSED);  // the desktop lost the contents: all again
    EXPECT_EQ(mark & 0xFFFFFF, 0xFFFFFFu);
}

// While SDL waits for native events, a descriptor that becomes ready ends the wait.
TEST_F(SdlBackendTest, AReadablePipeWakesTheNativeWait) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const tessel::WaitSourceId watch = tessel::watchDescriptor(ends[0], POLLIN, [&](short) {
        char c = 0;
        EXPECT_EQ(read(ends[0], &c, 1), 1);
        PostMessageW(child, WM_APP, static_cast<WPARAM>(c), 0);
    });
    for (const char c : {'1', '2'}) {
        std::thread writer([&] { EXPECT_EQ(write(ends[1], &c, 1), 1); });
        MSG msg{};
        while (GetMessageW(&msg, nullptr, 0, 0) && msg.message != WM_APP)
            DispatchMessageW(&msg);
        writer.join();
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(c));
    }
    tessel::unwatchDescriptor(watch);
    close(ends[0]), close(ends[1]);
}

}  // namespace

int main(int argc, char** argv) {
    // Windows through SDL on no screen at all; the first window-system call picks the backend.
    setenv("TESSEL_BACKEND", "sdl", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
