#!/usr/bin/env bash
# End to end: e2e_app under Xvfb with the SDL backend, driven by xdotool as a
# user would drive it, checked by the lines it prints and by screenshots.
# Usage: run_e2e.sh E2E_APP E2E_XTOOL. Exits 77 (skipped) without Xvfb or xdotool.
set -uo pipefail

app=$1
xtool=$2
source "$(dirname "$0")/xvfb_session.sh"

# Which backend: the screen size tells Xvfb's (sdl) from the headless default.
choice() {
  env "$@" "$app" --exit-when-ready 2>"$work/choice.err" | grep -m1 "^ready"
}
[[ $(choice TESSEL_BACKEND=) == "ready 1024x768" ]] || fail "a display did not choose sdl"
[[ $(choice TESSEL_BACKEND=headless) == "ready 1920x1080" ]] || fail "headless not forced"
[[ $(choice TESSEL_BACKEND=bogus) == "ready 1920x1080" ]] || fail "bogus backend not headless"
grep -q "neither headless nor sdl" "$work/choice.err" || fail "no word on a bogus backend"
[[ $(choice TESSEL_BACKEND=sdl DISPLAY=:999) == "ready 1920x1080" ]] || fail "failing sdl not headless"
grep -q "SDL video fails" "$work/choice.err" || fail "no word on a failing sdl"
[[ $(choice TESSEL_BACKEND= DISPLAY=:999) == "ready 1920x1080" ]] || fail "dead display not headless"

TESSEL_BACKEND=sdl "$app" >"$out" 2>"$work/app.err" &
app_pid=$!
expect "ready 1024x768"
expect "left painted"
wid=$(timeout 5 xdotool search --sync --name '^Tessel e2e$' | head -1)
[[ -n $wid ]] || { fail "no native window"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$wid")"  # X, Y: the client area (no window manager)
[[ $WIDTH == 400 && $HEIGHT == 300 ]] || fail "native window is ${WIDTH}x$HEIGHT, not 400x300"

# The children's colours, where the window system put them.
pixel $((X + 30)) $((Y + 30)) ff0000
pixel $((X + 220)) $((Y + 30)) 0000ff
pixel $((X + 10)) $((Y + 200)) 008000

# A click, in the left child's client coordinates, with the class cursor.
xdotool mousemove $((X + 50)) $((Y + 60)) click 1
expect "left WM_MOUSEMOVE 30 40 arrow"
expect "left WM_LBUTTONDOWN 30 40"
expect "left WM_LBUTTONUP 30 40"

# The right child sets IDC_SIZEWE; a double click on it (CS_DBLCLKS). The
# program's clock stands still, so the second click may come as late as it likes.
xdotool mousemove $((X + 250)) $((Y + 80))
expect "right WM_MOUSEMOVE 50 60 sizewe"
xdotool click 1
expect "right WM_LBUTTONDOWN 50 60"
expect "right WM_LBUTTONUP 50 60"
xdotool click 1
expect "right WM_LBUTTONDBLCLK 50 60"
expect "right WM_LBUTTONUP 50 60"

# A drag out of the window: the capturing child still gets it, outside.
xdotool mousemove $((X + 100)) $((Y + 100)) mousedown 1 \
  mousemove $((X + 450)) $((Y + 100)) mousemove $((X + 500)) $((Y + 150)) mouseup 1
expect "left WM_LBUTTONDOWN 80 80"
expect "left WM_MOUSEMOVE 480 130 arrow"
expect "left WM_LBUTTONUP 480 130"

# The wheel, one notch each way.
xdotool mousemove $((X + 50)) $((Y + 60)) click 4 click 5
expect "left WM_MOUSEWHEEL 120"
expect "left WM_MOUSEWHEEL -120"

# Keys: a virtual key with TranslateMessage's character, and text without a key.
xdotool windowfocus --sync "$wid" key a
expect "top WM_KEYDOWN 65 0"
expect "top WM_CHAR 97 0"
xdotool key semicolon
expect "top WM_KEYDOWN 186 0"
expect "top WM_CHAR 59 0"

# Resizing natively: WM_SIZE with the new client size, the new part painted,
# and WM_GETMINMAXINFO's minimum (300x200) kept.
xdotool windowsize "$wid" 500 350
expect "top WM_SIZE 0 500 350"
pixel $((X + 480)) $((Y + 330)) 008000
xdotool windowsize "$wid" 100 100
expect "top WM_SIZE 0 300 200"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[[ $WIDTH == 300 && $HEIGHT == 200 ]] || fail "native window is ${WIDTH}x$HEIGHT, not 300x200"

# The close button: WM_CLOSE, destruction, a clean exit.
"$xtool" close "$wid"
expect "top WM_CLOSE"
expect "top WM_DESTROY"
expect "exit 0"
wait "$app_pid"
status=$?
app_pid=""
[[ $status == 0 ]] || fail "the program exited with $status"

finish "e2e"
