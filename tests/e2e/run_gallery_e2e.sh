#!/usr/bin/env bash
# The gallery at a display: it opens interactively under Xvfb with the SDL
# backend; a user clicks a text button, scrolls the component host with the
# wheel, drags the bar between the host and the window controls, and closes
# the window with the close button, which stores both splitters' layouts.
# Usage: run_gallery_e2e.sh GALLERY E2E_XTOOL. Exits 77 without Xvfb or xdotool.
set -uo pipefail

gallery=$1
xtool=$2
source "$(dirname "$0")/xvfb_session.sh"

open_gallery "$gallery"
# The client area of the 1000x700 framed window.
[[ $WIDTH == 992 && $HEIGHT == 669 ]] || fail "native window is ${WIDTH}x$HEIGHT, not 992x669"
expect "gallery: painted" 40

# "Blue 611", the first blue text button: its hover look, then its command.
pixel $((X + 92)) $((Y + 142)) 3478be
xdotool mousemove $((X + 120)) $((Y + 148))
changes $((X + 92)) $((Y + 142)) 3478be
xdotool click 1
expect "command 611"

# Two wheel steps over the host scroll it: the button's place shows something else.
xdotool mousemove $((X + 300)) $((Y + 500))
pixel $((X + 92)) $((Y + 142)) 3478be
xdotool click 5 click 5
changes $((X + 92)) $((Y + 142)) 3478be

# The bar between the host (its line at 645..650) and the window controls,
# dragged 100 pixels to the left: the bar's fill shows there, the controls'
# background where it was.
pixel $((X + 644)) $((Y + 600)) e4e6ec
xdotool mousemove $((X + 648)) $((Y + 600)) mousedown 1
for dx in 25 50 75 100; do xdotool mousemove $((X + 648 - dx)) $((Y + 600)); done
xdotool mouseup 1
pixel $((X + 544)) $((Y + 600)) e4e6ec
pixel $((X + 644)) $((Y + 600)) f4f5f8

# The close button ends the program, and the layout the user left is stored.
closed "$wid" "the gallery"
layouts=$XDG_CONFIG_HOME/tessel/layouts
grep -q -E '^windows/gallery-middle=5[0-9][0-9],[0-9]+$' "$layouts" 2>/dev/null ||
  fail "no middle layout after the drag in $layouts: $(cat "$layouts" 2>/dev/null)"
grep -q -E '^windows/gallery-main=' "$layouts" 2>/dev/null || fail "no main layout in $layouts"
[[ ! -d $work/gallery-tour ]] || fail "the gallery played the tour at a display"
finish "gallery"
