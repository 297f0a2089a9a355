# Sourced by the e2e drivers: a private Xvfb display (DISPLAY is exported),
# a work directory, clean-up by PID on exit, and the checks `expect` (a line
# the program printed to $out) and `pixel` (a colour on the screen, read
# with $xtool). The driver sets $xtool and starts its program as $app_pid.
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# Under AddressSanitizer the programs record whole allocation stacks: the leak
# suppressions name D-Bus's functions, and the fast unwinder stops inside D-Bus
# (built without frame pointers) before reaching them.
[[ -n ${ASAN_OPTIONS:-} ]] && export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"

work=$(mktemp -d)
# Settings the programs keep (a splitter's layout) stay in the run's own folder.
export XDG_CONFIG_HOME="$work/config"
xvfb_pid=""
app_pid=""
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# A display of our own: Xvfb picks a free number itself and writes it once it
# accepts clients, so parallel runs never share (or race for) a display.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
n=""
for ((i = 0; i < 400; ++i)); do
  n=$(head -1 "$work/display")
  [[ -n $n ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
[[ -n $n ]] || { echo "FAIL: no Xvfb display could start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$n
for ((i = 0; i < 100; ++i)); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done

out=$work/out
seen=0  # lines of $out already matched: each expectation looks further on

# expect REGEX [SECONDS]: waits up to SECONDS (20) for a line after the last
# one matched. The bound is generous: it returns as soon as the line is there.
expect() {
  local line
  for ((i = 0; i < ${2:-20} * 20; ++i)); do
    line=$(tail -n +$((seen + 1)) "$out" | grep -n -m1 -E -x -- "$1")
    if [[ -n $line ]]; then
      seen=$((seen + ${line%%:*}))
      return 0
    fi
    sleep 0.05
  done
  fail "no line '$1' after line $seen"
  return 1
}

# colour X Y: the screen's colour there now, as RRGGBB.
colour() {
  "$xtool" pixel "$1" "$2"
}

# pixel X Y RRGGBB: the screen shows the colour there within 20 s.
pixel() {
  local got=""
  for ((i = 0; i < 400; ++i)); do
    got=$(colour "$1" "$2")
    [[ $got == "$3" ]] && return 0
    sleep 0.05
  done
  fail "pixel ($1, $2) is $got, not $3"
}

# changes X Y RRGGBB: the screen shows another colour there within 20 s
# (the program has redrawn it, e.g. for the pointer over it).
changes() {
  local got=""
  for ((i = 0; i < 400; ++i)); do
    got=$(colour "$1" "$2")
    [[ -n $got && $got != "$3" ]] && return 0
    sleep 0.05
  done
  fail "pixel ($1, $2) stays $3"
}

# open_gallery GALLERY: starts the gallery as $app_pid, waits for its native
# window and sets wid and its client area's X, Y, WIDTH and HEIGHT (no window
# manager: the window is its client). Ends the run when no window shows.
open_gallery() {
  cd "$work" || exit 1
  "$1" >"$out" 2>"$work/app.err" &
  app_pid=$!
  expect "gallery: on the sdl display; close the window to quit" 40
  wid=$(timeout 5 xdotool search --sync --name '^Tessel gallery$' | head -1)
  [[ -n $wid ]] || { fail "no native window"; finish "gallery"; }
  eval "$(xdotool getwindowgeometry --shell "$wid")"
}

# closed WID WHAT: the window's close button ends the program ($app_pid)
# within 20 s, with status 0.
closed() {
  "$xtool" close "$1"
  for ((i = 0; i < 400; ++i)); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$app_pid" 2>/dev/null; then
    fail "$2 is still running after the close button"
    return 1
  fi
  wait "$app_pid"
  local status=$?
  app_pid=""
  [[ $status == 0 ]] || fail "$2 exited with $status"
}

# finish NAME: the verdict; on failure the program's output and errors
# ($work/app.err) are shown.
finish() {
  if ((failures > 0)); then
    echo "--- program output"
    cat "$out"
    echo "--- program errors"
    cat "$work/app.err" 2>/dev/null
    exit 1
  fi
  echo "$1: all checks passed"
}
