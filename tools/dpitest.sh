#!/usr/bin/env bash
# Runs the layout checks (DisplayScale*) of the built Win32 tests at 120, 144 and 192 DPI, each scale in a
# prefix of its own; 96 DPI is part of the normal run. Arguments: the build folder (default: the arch that
# runs here), then the scales.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
source tools/wine-env.sh
arch=$(wine_env_arch)
build="$(cd "${1:-$root/build/$arch}" && pwd)"
shift || true
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(120 144 192)
trap wine_env_stop EXIT
display=display
failed=""
for dpi in "${scales[@]}"; do
  # One display for all scales; each scale's server ends before the next one starts.
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  PANEPROBE_DPI=$dpi wine_env_start "$build" $display
  display=""
  wine_env_dpi "$dpi"
  echo "== Layout at $dpi DPI"
  (cd "$build/bin" && PANEPROBE_DPI=$dpi timeout 300 "$(wine_env_loader)" ./paneprobe_win_tests.exe \
    --gtest_filter='DisplayScale*' --gtest_brief=1) || failed="$failed $dpi"
done
if [ -n "$failed" ]; then
  echo "Layout checks failed at:$failed DPI"
  exit 1
fi
