#!/usr/bin/env bash
# Every test: the debug suites, the same suites under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the suites that start threads under
# ThreadSanitizer. A fault that only a sanitizer sees fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

# One command a line: `set -e` does not stop at a failure inside an && list.
cmake --preset debug
cmake --build --preset debug
ctest --preset debug
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
# With the accessibility suite where libatspi is installed: the bridge's bus
# traffic runs beside the font threads and the collections' locks.
tsan_targets=(tests_foundation tests_components)
tsan_labels='foundation|components'
if pkg-config --exists atspi-2 dbus-1; then
  tsan_targets+=(tests_a11y tests_a11y_bridge)
  tsan_labels+='|a11y'
fi
cmake --preset tsan
cmake --build --preset tsan --target "${tsan_targets[@]}"
ctest --preset tsan -L "^($tsan_labels)\$"
# The README's gallery and benchmark commands build the release preset; a
# warning only the optimiser sees must fail here, not on a user's machine.
cmake --preset release
cmake --build --preset release
