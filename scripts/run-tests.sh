#!/usr/bin/env bash
# Every test: the debug suites, the same suites under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the suites that start threads under
# ThreadSanitizer. A fault that only a sanitizer sees fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset debug && cmake --build --preset debug && ctest --preset debug
cmake --preset asan && cmake --build --preset asan && ctest --preset asan
cmake --preset tsan && cmake --build --preset tsan --target tests_foundation tests_components
ctest --preset tsan -L '^(foundation|components)$'
