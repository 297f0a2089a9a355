#!/usr/bin/env bash
# Installs the Debian packages Tessel builds, tests and runs with.
# Idempotent and quiet when everything is present; needs root or sudo otherwise.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang pkg-config libclang-rt-14-dev
  # graphics, text, images, display
  libcairo2-dev libpango1.0-dev libfontconfig-dev libgdk-pixbuf-2.0-dev libsdl2-dev
  fonts-liberation2
  # tests, benchmarks, end-to-end
  googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool x11-apps libx11-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
