// Internal: the display backends this layer offers; the interface they
// implement is the window system's (user/backend.h).
#pragma once

#include <string>

#include "user/backend.h"

namespace tessel::ws {

// The headless backend: a screen of TESSEL_SCREEN=WxH (default 1920x1080).
Backend* headlessBackend();
// The SDL backend, started on the first call; null when SDL's video cannot
// start, and `failure` then says why.
Backend* sdlBackend(std::string& failure);
// The backend of this process: TESSEL_BACKEND=headless|sdl forces one (an
// unknown value or an sdl that fails says so on stderr and gives headless);
// otherwise sdl when a display is announced and answers, else headless.
Backend* chooseBackend();

}  // namespace tessel::ws
