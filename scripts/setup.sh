#!/usr/bin/env bash
# Installs the Debian packages Tessel builds, tests and runs with, then the
# compiler runtime (libFuzzer, sanitizers) matching the clang installed.
# Idempotent and quiet when everything is present; needs root or sudo otherwise.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang pkg-config
  # graphics, text, images, display
  libcairo2-dev libpango1.0-dev libfontconfig-dev libgdk-pixbuf-2.0-dev libpng-dev libsdl2-dev
  fonts-liberation2
  # tests, benchmarks, end-to-end
  googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool x11-apps libx11-dev
  # the accessibility bus: the toolkit speaks D-Bus; the tests read it with libatspi on a bus of their own
  libdbus-1-dev at-spi2-core dbus-daemon libatspi2.0-dev
)

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
updated=false
update() {
  $updated && return 0
  $sudo apt-get update -qq
  updated=true
}

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true) == "install ok installed" ]]
}

# Installs those of the packages given that are missing.
install() {
  local missing=() p
  for p; do
    installed "$p" || missing+=("$p")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  echo "setup: installing ${missing[*]}"
  update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install "${packages[@]}"

# libclang-rt-<major>-dev, where the distribution has one (older clangs ship
# the runtime in a package clang already depends on).
major=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1)
runtime=libclang-rt-$major-dev
if [[ -n $major ]] && ! installed "$runtime"; then
  apt-cache show "$runtime" >/dev/null 2>&1 || update
  if apt-cache show "$runtime" >/dev/null 2>&1; then install "$runtime"; fi
fi
