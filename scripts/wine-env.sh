# Sourced by the run and test scripts: Wine and X settings for running the
# x86_64 Windows build.
export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mshtml=;mscoree="

# Starts a private Xvfb and exports DISPLAY and HX_XVFB_PID. The server
# picks a free display itself (-displayfd) and names it once it accepts
# connections, so no other X server's screen is ever used by mistake; a
# server that does not come up within 30 s is an error with its own message.
# The server is stopped when the calling shell exits.
start_private_xvfb() {
  local named log display=""
  named=$(mktemp /tmp/hx-xvfb.XXXXXX)
  log="$named.log"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$named" >"$log" 2>&1 &
  HX_XVFB_PID=$!
  for _ in $(seq 300); do
    display=$(grep -xE '[0-9]+' "$named" 2>/dev/null) && break
    kill -0 "$HX_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$display" ] || ! kill -0 "$HX_XVFB_PID" 2>/dev/null ||
     ! xdpyinfo -display ":$display" >/dev/null 2>&1; then
    echo "Xvfb did not start: $(tail -3 "$log" | tr '\n' ' ')" >&2
    kill "$HX_XVFB_PID" 2>/dev/null
    rm -f "$named" "$log"
    return 1
  fi
  rm -f "$named" "$log"
  export DISPLAY=":$display" HX_XVFB_PID
  trap 'kill $HX_XVFB_PID 2>/dev/null' EXIT
}

# Creates a fresh Wine prefix in $1 and exports WINEPREFIX.
make_wine_prefix() {
  export WINEPREFIX="$1"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine64 wineboot -i >/dev/null 2>&1
  # A crash is reported on standard error, never in a dialog that would wait
  # for a click that no one gives.
  wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
}
