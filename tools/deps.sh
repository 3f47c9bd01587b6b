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
# A mirror caught mid-sync fails one index now and then; an update that still fails after a retry leaves the
# older indexes in use, and only the install itself decides.
for attempt in 1 2 3; do
  $sudo apt-get update -q && break
  [ "$attempt" = 3 ] || sleep 10
done
$sudo apt-get install -y -q "${missing[@]}" && exit 0

# When the security suite's i386 index is the one that failed, its newer amd64 packages have no i386 twin of
# the same version and wine32 cannot be installed. The release's own suites alone hold matching pairs.
echo "Installing again without the security suite..."
alt=$(mktemp -d)
trap 'rm -rf "$alt"' EXIT
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  if [ -f "$file" ]; then grep -v -- '-security' "$file" >"$alt/$(basename "$file").list" || true; fi
done
for file in /etc/apt/sources.list.d/*.sources; do
  if [ -f "$file" ]; then awk -v RS= -v ORS='\n\n' '!/-security/' "$file" >"$alt/$(basename "$file")"; fi
done
$sudo apt-get install -y -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$alt" "${missing[@]}"
