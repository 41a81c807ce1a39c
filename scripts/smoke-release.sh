#!/usr/bin/env bash
# The release's smoke test: what a user downloads, started as a user starts
# it. Checks build/release/Horavex.KT-<version>.zip against SHA256SUMS,
# unpacks it into a fresh folder and, in a Wine prefix of its own on a private
# Xvfb, under 32-bit Wine on qemu-user's i386 emulation (scripts/wine32.sh):
#   1. starts the 32-bit Horavex.KT.exe: its panels window (TFormClocks) must
#      show and tick, two pictures of its area that differ;
#   2. asks it to close as the uninstaller does (message 1025 to the window
#      of class TFormHoravex): it must end, leaving its panel file with this
#      release's version;
#   3. starts the 32-bit Unwinder.KT.exe with no argument: its language window
#      ("Uninstaller language...", class KT.API.Form) must show; its close box
#      ends the run with nothing removed.
# Every wait is on a condition, each bounded by HX_SMOKE_PATIENCE seconds
# (default 600): under emulation a start takes a minute or more.
#
# Needs the zip (scripts/release.sh), the x86_64 helper window_tool.exe
# (scripts/build.sh win64) and root for the emulation. The prefix is a fresh
# copy of a template made once in build/smoke/ (minutes under emulation) and
# made again when Wine changes; the copy is removed when the test passed. The emulation is switched off again at the end
# unless it was on before, so other Wine prefixes are made at full speed.
#
# Exit status: 0 passed; 1 failed; 77 cannot run here (no binfmt_misc, as in
# a chroot). The last line says which and why.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"

patience=${HX_SMOKE_PATIENCE:-600}
version=$(tr -d '[:space:]' < "$root/VERSION")
release="$root/build/release"
zip="$release/Horavex.KT-$version.zip"
work="$root/build/smoke"
tool="$root/build/win64/tests/helpers/window_tool.exe"
started=$(date +%s)

fail() { echo "smoke: FAILED: $*"; exit 1; }
step() { echo "smoke: $* ($(( $(date +%s) - started )) s)"; }

[ -f "$zip" ] || fail "no $zip (scripts/release.sh makes it)"
[ -f "$tool" ] || fail "no $tool (scripts/build.sh win64 makes it)"
(cd "$release" && sha256sum --quiet -c SHA256SUMS) || fail "$zip does not match SHA256SUMS"

# One smoke test at a time on a machine: the emulation switch is machine-wide.
# It is left as it was found: on, or off and binfmt_misc mounted or not.
exec 9>/tmp/horavex-kt-wine32.lock
flock -w "$patience" 9 || fail "another smoke test held the emulation for $patience s"
binfmt=/proc/sys/fs/binfmt_misc
was_mounted=false was_on=false
[ -e "$binfmt/register" ] && was_mounted=true
grep -qx enabled "$binfmt/qemu-i386" 2>/dev/null && was_on=true
export WINEPREFIX="$work/prefix"
passed=false
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
  # The run's prefix (1.3 GB) is kept only to look into a failure.
  if $passed; then WINEPREFIX="$work/prefix" wineserver -w 2>/dev/null; rm -rf "$work/prefix"; fi
  WINEPREFIX="$work/prefix-template" wineserver -k 2>/dev/null
  $was_on || "$root/scripts/wine32.sh" off
  $was_mounted || umount "$binfmt" 2>/dev/null
  [ -n "${HX_XVFB_PID:-}" ] && kill "$HX_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 1' TERM INT
if ! why=$("$root/scripts/wine32.sh" on); then
  echo "smoke: skipped, 32-bit programs cannot run here: $why"
  exit 77
fi
start_private_xvfb
xvfb=$?
trap cleanup EXIT  # start_private_xvfb set its own
[ "$xvfb" -eq 0 ] || fail "no Xvfb"

# The prefix: a copy of the template, which is made again for another Wine.
template="$work/prefix-template"
wine_version=$(dpkg-query -W -f='${Package} ${Version}\n' wine64 wine32:i386)
if [ "$(cat "$template.made-with" 2>/dev/null)" != "$wine_version" ]; then
  step "making the Wine prefix template (minutes under emulation)"
  rm -rf "$template" "$template.made-with"
  mkdir -p "$template"
  WINEPREFIX="$template" timeout "$((3 * patience))" "$root/scripts/wine32.sh" wineboot -i >"$work/wineboot.log" 2>&1 ||
    fail "wineboot did not make the prefix (log: $work/wineboot.log)"
  WINEPREFIX="$template" wineserver -w
  printf '%s\n' "$wine_version" > "$template.made-with"
fi
rm -rf "$WINEPREFIX" "$work/unpacked"
cp -a --reflink=auto "$template" "$WINEPREFIX"

