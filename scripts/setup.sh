#!/usr/bin/env bash
# Installs what the build, the program and the tests need, from Debian's
# packages, and nothing when all of it is already there. Run as root.
set -euo pipefail

PACKAGES=(
  # native build and core tests
  cmake make ccache g++ pkg-config googletest libgtest-dev libbenchmark-dev libturbojpeg0-dev libjpeg-turbo-progs
  # fuzz targets: clang with libFuzzer's runtime
  clang libclang-rt-14-dev
  # Windows cross build
  g++-mingw-w64-x86-64-posix mingw-w64-tools libwine-dev
  # running under Wine on a virtual display
  wine wine64 fonts-wine xvfb xauth x11-utils
  # a display of two monitors: the X server's monitors declared with xrandr
  x11-xserver-utils
  # help file compiler
  fp-utils-3.2.2
  # end-to-end tests: driving, screenshots, pixels, printing to PDF
  xdotool imagemagick python3 python3-pytest zip unzip
  # GIF files: structure and transparency read by tools other than our own
  gifsicle giflib-tools
  # palette bench: an outside quantiser run as a program beside ours
  pngquant
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these packages are missing; run this script as root (or with sudo) once." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "setup: all packages present"
fi
