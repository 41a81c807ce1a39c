#!/usr/bin/env bash
# Times the uninstaller's RemoveEverything on a program folder of 5,000 files
# in 50 folders, with the progress window up, against a plain loop of
# DeleteFileW over the same files, under wine64 on a private Xvfb, and
# prints the ratio. HX_BUILD_DIR chooses the build folder (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${HX_BUILD_DIR:-$root/build}"
HX_BUILD_DIR="$build" "$root/scripts/build.sh" win64
source "$root/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] || start_private_xvfb
[ -n "${WINEPREFIX:-}" ] || make_wine_prefix "$(mktemp -d /tmp/hx-bench-XXXXXX)"
wine64 "$build/win64/tests/e2e/e2e_tests.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='UnwinderBench.*' | grep -E 'ratio|OK|FAILED'
