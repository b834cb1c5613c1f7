#!/usr/bin/env bash
# Builds and runs every test layer and ends with a summary:
#   core  native portable logic under AddressSanitizer + UBSan, and the fuzz targets over their seeds
#   win   Win32 classes under Wine (real GDI, GDI+, COM, clipboard)
#   e2e   the real program driven with xdotool on a virtual display (test_monitors.py brings up
#         displays of two monitors of its own, through PIXTREL_MONITORS of scripts/wine-env.sh)
# Usage: scripts/test.sh [core] [win] [e2e]   (default: all three)
# Environment: PIXTREL_BUILD (build root, default ./build), PIXTREL_JOBS (default 2).
set -uo pipefail
cd "$(dirname "$0")/.."
REPO="$PWD"
export PIXTREL_BUILD="${PIXTREL_BUILD:-$REPO/build}"
JOBS="${PIXTREL_JOBS:-2}"
LAYERS=("$@")
((${#LAYERS[@]})) || LAYERS=(core win e2e)
ART="$PIXTREL_BUILD/test-artefacts"
started=$SECONDS

bash scripts/setup.sh || exit 1
rm -rf "$ART" && mkdir -p "$ART"

wants() { [[ " ${LAYERS[*]} " == *" $1 "* ]]; }
failed_steps=()
step() {  # step <name> <command...>: runs a build step, its log kept under the artefacts
  local name=$1; shift
  echo "== $name"
  if ! "$@" > "$ART/$name.log" 2>&1; then
    tail -n 40 "$ART/$name.log"
    echo "!! $name failed (log: $ART/$name.log)"
    failed_steps+=("$name")
    return 1
  fi
}

# The shape of the tree: no include cycle but the annotation pair, the main window and app/'s functions short.
step structure-check /usr/bin/python3 scripts/check_structure.py --self-test

if wants core; then
  step core-configure cmake -S . -B "$PIXTREL_BUILD/native" -DPIXTREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug &&
  step core-build cmake --build "$PIXTREL_BUILD/native" -j"$JOBS" &&
  { echo "== core tests"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$PIXTREL_BUILD/native/tests/core/core_tests" --gtest_output="xml:$ART/core.xml" > "$ART/core.log" 2>&1 ||
      { tail -n 60 "$ART/core.log"; failed_steps+=(core-tests); }; }
  # The fuzz targets (clang, libFuzzer) built and run once over their seed corpora; scripts/fuzz.sh fuzzes.
  step fuzz-configure env CC=clang CXX=clang++ cmake -S . -B "$PIXTREL_BUILD/fuzz" -DPIXTREL_FUZZ=ON \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
  step fuzz-build cmake --build "$PIXTREL_BUILD/fuzz" -j"$JOBS" &&
  { echo "== fuzz seed corpora"
    ctest --test-dir "$PIXTREL_BUILD/fuzz" --output-on-failure --output-junit "$ART/fuzz.xml" > "$ART/fuzz.log" 2>&1 ||
      { tail -n 60 "$ART/fuzz.log"; failed_steps+=(fuzz-seeds); }; }
fi

if wants win || wants e2e; then
  step win-configure cmake -S . -B "$PIXTREL_BUILD/win" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" &&
  step win-build cmake --build "$PIXTREL_BUILD/win" -j"$JOBS"
fi

if (wants win || wants e2e) && [[ ! " ${failed_steps[*]} " == *" win-build "* ]] &&
   [[ ! " ${failed_steps[*]} " == *" win-configure "* ]]; then
  source scripts/wine-env.sh
  export PIXTREL_XVFB=1   # tests always use their own display at a fixed size
  trap pixtrel_wine_down EXIT
  pixtrel_wine_up || { echo "!! Wine environment failed"; exit 1; }
  echo "== display $DISPLAY, prefix $WINEPREFIX"
  # Every run starts at the default 96 dpi, even after an interrupted 144-dpi run.
  wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
  if wants win; then
    echo "== win tests"
    mkdir -p "$ART/win"
    export PIXTREL_ARTEFACTS="Z:${ART//\//\\}\\win"
    # The DPI tests run in processes of their own (below): the main window's tray icon stays up, and the
    # controls' and small windows' scaling is checked at 96 and at 144 dpi.
    (cd "$ART/win" && timeout 1200 wine "$PIXTREL_BUILD/win/tests/win/win_tests.exe" --gtest_output=xml:win.xml \
       --gtest_filter='-MainWindowDpi*:DpiScaling*:MainWindowSkin*:*ExtremeSizes*/1' \
       > "$ART/win.log" 2>&1) || { tail -n 60 "$ART/win.log"; failed_steps+=(win-tests); }
    [ -f "$ART/win/win.xml" ] && mv "$ART/win/win.xml" "$ART/win.xml"
    # The main window in its skin, in a process of its own (its last test unloads the main window).
    echo "== win tests: the main window in its skin"
    (cd "$ART/win" && timeout 300 wine "$PIXTREL_BUILD/win/tests/win/win_tests.exe" --gtest_filter='MainWindowSkin*' \
       --gtest_output=xml:winskin.xml > "$ART/winskin.log" 2>&1) || { tail -n 30 "$ART/winskin.log"; failed_steps+=(win-tests-skin); }
    [ -f "$ART/win/winskin.xml" ] && mv "$ART/win/winskin.xml" "$ART/winskin.xml"
    # The 16,384 x 16,384 picture through every save and adjustment: minutes and about 3 GB, in a process of its own.
    echo "== win tests: the largest picture"
    (cd "$ART/win" && timeout 1800 nice -n 10 wine "$PIXTREL_BUILD/win/tests/win/win_tests.exe" \
       --gtest_filter='*ExtremeSizes*/1' --gtest_output=xml:winlarge.xml > "$ART/winlarge.log" 2>&1) ||
      { tail -n 30 "$ART/winlarge.log"; failed_steps+=(win-tests-largest-picture); }
    [ -f "$ART/win/winlarge.xml" ] && mv "$ART/win/winlarge.xml" "$ART/winlarge.xml"
    # The main window, the controls and the small windows at 100 % and at 150 % (LogPixels 144), then the
    # prefix back at its default.
    for dpi in 96 144; do
      echo "== win tests at $dpi dpi"
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
      (cd "$ART/win" && timeout 300 wine "$PIXTREL_BUILD/win/tests/win/win_tests.exe" --gtest_filter='MainWindowDpi*:DpiScaling*' \
         --gtest_output=xml:win$dpi.xml > "$ART/win$dpi.log" 2>&1) || { tail -n 30 "$ART/win$dpi.log"; failed_steps+=(win-tests-$dpi-dpi); }
      wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
      [ -f "$ART/win/win$dpi.xml" ] && mv "$ART/win/win$dpi.xml" "$ART/win$dpi.xml"
    done
  fi
  if wants e2e; then
    echo "== e2e tests"
    /usr/bin/python3 -m pytest -q -p no:cacheprovider tests/e2e --junitxml="$ART/e2e.xml" > "$ART/e2e.log" 2>&1 ||
      { tail -n 60 "$ART/e2e.log"; failed_steps+=(e2e-tests); }
  fi
fi

echo
/usr/bin/python3 scripts/test_summary.py "$ART" "$((SECONDS - started))" "${failed_steps[@]}"
