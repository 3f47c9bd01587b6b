#!/usr/bin/env bash
# Formats the C++ sources with the repository's .clang-format; "check" only reports the files that are not
# formatted and fails when there are any (./test runs it so).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
[ ${#files[@]} -gt 0 ] || exit 0
if [ "${1:-}" = check ]; then
  unformatted=()
  for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
  done
  if [ ${#unformatted[@]} -gt 0 ]; then
    echo "Not formatted with .clang-format (run tools/format.sh):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
  fi
  echo "All ${#files[@]} C++ files are formatted."
else
  clang-format -i "${files[@]}"
fi
