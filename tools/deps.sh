#!/usr/bin/env bash
# Installs what Paneprobe's build, run and tests need on Debian 12, and only what is missing.
# Usage: tools/deps.sh run|test
set -euo pipefail

need=(cmake g++ make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 xvfb imagemagick xdotool)
if [ "${1:-run}" = test ]; then
  need+=(googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev clang-format)
fi

missing=()
for package in "${need[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
