#!/usr/bin/env bash
# The gallery's headless tour under valgrind's memcheck: exits non-zero on any
# memory error or leak not in tests/valgrind.supp. Several minutes.
#   scripts/valgrind-tour.sh   (after a debug build of the gallery)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
XDG_CONFIG_HOME=$work/config TESSEL_BACKEND=headless valgrind --error-exitcode=9 \
  --leak-check=full --show-leak-kinds=definite,indirect,possible \
  --errors-for-leak-kinds=definite,indirect,possible --suppressions=tests/valgrind.supp \
  build/debug/examples/gallery/gallery --tour "$work/tour" | tail -2
