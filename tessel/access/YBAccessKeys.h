// Hands every key the window system takes to the accessibility registry's
// device event controller before the application sees it, so that a screen
// reader can claim its own commands: a key a listener consumed is swallowed.
// The registry is asked synchronously with a short time-out; a registry that
// does not answer in time lets the key through.
//
// Invariant: at most one exists at a time (the hook procedure carries no
// context, so it finds the instance through a pointer of this class's own).
//
//   YBAccessKeys keys(bus);   // hooked until destroyed
#pragma once

#include <cstdint>
#include <string>

#include <tessel/platform/win_user.h>

class YBAccessBus;

class YBAccessKeys {
public:
    static constexpr int replyTimeoutMs = 250;

    explicit YBAccessKeys(YBAccessBus& bus);
    ~YBAccessKeys();
    YBAccessKeys(const YBAccessKeys&) = delete;
    YBAccessKeys& operator=(const YBAccessKeys&) = delete;

    bool hooked() const { return m_hook != nullptr; }

    // A key as the protocol names it: X keysym, name or text, whether it types text.
    struct Key {
        std::uint32_t keysym = 0;
        std::string text;
        bool isText = false;
    };
    static Key describe(DWORD vk, bool shift);

private:
    static LRESULT hookProc(int code, WPARAM wParam, LPARAM lParam);
    // True when a listener consumed the key.
    bool forward(const KBDLLHOOKSTRUCT& key, bool released);

    YBAccessBus& m_bus;
    HHOOK m_hook = nullptr;
};
