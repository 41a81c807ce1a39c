#!/usr/bin/env bash
# Installs what is missing, builds the three builds and the release zip, and
# runs every test tier: host unit tests, a short run of the parsers' fuzz
# targets, the same unit tests under wine64, the Win32 adapter tests, the
# end-to-end tests (wine64 on a private Xvfb), the i686 product checks and the
# release's smoke test (its 32-bit programs under 32-bit Wine). Ends with one
# summary line "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
logs="$root/build/test-logs"
"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" || { echo "0 passed, 1 failed"; exit 1; }
mkdir -p "$logs"
# The release zip of this tree (build/release/), which the smoke test runs.
"$root/scripts/release.sh" >"$logs/release.log" 2>&1 ||
  { tail -5 "$logs/release.log"; echo "release zip not built (log: $logs/release.log)"; echo "0 passed, 1 failed"; exit 1; }
source "$root/scripts/wine-env.sh"

start=$(date +%s)
passed=0
failed=0

# Runs one gtest program and adds its counts to the totals. A program that
# hangs is ended after 30 minutes and counts as failed.
run_suite() {
  local name=$1; shift
  local log="$logs/$name.log"
  echo "== $name"
  timeout --kill-after=30 1800 "$@" >"$log" 2>&1
  local status=$?
  [ "$status" -eq 124 ] && echo "   $name did not end within 30 minutes"
  local p f
  p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -1)
  f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | head -1)
  p=${p:-0}; f=${f:-0}
  if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi  # crashed or never ran
  grep -E '^\[  FAILED  \] [A-Za-z]' "$log" | sort -u
  [ "$status" -ne 0 ] && tail -5 "$log"
  echo "   $name: $p passed, $f failed (log: $log)"
  passed=$((passed + p))
  failed=$((failed + f))
}

run_suite host-unit "$root/build/host/tests/unit_tests"

# The parsers' fuzz targets, a few seconds each: a crash or a broken property
# fails the suite.
echo "== fuzz"
if "$root/scripts/fuzz.sh" 5 >"$logs/fuzz.log" 2>&1; then
  passed=$((passed + 1)); result=passed
else
  failed=$((failed + 1)); result=failed
fi
if grep -q '^target ' "$logs/fuzz.log"; then
  sed -n '/^target /,$p' "$logs/fuzz.log" | sed 's/^/   /'
else
  tail -5 "$logs/fuzz.log"
fi
echo "   fuzz: $result (log: $logs/fuzz.log)"

make_wine_prefix "$root/build/wineprefix-tests"
start_private_xvfb || { echo "$passed passed, $((failed + 1)) failed"; exit 1; }
run_suite wine-unit wine64 "$root/build/win64/tests/unit_tests.exe"
[ -f "$root/build/win64/tests/win32/win32_tests.exe" ] &&
  run_suite wine-win32 wine64 "$root/build/win64/tests/win32/win32_tests.exe"
# Under a fixed local zone that is not universal time and keeps daylight
# saving time, whatever the machine's zone: a mix-up of local and universal
# time shows. Tests that need a season, or the other hemisphere's rules,
# start the program under a zone of their own.
TZ=Europe/Berlin run_suite e2e wine64 "$root/build/win64/tests/e2e/e2e_tests.exe"
# The zone clock again where the local zone has minutes in its offset.
wineserver -k 2>/dev/null
TZ=Asia/Kathmandu run_suite e2e-Kathmandu wine64 "$root/build/win64/tests/e2e/e2e_tests.exe" \
  --gtest_filter="ClocksTest.ZoneClock*:ClocksTest.Fresh*"
# A change of the system's time zone while the clock runs. Wine takes the
# zone from /etc/localtime, so the test gets a private one (a mount
# namespace with a copy of UTC bound over it) that it rewrites. Where no
# private mount namespace can be made (inside a chroot), a mount would reach
# the rest of the system, so the test is left out and says so.
wineserver -k 2>/dev/null
if unshare --mount --propagation private true 2>/dev/null; then
  zone_file="$root/build/test-localtime"
  cp -L /usr/share/zoneinfo/Etc/UTC "$zone_file" && touch -d 2000-01-01 "$zone_file"
  HX_TEST_ZONE_FILE="$zone_file" run_suite e2e-zone-change env -u TZ \
    unshare --mount --propagation private sh -c 'mount --bind "$HX_TEST_ZONE_FILE" /etc/localtime && exec "$@"' - \
    wine64 "$root/build/win64/tests/e2e/e2e_tests.exe" --gtest_filter="ClocksTest.SystemZoneChange*"
  wineserver -k 2>/dev/null
else
  echo "== e2e-zone-change: skipped, no private mount namespace here (a chroot?)"
fi

[ -d "$root/build/win64/screenshots" ] && echo "Screenshots: $root/build/win64/screenshots"

# The products: 32-bit GUI programs that import only Windows' own DLLs,
# within their size budget and without the runtime's heavy parts.
echo "== i686 products"
for product in Horavex.KT:HoravexKT Unwinder.KT:UnwinderKT Resource/Updrift:Updrift; do
  exe="$root/build/win32/Horavex.KT/${product%%:*}.exe" map="$root/build/win32/maps/${product##*:}.map"
  if "$root/scripts/check-product.sh" "$exe" "$map"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done

# The release as a user gets it: the zip unpacked, its 32-bit programs started
# under 32-bit Wine on qemu's i386 emulation. Last: while the emulation is on,
# new Wine prefixes take minutes to make. Where 32-bit programs cannot run
# (no binfmt_misc, as in a chroot) it says so and counts neither way.
wineserver -k 2>/dev/null
echo "== release smoke"
# Its waits are bounded; a hang beyond them is ended after 45 minutes.
timeout --kill-after=30 2700 "$root/scripts/smoke-release.sh" >"$logs/smoke-release.log" 2>&1
case $? in
  0) passed=$((passed + 1)) ;;
  77) ;;
  *) failed=$((failed + 1)); tail -5 "$logs/smoke-release.log" | grep -v '^smoke: FAILED' ;;
esac
echo "   $(tail -1 "$logs/smoke-release.log") (log: $logs/smoke-release.log)"

echo "Tests took $(( $(date +%s) - start )) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
