#!/usr/bin/env bash
# Writes the README's pictures (docs/*.png): Paneprobe under Wine on a private display beside real programs
# (Wine's notepad and winemine, and the test target), each of the nine tabs, the About box, the differences
# from a snapshot.
# Usage: tools/screenshots.sh [--dpi 144] [output folder, docs/ by default]
# With --dpi it writes docs/dpiN-*.png instead: the main window at that display scale on a few tabs.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
dpi=96
if [ "${1:-}" = --dpi ]; then dpi="$2"; shift 2; fi
out="${1:-$root/docs}"
tools/deps.sh test >/dev/null

source tools/wine-env.sh
arch=$(wine_env_arch)
if [ "$arch" = win32 ]; then toolchain=mingw-i686; else toolchain=mingw-x86_64; fi
cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "build/$arch" --target Paneprobe PaneprobeTarget -j "$(nproc)" >/dev/null

# A folder and a prefix of their own: the settings file starts fresh and a test run elsewhere is not
# disturbed.
shots="$root/build/$arch/screenshots"
rm -rf "$shots/program"
mkdir -p "$shots/program" "$out"
cp "build/$arch/bin/"{Paneprobe.exe,PaneprobeTarget.exe,WindowMessages.csv,readme.txt,changelog.txt} "$shots/program/"
cp "build/$arch/bin/"PaneprobeHook*.dll "build/$arch/bin/"PaneprobeHelper*.exe "$shots/program/" 2>/dev/null || true
# The main window at a known place, so that the pictures can be cut from the desktop.
left=420 top=300 width=720 height=533
if [ "$dpi" != 96 ]; then
  left=60 top=60 width=$((720 * dpi / 96)) height=$((533 * dpi / 96))
fi
printf '[window]\r\nleft=%d\r\ntop=%d\r\nwidth=%d\r\nheight=%d\r\n' $left $top $width $height \
  >"$shots/program/Paneprobe.ini"

loader=$(wine_env_loader)
pids=()
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine_env_stop
}
trap stop_all EXIT
PANEPROBE_DPI=$dpi wine_env_start "$shots" display
if [ "$dpi" != 96 ]; then wine_env_dpi "$dpi"; fi

start() { "$loader" "$@" >/dev/null 2>&1 </dev/null & pids+=($!); }
key() { xdotool key --clearmodifiers "$@"; sleep 0.6; }
# Cuts the main window (with a margin for its frame) out of the desktop.
shot() {
  local name="$1" x="${2:-$((left - 8))}" y="${3:-$((top - 8))}" w="${4:-$((width + 16))}" h="${5:-$((height + 16))}"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
  echo "wrote $out/$name.png"
}

if [ "$dpi" != 96 ]; then
  # The test target beside the main window, then a few tabs at the scale.
  start "$shots/program/PaneprobeTarget.exe"
  sleep 3
  start "$shots/program/Paneprobe.exe"
  sleep 4
  for tab in 1:tracked 2:placement 5:messages; do
    key "ctrl+${tab%%:*}"
    sleep 1.5
    shot "dpi$dpi-tab-${tab#*:}"
  done
  exit 0
fi

# One after the other, so that each comes up above the one before.
start notepad
sleep 2
start winemine
sleep 2
start "$shots/program/PaneprobeTarget.exe"
sleep 3
start "$shots/program/Paneprobe.exe"
sleep 4

# Follow the pointer onto a window of another program (the target's button), then stop following.
xdotool mousemove 170 165 # the test target's button
key F5
sleep 1
key F5
xdotool mousemove $((left + width / 2)) $((top + height - 40))

tabs=(tracked placement enum branch messages menus properties processes config)
for i in "${!tabs[@]}"; do
  key "ctrl+$((i + 1))"
  # The Branch tab shows its tree when asked: its "Update" button.
  if [ "${tabs[$i]}" = branch ]; then
    xdotool mousemove $((left + 44)) $((top + 78)) click 1
    xdotool mousemove $((left + width / 2)) $((top + height - 40))
  fi
  sleep 1.5
  shot "tab-${tabs[$i]}"
  # The later groups of the Properties tab: the list scrolled to its end.
  if [ "${tabs[$i]}" = properties ]; then
    xdotool mousemove $((left + 200)) $((top + 200)) click 1
    key End
    sleep 1
    shot properties-details
    xdotool mousemove $((left + width / 2)) $((top + height - 40))
  fi
done
key ctrl+1
shot paneprobe 0 0 1280 1024

# A message log of the tracked button while the pointer moves over it.
key ctrl+l
sleep 2
# The log opens over the target: drag it down by its title bar, off the button.
xdotool mousemove 400 93 mousedown 1 mousemove 400 300 mousemove 400 473 mouseup 1
sleep 1
for x in 130 150 170 190 210 190 170; do xdotool mousemove $x 165; sleep 0.2; done
xdotool mousemove $((left + width / 2)) $((top + height - 40))
sleep 1.5
shot message-log 0 0 1280 1024
key alt+F4
sleep 1

key F1
sleep 1
shot about-box $((left - 100)) $((top - 100)) $((width + 200)) $((height + 200))
key Escape
sleep 1

# A comparison with a snapshot: the target's main window saved, changed, then compared.
rm -f "$shots/wineprefix/drive_c/paneprobe-snapshot.txt" # no question whether to replace it
# A target of its own: the first one has ended itself by now.
start "$shots/program/PaneprobeTarget.exe" snap
sleep 3
# A click on Paneprobe's list gives it the keyboard back from the new target.
xdotool mousemove $((left + width / 2)) $((top + height - 40)) click 1
sleep 0.5
xdotool mousemove 170 165
key F5
sleep 1
key F5
xdotool mousemove $((left + width / 2)) $((top + height - 40))
key ctrl+p # the tracked button's parent: the target's main window
key alt+t
key s
sleep 2.5
xdotool type --delay 40 'C:\paneprobe-snapshot.txt'
key Return
sleep 2
# Changed through Paneprobe's own commands: disabled (Enable), then a new caption (Set Window Text).
key ctrl+e
key ctrl+t
sleep 2
xdotool type --delay 40 'Paneprobe Target, renamed'
key Return
sleep 1
sleep 1
key alt+t
key c
sleep 2.5
xdotool type --delay 40 'C:\paneprobe-snapshot.txt'
key Return
sleep 3
shot snapshot-differences 92 92 836 436
key alt+F4
