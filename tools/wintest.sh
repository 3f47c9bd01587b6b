#!/usr/bin/env bash
# Builds the Windows program and its tests for the build that runs here, and runs the Win32 tests under
# Wine on a private display; arguments go to GoogleTest (for example --gtest_filter='Enum*').
# PANEPROBE_TEST_PROGRAM=paneprobe_stress_tests runs the reliability runs instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
source tools/wine-env.sh
arch=$(wine_env_arch)
if [ "$arch" = win32 ]; then toolchain=mingw-i686; else toolchain=mingw-x86_64; fi
cmake -S . -B "build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "build/$arch" -j "$(nproc)"
trap wine_env_stop EXIT
wine_env_start "$root/build/$arch" display
cd "build/$arch/bin"
timeout "${PANEPROBE_TEST_TIMEOUT:-600}" "$(wine_env_loader)" "./${PANEPROBE_TEST_PROGRAM:-paneprobe_win_tests}.exe" "$@"
