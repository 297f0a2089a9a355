#!/usr/bin/env bash
# Installs this build into a prefix of its own, then builds and runs two
# programs against it as users of the installed library would: one through
# the CMake package (find_package(Tessel)), one through pkg-config. Each must
# find its libraries in the prefix and see its own drawing on its window.
#   run_install_test.sh <cmake> <build dir> <lib dir under the prefix> <work dir>
# The consumers are built with $CXX and $CXXFLAGS, CMake's with $CMAKE_GENERATOR.
set -euo pipefail

cmake=$1
build=$2
libdir=$3
work=$4
here=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix

fail() {
  echo "FAIL: $*"
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || fail "install: $(tail -5 "$work/install.log")"
export TESSEL_BACKEND=headless
export LD_LIBRARY_PATH=$prefix/$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}

# A consumer loads every Tessel library from the prefix, runs headless and
# reports the colour it drew.
check_run() {
  local program=$1 name foreign output
  name=$(basename "$program")
  foreign=$(ldd "$program" | awk '/lib(tessel|kelp)/ && index($3, prefix) != 1 { print $1 " => " $3 }' \
    prefix="$prefix/")
  [[ -z $foreign ]] || fail "$name loads from outside the prefix: $foreign"
  output=$("$program") || fail "$name exited with $?: $output"
  echo "$output"
  [[ $output == *": headless display, pixel "* ]] || fail "$name printed no headless pixel"
}

# find_package(Tessel) from the prefix alone: no package registry.
"$cmake" -S "$here/cmake_consumer" -B "$work/cmake_consumer" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF \
  >"$work/cmake_consumer.log" 2>&1 || fail "configure: $(tail -20 "$work/cmake_consumer.log")"
grep -q "^Tessel_DIR:PATH=$prefix/" "$work/cmake_consumer/CMakeCache.txt" ||
  fail "the package was not found in $prefix: $(grep ^Tessel_DIR "$work/cmake_consumer/CMakeCache.txt")"
"$cmake" --build "$work/cmake_consumer" >>"$work/cmake_consumer.log" 2>&1 ||
  fail "build: $(tail -30 "$work/cmake_consumer.log")"
check_run "$work/cmake_consumer/cmake_consumer"

# The README's first application, built and run as its reader would, from the
# files the README shows verbatim.
first=$here/../../examples/first
first_block=$(awk -v first="$(head -1 "$first/first.cpp")" \
  '$0 == first { on = 1 } on && /^```/ { exit } on { print }' "$here/../../README.md")
[[ $first_block == "$(cat "$first/first.cpp")" ]] || fail "the README does not show examples/first/first.cpp as it is"
"$cmake" -S "$first" -B "$work/first" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >"$work/first.log" 2>&1 &&
  "$cmake" --build "$work/first" >>"$work/first.log" 2>&1 || fail "first application: $(tail -30 "$work/first.log")"
output=$("$work/first/first") || fail "the first application exited with $?: $output"
[[ $output == "hello number 1" ]] || fail "the first application printed '$output', not 'hello number 1'"
echo "first application: $output"

# pkg-config with the prefix's tessel.pc, which finds the prefix from its own place.
flags=$(PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig pkg-config --cflags --libs tessel) ||
  fail "pkg-config does not know tessel"
# shellcheck disable=SC2086 # word splitting intended
"${CXX:-c++}" ${CXXFLAGS:-} "$here/pkgconfig_consumer/main.cpp" $flags -o "$work/pkgconfig_consumer" ||
  fail "the pkg-config consumer does not build with: $flags"
check_run "$work/pkgconfig_consumer"
