// Which display the window system shows its windows on, for programs that
// behave differently with and without a person in front of them.
//
//   if (!tessel::hasDisplay()) runScriptedDemo();
#pragma once

namespace tessel {

// "sdl" or "headless" (chosen at start-up; TESSEL_BACKEND=headless|sdl forces one).
const char* displayBackend();
// True when top-level windows appear on a real display.
bool hasDisplay();

}  // namespace tessel
