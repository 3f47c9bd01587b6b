#!/usr/bin/env bash
# Sourced by ./run, ./test and ./bench: a private Wine prefix, one persistent wineserver and, where needed,
# a private Xvfb display. Everything started here is ended by wine_env_stop (call it from an EXIT trap).

# Which Windows build runs here: win32 where the machine can execute 32-bit programs (the normal case),
# win64 where it cannot (some sandboxed kernels have no 32-bit support).
wine_env_arch() {
  # PANEPROBE_WINE_ARCH=win64 runs the 64-bit build even where 32-bit programs could run.
  if [ -n "${PANEPROBE_WINE_ARCH:-}" ]; then echo "$PANEPROBE_WINE_ARCH"; return; fi
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}

wine_env_loader() {
  if [ "$(wine_env_arch)" = win32 ]; then echo wine; else echo /usr/lib/wine/wine64; fi
}

wine_env_start() { # build folder, "display" to start Xvfb even when DISPLAY is set
  local build="$1"
  # PANEPROBE_DPI gives the run a prefix of its own at that display scale (see wine_env_dpi).
  if [ -n "${PANEPROBE_DPI:-}" ] && [ "$PANEPROBE_DPI" != 96 ]; then
    export WINEPREFIX="$build/wineprefix-dpi$PANEPROBE_DPI"
  else
    export WINEPREFIX="$build/wineprefix"
  fi
  export WINEARCH
  WINEARCH=$(wine_env_arch)
  if [ "$WINEARCH" = win64 ]; then export WINELOADER=/usr/lib/wine/wine64; fi
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
  # wineserver refuses to start in a prefix folder that does not exist yet; wineboot fills it.
  mkdir -p "$WINEPREFIX"
  if [ -z "${DISPLAY:-}" ] || [ "${2:-}" = display ]; then
    # Parallel runs on one machine each start at their own number so that they do not race for one.
    local number=${PANEPROBE_DISPLAY_BASE:-90}
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do number=$((number + 1)); done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    WINE_ENV_XVFB_PID=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${number}" ] && break; sleep 0.1; done
  fi
  # A server left running in this prefix by an interrupted run is simply used again.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix (first run only)..."
  fi
  local loader
  loader=$(wine_env_loader)
  "$loader" wineboot -i >/dev/null 2>&1 </dev/null || true
  # Debian's 64-bit Wine does not find its own Marlett font, so title-bar buttons would show letters.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # A virtual desktop: Wine then draws title bars and manages windows itself, as Windows does, instead of
  # leaving that to an X window manager that a private Xvfb does not have.
  if [ ! -f "$WINEPREFIX/.paneprobe-desktop" ]; then
    "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null || true
    "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1 </dev/null || true
    touch "$WINEPREFIX/.paneprobe-desktop"
    # The desktop process that wineboot started does not read the new setting, and a new font needs a new
    # server too: start afresh, so that the first run in a new prefix behaves like every later one.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 </dev/null
    "$loader" wineboot >/dev/null 2>&1 </dev/null || true
  fi
  # A crash prints its backtrace and ends the process, instead of waiting on a dialog nobody answers until
  # the test's time limit.
  if [ ! -f "$WINEPREFIX/.paneprobe-nocrashdialog" ]; then
    "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
    touch "$WINEPREFIX/.paneprobe-nocrashdialog"
  fi
}

# Wine reads the display scale when its server starts: set it in this prefix, then start the server afresh.
# Each scale has a prefix of its own, so that an interrupted run never leaves the main one scaled.
wine_env_dpi() {
  local dpi="$1" loader
  loader=$(wine_env_loader)
  if [ "$(cat "$WINEPREFIX/.paneprobe-dpi" 2>/dev/null)" = "$dpi" ]; then return; fi
  "$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 </dev/null
  "$loader" wineboot >/dev/null 2>&1 </dev/null || true
  echo "$dpi" >"$WINEPREFIX/.paneprobe-dpi"
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${WINE_ENV_XVFB_PID:-}" ]; then
    kill "$WINE_ENV_XVFB_PID" >/dev/null 2>&1 || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_PID=""
  fi
}
