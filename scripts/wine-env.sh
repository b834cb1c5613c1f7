# Sourced by the other scripts: a private Wine prefix inside the build folder
# and, when needed, a virtual display of our own at a fixed size.
#   PIXTREL_BUILD   build root (default <repo>/build); the prefix lives in it
#   PIXTREL_XVFB=1  always use our own Xvfb, even when DISPLAY is set
#   PIXTREL_MONITORS  opt-in: a display of several monitors, as X-screen rectangles WxH+X+Y separated by
#                   commas ("1280x800+0+0,1280x800+1280+0"); the first is the primary (Windows puts its
#                   top-left at 0,0). It gets its own Xvfb and prefix under $PIXTREL_BUILD/monitors.
# Functions: pixtrel_wine_up, pixtrel_wine_down.

PIXTREL_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PIXTREL_BUILD="${PIXTREL_BUILD:-$PIXTREL_REPO/build}"
PIXTREL_SCREEN="${PIXTREL_SCREEN:-1280x800x24}"
# Where the prefix and the Xvfb's pid and number live.
PIXTREL_STATE="$PIXTREL_BUILD"
if [ -n "${PIXTREL_MONITORS:-}" ]; then
  PIXTREL_STATE="$PIXTREL_BUILD/monitors"
  PIXTREL_XVFB=1
fi
export WINEPREFIX="$PIXTREL_STATE/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# Bumped whenever the prefix settings below change, so old prefixes are rebuilt.
PIXTREL_PREFIX_VERSION=2

