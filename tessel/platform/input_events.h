// One input event through SendInput, the single entry point of raw input:
// what a display backend, a scripted tour or a test sends for each mouse
// button, wheel notch or key.
//
//   tessel::sendMouseInput(MOUSEEVENTF_LEFTDOWN);
//   tessel::sendMouseInput(MOUSEEVENTF_WHEEL, -120);
//   tessel::sendKeyInput('A', 0x1E, KEYEVENTF_KEYUP);
#pragma once

#include <tessel/platform/win_user.h>

namespace tessel {

// MOUSEEVENTF_ flags at the pointer; `data` is the wheel delta for the wheels.
bool sendMouseInput(DWORD flags, LONG data = 0);
// A virtual key with its scan code, or with KEYEVENTF_UNICODE a character in `scan`.
bool sendKeyInput(WORD vk, WORD scan = 0, DWORD flags = 0);

}  // namespace tessel
