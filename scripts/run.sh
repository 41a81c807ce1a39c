#!/usr/bin/env bash
# Installs what is missing, builds the x86_64 program folder and starts
# Horavex.KT under Wine: on $DISPLAY when there is one; otherwise on a
# private Xvfb, where it saves a screenshot once the clock is on the screen,
# ends the program and returns.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" --program-folder win64
source "$root/scripts/wine-env.sh"

folder="$root/build/run/Horavex.KT"
rm -rf "$folder"
mkdir -p "$(dirname "$folder")"
cp -r "$root/build/win64/Horavex.KT" "$folder"
export WINEPREFIX="${WINEPREFIX:-$root/build/run/wineprefix}"
[ -d "$WINEPREFIX" ] || make_wine_prefix "$WINEPREFIX"

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Horavex.KT from $folder on $DISPLAY"
  exec wine64 "$folder/Horavex.KT.exe"
fi

start_private_xvfb
echo "No display: running on a private Xvfb ($DISPLAY)"
wine64 "$folder/Horavex.KT.exe" &
program=$!
stop() {
  wineserver -k 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  kill "$HX_XVFB_PID" 2>/dev/null || true
}
trap stop EXIT

# The screen stays black until the clock has drawn itself; the picture is
# kept once it has changed again (the seconds went on), which shows a clock
# that is painted and running. Up to a minute.
shot="$root/build/run/screenshot.png"
first="$root/build/run/first-picture.png"
rm -f "$first"
for _ in $(seq 120); do
  kill -0 "$program" 2>/dev/null || { echo "Horavex.KT ended before it showed its window" >&2; exit 1; }
  if import -window root "$shot" 2>/dev/null && [ "$(convert "$shot" -format '%[fx:maxima]' info:)" != 0 ]; then
    if [ ! -f "$first" ]; then
      mv "$shot" "$first"
    elif [ "$(compare -metric AE "$first" "$shot" null: 2>&1 || true)" != 0 ]; then
      rm -f "$first"
      echo "Screenshot saved to $shot"
      exit 0
    fi
  fi
  sleep 0.5
done
echo "The clock did not appear within a minute" >&2
exit 1
