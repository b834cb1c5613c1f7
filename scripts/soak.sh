#!/usr/bin/env bash
# Drives the real program under Wine through N rounds of every operation
# (three capture kinds, Save As Bitmap, JPEG and GIF, annotation, adjustments,
# the zoom tool, help and About) and prints its GDI objects, windows and
# private bytes every 100 operations. Not part of the normal test run.
# Usage: scripts/soak.sh [--only KIND] [--every K] [N]   (default 10 rounds; run long soaks with nice -n 19)
#   --only KIND  repeats one operation (capture_screen, save_jpeg, help, ...) N times, counts every 10
#   --every K    samples every K operations instead
set -euo pipefail
cd "$(dirname "$0")/.."
export PIXTREL_BUILD="${PIXTREL_BUILD:-$PWD/build}"
[ -x "$PIXTREL_BUILD/win/Orvo-Pixtrel/Orvo-Pixtrel.exe" ] || [ -f "$PIXTREL_BUILD/win/Orvo-Pixtrel/Orvo-Pixtrel.exe" ] ||
  { echo "build first: bash scripts/test.sh win (or cmake --build $PIXTREL_BUILD/win)"; exit 1; }
source scripts/wine-env.sh
export PIXTREL_XVFB=1
trap pixtrel_wine_down EXIT
pixtrel_wine_up
mkdir -p "$PIXTREL_BUILD/test-artefacts/e2e"
/usr/bin/python3 tests/e2e/soak.py "$@"
