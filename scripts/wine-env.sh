# Sourced by the run and test scripts: Wine and X settings for running the
# x86_64 Windows build.
export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mshtml=;mscoree="

# Starts a private Xvfb on a free display and exports DISPLAY; the server is
# stopped when the calling shell exits.
start_private_xvfb() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    HX_XVFB_PID=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    trap 'kill $HX_XVFB_PID 2>/dev/null' EXIT
    return 0
  done
  echo "no free X display" >&2
  return 1
}

# Creates a fresh Wine prefix in $1 and exports WINEPREFIX.
make_wine_prefix() {
  export WINEPREFIX="$1"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wine64 wineboot -i >/dev/null 2>&1
  wineserver -w
}
