#include "YBAccessKeys.h"

#include "YBAccessBus.h"
#include "YBAccessWriter.h"

namespace {
YBAccessKeys* theKeys = nullptr;  // see the class's invariant

constexpr const char* kRegistry = "org.a11y.atspi.Registry";
constexpr const char* kController = "/org/a11y/atspi/registry/deviceeventcontroller";
constexpr const char* kControllerInterface = "org.a11y.atspi.DeviceEventController";

// X modifier masks, as listeners match them.
constexpr std::int32_t kShiftMask = 1 << 0;
constexpr std::int32_t kLockMask = 1 << 1;
constexpr std::int32_t kControlMask = 1 << 2;
constexpr std::int32_t kAltMask = 1 << 3;

bool down(int vk) {
    return ::GetKeyState(vk) < 0;
}

struct Named {
    DWORD vk;
    std::uint32_t keysym;
    const char* name;
};

constexpr Named kNamed[] = {
    {VK_BACK, 0xff08, "BackSpace"},
    {VK_TAB, 0xff09, "Tab"},
    {VK_RETURN, 0xff0d, "Return"},
    {VK_PAUSE, 0xff13, "Pause"},
    {VK_ESCAPE, 0xff1b, "Escape"},
    {VK_HOME, 0xff50, "Home"},
    {VK_LEFT, 0xff51, "Left"},
    {VK_UP, 0xff52, "Up"},
    {VK_RIGHT, 0xff53, "Right"},
    {VK_DOWN, 0xff54, "Down"},
    {VK_PRIOR, 0xff55, "Page_Up"},
    {VK_NEXT, 0xff56, "Page_Down"},
    {VK_END, 0xff57, "End"},
    {VK_INSERT, 0xff63, "Insert"},
    {VK_APPS, 0xff67, "Menu"},
    {VK_NUMLOCK, 0xff7f, "Num_Lock"},
    {VK_SCROLL, 0xff14, "Scroll_Lock"},
    {VK_SNAPSHOT, 0xff61, "Print"},
    {VK_SHIFT, 0xffe1, "Shift_L"},
    {VK_CONTROL, 0xffe3, "Control_L"},
    {VK_CAPITAL, 0xffe5, "Caps_Lock"},
    {VK_MENU, 0xffe9, "Alt_L"},
    {VK_LWIN, 0xffeb, "Super_L"},
    {VK_RWIN, 0xffec, "Super_R"},
    {VK_DELETE, 0xffff, "Delete"},
};
}  // namespace

YBAccessKeys::YBAccessKeys(YBAccessBus& bus) : m_bus(bus) {
    if (theKeys) return;
    theKeys = this;
    m_hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, hookProc, nullptr, 0);
}

YBAccessKeys::~YBAccessKeys() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    if (theKeys == this) theKeys = nullptr;
}

YBAccessKeys::Key YBAccessKeys::describe(DWORD vk, bool shift) {
    Key key;
    if (vk == VK_TAB && shift) return Key{0xfe20, "ISO_Left_Tab", false};
    if (vk == VK_SPACE) return Key{0x20, " ", true};
    if (vk >= 'A' && vk <= 'Z') {
        const char c = static_cast<char>(shift ? vk : vk - 'A' + 'a');
        return Key{static_cast<std::uint32_t>(static_cast<unsigned char>(c)), std::string(1, c),
                   true};
    }
    if (vk >= '0' && vk <= '9')
        return Key{static_cast<std::uint32_t>(vk), std::string(1, static_cast<char>(vk)), true};
    // Spelled out by character: GCC 12 misreads "F" + to_string() at -O3.
    if (vk >= VK_F1 && vk <= VK_F12) {
        const auto n = static_cast<char>(vk - VK_F1 + 1);
        return Key{0xffbe + (vk - VK_F1),
                   n < 10 ? std::string{'F', static_cast<char>('0' + n)}
                          : std::string{'F', '1', static_cast<char>('0' + n - 10)},
                   false};
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return Key{0xffb0 + (vk - VK_NUMPAD0),
                   std::string{'K', 'P', '_', static_cast<char>('0' + (vk - VK_NUMPAD0))}, false};
    for (const Named& named : kNamed)
        if (named.vk == vk) return Key{named.keysym, named.name, false};
    return key;
}

LRESULT YBAccessKeys::hookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && theKeys && lParam) {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool released = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        if (theKeys->forward(key, released)) return 1;
    }
    return ::CallNextHookEx(theKeys ? theKeys->m_hook : nullptr, code, wParam, lParam);
}

bool YBAccessKeys::forward(const KBDLLHOOKSTRUCT& key, bool released) {
    const Key described = describe(key.vkCode, down(VK_SHIFT));
    std::int32_t modifiers = 0;
    if (down(VK_SHIFT)) modifiers |= kShiftMask;
    if (::GetKeyState(VK_CAPITAL) & 1) modifiers |= kLockMask;
    if (down(VK_CONTROL)) modifiers |= kControlMask;
    if (down(VK_MENU) || (key.flags & LLKHF_ALTDOWN)) modifiers |= kAltMask;
    YBAccessMessage call(dbus_message_new_method_call(kRegistry, kController, kControllerInterface,
                                                      "NotifyListenersSync"));
    if (!call) return false;
    {
        YBAccessWriter out(call.get());
        YBAccessWriter event(out, DBUS_TYPE_STRUCT, nullptr);
        event.uint32(released ? 1 : 0);  // key released, key pressed
        event.int32(static_cast<std::int32_t>(described.keysym));
        // The X key code of an evdev keyboard: the scan code plus 8.
        event.int32(key.scanCode ? static_cast<std::int32_t>(key.scanCode + 8) : 0);
        event.int32(modifiers);
        event.int32(static_cast<std::int32_t>(key.time));
        event.string(std::string_view(described.text));
        event.boolean(described.isText);
    }
    const YBAccessMessage reply = m_bus.call(std::move(call), replyTimeoutMs);
    dbus_bool_t consumed = FALSE;
    if (!reply || dbus_message_get_type(reply.get()) != DBUS_MESSAGE_TYPE_METHOD_RETURN ||
        !dbus_message_get_args(reply.get(), nullptr, DBUS_TYPE_BOOLEAN, &consumed,
                               DBUS_TYPE_INVALID))
        return false;
    return consumed;
}
