// What tests need beyond the Win32 calls: a clock they control, a synchronous
// pump, and a way to save what a window shows.
//
//   tessel::testing::useVirtualClock();
//   SetCursorPos(x, y); SendInput(1, &press, sizeof press);
//   tessel::testing::pump();
#pragma once

#include <tessel/platform/win_user.h>

namespace tessel::testing {

// From now on time stands still until advanceClock moves it.
void useVirtualClock();
// Moves the virtual clock, running each timer as it falls due.
void advanceClock(unsigned milliseconds);
// Dispatches everything pending (posted messages, input, paints, due
// timers) until nothing is left. Returns the number of messages dispatched.
// A queue that never drains (a window invalidating itself in every WM_PAINT,
// a message reposting itself) is a bug in the code under test: after
// kPumpLimit messages in one call, pump names the message and window it was
// about to dispatch on stderr and throws std::runtime_error, so the test fails
// instead of hanging.
inline constexpr int kPumpLimit = 100'000;
int pump();
// A pre-translation step for pump(), as a framework's message loop has one
// (MFC's installs its PreTranslateMessage walk); null removes it.
void setPreTranslate(bool (*preTranslate)(MSG* msg));
// Writes the top-level window's surface (inside its frame) to a PNG file.
bool writePng(HWND topLevel, const char* path);

}  // namespace tessel::testing