_pixtrel_wait_for() {  # _pixtrel_wait_for <seconds> <command...>: polls until the command succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

_pixtrel_prefix_ready() {
  [ "$(cat "$WINEPREFIX/.pixtrel-prefix" 2>/dev/null)" = "$PIXTREL_PREFIX_VERSION" ]
}

# The X screen around the monitors of PIXTREL_MONITORS, as WxH.
_pixtrel_monitors_screen() {
  local m w h x y right=0 bottom=0
  for m in ${PIXTREL_MONITORS//,/ }; do
    IFS='x+' read -r w h x y <<< "$m"
    ((x + w > right)) && right=$((x + w))
    ((y + h > bottom)) && bottom=$((y + h))
  done
  echo "${right}x${bottom}"
}

# Splits the Xvfb screen into the monitors of PIXTREL_MONITORS. The server lists them to Xinerama
# clients in this order; the first takes the screen's only output, which makes it the primary.
_pixtrel_declare_monitors() {
  command -v xrandr >/dev/null || { echo "wine: xrandr is missing (x11-xserver-utils)" >&2; return 1; }
  local m w h x y i=0 output=screen
  for m in ${PIXTREL_MONITORS//,/ }; do
    IFS='x+' read -r w h x y <<< "$m"
    # Physical sizes at 96 dpi.
    xrandr --setmonitor "PIXTREL$i" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y" "$output" >/dev/null || return 1
    output=none
    i=$((i + 1))
  done
  xrandr --output screen --primary
  [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: $i" ]
}

# A crashing program ends at once with its exception's code and Wine's one-line report on stderr: the
# default debugger (winedbg --auto) would show a crash dialog nobody closes and hold the test run, and
# an absent Debugger value still starts it. An empty command starts nothing; no dialog if one does start.
_PIXTREL_AEDEBUG='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
_pixtrel_quiet_crashes() {
  wine reg add "$_PIXTREL_AEDEBUG" /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

_pixtrel_crashes_quiet() {  # the prefix's Debugger value is there and empty
  wine reg query "$_PIXTREL_AEDEBUG" /v Debugger 2>/dev/null | tr -d '\r' | grep -qE '^ +Debugger +REG_SZ *$'
}

_pixtrel_make_prefix() {
  echo "wine: creating prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$PIXTREL_STATE"
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
  # Without a window manager, hiding a window blocks for seconds unless Wine manages no windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  _pixtrel_quiet_crashes
  wineserver -w
  if [ -n "${PIXTREL_MONITORS:-}" ]; then
    wine reg import "$PIXTREL_REPO/scripts/wine-monitors.reg" >/dev/null 2>&1
    wineserver -w
  fi
  # Caption glyphs and the classic dialog fonts.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf \
     /usr/share/wine/fonts/ms_sans_serif.ttf "$fonts/" 2>/dev/null || true
  echo "$PIXTREL_PREFIX_VERSION" > "$WINEPREFIX/.pixtrel-prefix"
}

_pixtrel_start_xvfb() {
  local n pid screen="$PIXTREL_SCREEN" options=()
  if [ -n "${PIXTREL_MONITORS:-}" ]; then
    screen="$(_pixtrel_monitors_screen)x24"
    # The server forgets the declared monitors when it resets, which it does when its last client leaves.
    options=(-noreset)
  fi
  for n in $(seq 90 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "$screen" -nolisten tcp "${options[@]}" >/dev/null 2>&1 &
    pid=$!
    # Another Xvfb may have taken the number meanwhile: ours must still be alive.
    if _pixtrel_wait_for 10 xdpyinfo -display ":$n" && kill -0 "$pid" 2>/dev/null; then
      export DISPLAY=":$n"
      echo "$pid" > "$PIXTREL_STATE/xvfb.pid"
      echo "$n" > "$PIXTREL_STATE/xvfb.display"
      echo "${PIXTREL_MONITORS:-}" > "$PIXTREL_STATE/xvfb.monitors"
      if [ -n "${PIXTREL_MONITORS:-}" ] && ! _pixtrel_declare_monitors; then
        echo "wine: could not declare the monitors $PIXTREL_MONITORS" >&2
        pixtrel_wine_down
        return 1
      fi
      return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  echo "wine: no free X display number" >&2
  return 1
}

pixtrel_wine_up() {
  mkdir -p "$PIXTREL_STATE"
  if [ -z "${DISPLAY:-}" ] || [ "${PIXTREL_XVFB:-0}" = 1 ]; then
    # Reuse our own Xvfb of this build folder while it is alive.
    local pid n
    pid=$(cat "$PIXTREL_STATE/xvfb.pid" 2>/dev/null || true)
    n=$(cat "$PIXTREL_STATE/xvfb.display" 2>/dev/null || true)
    if [ -n "$pid" ] && [ -n "$n" ] && kill -0 "$pid" 2>/dev/null && xdpyinfo -display ":$n" >/dev/null 2>&1 &&
       [ "$(cat "$PIXTREL_STATE/xvfb.monitors" 2>/dev/null || true)" = "${PIXTREL_MONITORS:-}" ]; then
      export DISPLAY=":$n"
    else
      # One of another layout goes first, with the prefix's programs that were drawn on it.
      if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then pixtrel_wine_down; fi
      _pixtrel_start_xvfb || return 1
    fi
    export PIXTREL_OWN_DISPLAY=1
  fi
  _pixtrel_prefix_ready || _pixtrel_make_prefix
  # A persistent wineserver makes each program start in a fraction of a second.
  wineserver -p >/dev/null 2>&1 || true
  # Checked at every start, not only when the prefix is made: a prefix whose setting was lost would
  # start a debugger on the next crash.
  if ! _pixtrel_crashes_quiet; then
    _pixtrel_quiet_crashes
    _pixtrel_crashes_quiet || echo "wine: the prefix would still start a debugger when a program crashes" >&2
  fi
  # Start the prefix's services now, detached from the caller's output: a service
  # started by a later program would inherit (and hold open) that program's pipes.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

pixtrel_wine_down() {
  wineserver -k >/dev/null 2>&1 || true   # only this private prefix's processes
  wineserver -w >/dev/null 2>&1 || true
  local pid
  pid=$(cat "$PIXTREL_STATE/xvfb.pid" 2>/dev/null || true)
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    rm -f "$PIXTREL_STATE/xvfb.pid" "$PIXTREL_STATE/xvfb.display" "$PIXTREL_STATE/xvfb.monitors"
  fi
}
