#!/usr/bin/env bash
# The gallery without a display plays its scripted tour: a screenshot per
# step, and exactly the commands a user's clicks, then keys, would have sent.
# Usage: run_gallery_tour.sh GALLERY
set -uo pipefail

gallery=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

output=$(cd "$work" && TESSEL_BACKEND=headless "$gallery" 2>&1)
status=$?
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
[[ $status == 0 ]] || fail "the tour exited with $status"
expected="commands received: 611 621 1001 301 301 300 300 500 302 310 311 601 310 403"
grep -q -x -- "$expected" <<<"$output" || fail "not '$expected'"
grep -q -x -- "tour written to $work/gallery-tour" <<<"$output" || fail "no line saying where the tour is"
shots=$(find "$work/gallery-tour" -name '*.png' -size +1k | wc -l)
steps=$(grep -c '^step [0-9][0-9]: ' <<<"$output")
[[ $shots == "$steps" && $steps -ge 20 ]] || fail "$shots screenshots for $steps steps"
if ((failures > 0)); then
  echo "--- gallery output"
  echo "$output"
  exit 1
fi
echo "tour: $steps steps, all checks passed"
