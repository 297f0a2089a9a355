#!/usr/bin/env bash
# The gallery at a display: it opens interactively under Xvfb with the SDL
# backend, a user clicks a panel and an image button, scrolls with the wheel
# and closes the window with the close button.
# Usage: run_gallery_e2e.sh GALLERY E2E_XTOOL. Exits 77 without Xvfb or xdotool.
set -uo pipefail

gallery=$1
xtool=$2
source "$(dirname "$0")/xvfb_session.sh"

cd "$work" || exit 1
"$gallery" >"$out" 2>"$work/app.err" &
app_pid=$!
expect "gallery: on the sdl display; close the window to quit" 40
wid=$(timeout 5 xdotool search --sync --name '^Tessel gallery$' | head -1)
[[ -n $wid ]] || { fail "no native window"; finish "gallery"; }
eval "$(xdotool getwindowgeometry --shell "$wid")"  # X, Y: the client area (no window manager)
# The client area of the 900x600 framed window.
[[ $WIDTH == 892 && $HEIGHT == 569 ]] || fail "native window is ${WIDTH}x$HEIGHT, not 892x569"

# The first panel ("Open", blue) and its command. Each click waits for the
# pointer's hover look to show, so the press lands on a hovered target.
expect "gallery: painted" 40
pixel $((X + 60)) $((Y + 60)) 3478be
xdotool mousemove $((X + 60)) $((Y + 70))
changes $((X + 60)) $((Y + 60)) 3478be
xdotool click 1
expect "command 101"

# The first image button of the scrolling host, then the wheel over the host.
button=$(colour $((X + 30)) $((Y + 226)))
xdotool mousemove $((X + 30)) $((Y + 230))
changes $((X + 30)) $((Y + 226)) "$button"
xdotool click 1
expect "command 1000"
xdotool click 5 click 5

# The close button ends the program.
"$xtool" close "$wid"
for ((i = 0; i < 400; ++i)); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$app_pid" 2>/dev/null; then
  fail "the gallery is still running after the close button"
else
  wait "$app_pid"
  status=$?
  app_pid=""
  [[ $status == 0 ]] || fail "the gallery exited with $status"
fi
[[ ! -d $work/gallery-tour ]] || fail "the gallery played the tour at a display"
finish "gallery"
