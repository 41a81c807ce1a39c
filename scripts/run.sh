#!/usr/bin/env bash
# Installs what is missing, builds everything and starts Horavex.KT under
# Wine: on $DISPLAY when there is one, otherwise on a private Xvfb, where a
# screenshot is saved after a few seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
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
sleep "${HX_RUN_SECONDS:-8}"
shot="$root/build/run/screenshot.png"
import -window root "$shot"
echo "Screenshot saved to $shot"
wineserver -k
wait || true
