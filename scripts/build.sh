#!/usr/bin/env bash
# Builds the three builds: host (portable core and tests), win32 (the i686
# product) and win64 (the x86_64 build that runs under wine64).
# Usage: scripts/build.sh [--program-folder] [host|win32|win64 ...]
#   (default: all three). --program-folder builds only the Windows program
#   folders, without tests and benchmarks.
# HX_BUILD_DIR chooses another build folder (default: build/ in the source tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
build_targets=()
if [ "${1:-}" = --program-folder ]; then
  build_targets=(--target program_folder)
  shift
fi

configure_and_build() {
  local name=$1; shift
  local dir="${HX_BUILD_DIR:-$root/build}/$name"
  # CMake keeps the compilers it first found: a build folder configured with
  # other options or another toolchain file starts afresh.
  local stamp="$dir/configured-with" wanted
  wanted=$(echo "$*"; cat "$root"/cmake/*.cmake)
  if [ -f "$dir/CMakeCache.txt" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then rm -rf "$dir"; fi
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -G "Unix Makefiles" "$@" >/dev/null
  printf '%s\n' "$wanted" > "$stamp"
  # Only warnings and errors are shown; a failed build fails the pipeline.
  cmake --build "$dir" -j"$jobs" "${build_targets[@]}" -- --no-print-directory |
    { grep -E "(warning|error):|Error [0-9]" || true; }
}

targets=("$@")
((${#targets[@]})) || targets=(host win32 win64)
for t in "${targets[@]}"; do
  case "$t" in
    host)  configure_and_build host -DCMAKE_BUILD_TYPE=Debug ;;
    win32) configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DHX_TESTS=OFF ;;
    win64) configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" ;;
    *) echo "unknown build: $t" >&2; exit 2 ;;
  esac
done
