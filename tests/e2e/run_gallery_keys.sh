#!/usr/bin/env bash
# The gallery at a display used from the keyboard alone: under Xvfb with the
# SDL backend, xdotool types Tab, Space, F6, Enter, F8 and the arrows; the
# gallery says each command it receives, and closing it stores the bar the
# keys moved.
# Usage: run_gallery_keys.sh GALLERY E2E_XTOOL. Exits 77 without Xvfb or xdotool.
set -uo pipefail

gallery=$1
xtool=$2
source "$(dirname "$0")/xvfb_session.sh"

open_gallery "$gallery"
expect "gallery: painted" 40
# Keys go to the window with the input focus; the pointer rests on the status line.
xdotool mousemove $((X + 300)) $((Y + HEIGHT - 10))
xdotool windowfocus --sync "$wid"
# Typed at a pace, not all at once: a busy SDL took a release closely
# followed by a press for auto-repeat and lost the release.
keys() { xdotool key --delay 20 "$@"; }

# Tab: the toolbar, then the component host, on its first button; Space clicks it.
keys Tab Tab space
expect "command 601"
# F6: the window controls' first button; three Tabs on is the window button.
keys F6 Tab Tab Tab Return
expect "command 310"
# F8 focuses the bar between the host and the controls (its fill at 643..653);
# two Lefts move it 16 pixels and Enter keeps it. F6 then passes the status
# line (no tab stop) to the toolbar, where Right twice reaches the third button.
pixel $((X + 644)) $((Y + 600)) e4e6ec
keys F8 Left Left Return F6 Right Right Return
expect "command 403"
pixel $((X + 628)) $((Y + 600)) e4e6ec
pixel $((X + 644)) $((Y + 600)) f4f5f8

closed "$wid" "the gallery"
layouts=$XDG_CONFIG_HOME/tessel/layouts
grep -q -E '^windows/gallery-middle=627,[0-9]+$' "$layouts" 2>/dev/null ||
  fail "the middle bar is not stored 16 pixels left of its start: $(cat "$layouts" 2>/dev/null)"
finish "gallery from the keyboard"