folder="$work/unpacked/Horavex.KT"
mkdir -p "$work/unpacked"
/usr/bin/python3 -m zipfile -e "$zip" "$work/unpacked" || fail "cannot unpack $zip"
[ -f "$folder/Horavex.KT.exe" ] && [ -f "$folder/Unwinder.KT.exe" ] || fail "the zip holds no Horavex.KT\\ folder"

# Runs the window tool on the prefix; its output on standard output.
window() { wine64 "$tool" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# Waits until the process $1 has ended; its exit status in $ended_with.
wait_for_end() {
  local deadline=$(( $(date +%s) + patience ))
  while kill -0 "$1" 2>/dev/null; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 1
  done
  wait "$1"
  ended_with=$?
}

# 1. The clock shows and ticks. The window's area is black until it has drawn
# itself; the first picture with content is kept, and the test waits for one
# that differs from it (the seconds went on).
step "starting Horavex.KT.exe"
# The update check asks a closed local port instead of the maker's site.
LC_ALL=ru_RU.CP1251 HX_UPDATE_SOURCE=http://127.0.0.1:9/ \
  "$root/scripts/wine32.sh" "$folder/Horavex.KT.exe" >"$work/horavex.log" 2>&1 &
clock=$!
first="$work/clocks-first.png" shot="$work/clocks.png"
rm -f "$first" "$shot"
shown_at="" ticked=false
deadline=$(( $(date +%s) + patience ))
while [ "$(date +%s)" -lt "$deadline" ]; do
  kill -0 "$clock" 2>/dev/null || fail "Horavex.KT.exe ended before its clock ticked (log: $work/horavex.log)"
  if rect=$(window rect TFormClocks); then
    read -r x y w h <<<"$rect"
    [ -n "$shown_at" ] || { shown_at=$rect; step "panels window at $x,$y, ${w}x$h"; }
    if [ "$rect" != "$shown_at" ]; then shown_at=$rect; rm -f "$first"; fi  # it moved: start again
    if import -window root -crop "${w}x$h+$x+$y" +repage "$shot" 2>/dev/null &&
       [ "$(convert "$shot" -format '%k' info: 2>/dev/null)" -gt 1 ]; then
      if [ ! -f "$first" ]; then
        mv "$shot" "$first"
      elif [ "$(compare -metric AE "$first" "$shot" null: 2>&1)" != 0 ]; then
        ticked=true
        break
      fi
    fi
  fi
  sleep 0.5
done
$ticked || fail "the panels window did not show and tick within $patience s (pictures: $work)"
step "the clock ticks (pictures: $first, $shot)"

# 2. The uninstaller's close request ends the program, which has written its
# panel file with this release's version.
window post TFormHoravex 1025 || fail "no window of class TFormHoravex to ask to close"
wait_for_end "$clock" || fail "Horavex.KT.exe did not end within $patience s of the close request"
[ "$ended_with" -eq 0 ] || fail "Horavex.KT.exe ended with status $ended_with on the close request"
grep -qxF "ProgramVersion=Horavex.KT $version"$'\r' "$folder/Settings/HXClocks.ini" 2>/dev/null ||
  fail "Settings\\HXClocks.ini does not name Horavex.KT $version"
step "Horavex.KT.exe ended on the close request"

# 3. The uninstaller's language window shows; closing it ends the run and
# leaves the program folder as it was.
step "starting Unwinder.KT.exe"
LC_ALL=ru_RU.CP1251 "$root/scripts/wine32.sh" "$folder/Unwinder.KT.exe" >"$work/unwinder.log" 2>&1 &
unwinder=$!
deadline=$(( $(date +%s) + patience ))
until [ "$(window title KT.API.Form)" = "Uninstaller language..." ]; do
  kill -0 "$unwinder" 2>/dev/null || fail "Unwinder.KT.exe ended before its language window showed (log: $work/unwinder.log)"
  [ "$(date +%s)" -lt "$deadline" ] || fail "no language window of Unwinder.KT.exe within $patience s"
  sleep 0.5
done
import -window root "$work/unwinder-language.png" 2>/dev/null
step "the uninstaller's language window shows ($work/unwinder-language.png)"
window post KT.API.Form 16 || fail "the language window went away before it was closed"  # WM_CLOSE
wait_for_end "$unwinder" || fail "Unwinder.KT.exe did not end within $patience s of closing its language window"
[ "$ended_with" -eq 0 ] || fail "Unwinder.KT.exe ended with status $ended_with"
[ -f "$folder/Horavex.KT.exe" ] && [ -f "$folder/Resource/Uninstall.ini" ] ||
  fail "closing the language window removed files"
step "Unwinder.KT.exe ended when its language window was closed"
passed=true
echo "smoke: passed in $(( $(date +%s) - started )) s"
