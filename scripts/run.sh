#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine.
# With no DISPLAY it runs on a virtual display of its own and writes a
# screenshot to build/screenshots/start.png; `scripts/run.sh --stop` ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
REPO="$PWD"
export PIXTREL_BUILD="${PIXTREL_BUILD:-$REPO/build}"
source scripts/wine-env.sh

if [ "${1:-}" = "--stop" ]; then
  pixtrel_wine_down
  echo "stopped"
  exit 0
fi

bash scripts/setup.sh
cmake -S . -B "$PIXTREL_BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$PIXTREL_BUILD/win" -j"${PIXTREL_JOBS:-2}" --target Orvo-Pixtrel dist_zip wintool
pixtrel_wine_up

PROGRAM="$PIXTREL_BUILD/win/Orvo-Pixtrel/Orvo-Pixtrel.exe"
echo "starting $PROGRAM on display $DISPLAY"
(cd "$(dirname "$PROGRAM")" && exec wine "$PROGRAM" </dev/null >/dev/null 2>"$PIXTREL_BUILD/program.log") &
pid=$!

if [ "${PIXTREL_OWN_DISPLAY:-0}" = 1 ]; then
  # Headless: wait until the start window is on screen, then photograph it.
  shot="$PIXTREL_BUILD/screenshots/start.png"
  mkdir -p "$(dirname "$shot")"
  until wine "$PIXTREL_BUILD/win/tests/win/wintool.exe" find "Orvo Pixtrel" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "the program ended early; see $PIXTREL_BUILD/program.log"; exit 1; }
    sleep 0.1
  done
  import -display "$DISPLAY" -window root "$shot"
  echo "screenshot: $shot"
  echo "The program keeps running on display $DISPLAY (pid $pid). Stop it with: scripts/run.sh --stop"
else
  wait "$pid"
fi
