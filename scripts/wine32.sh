#!/usr/bin/env bash
# Runs the 32-bit Windows programs (the i686 product) on a machine whose
# kernel cannot execute 32-bit code: 32-bit Wine (package wine32:i386, which
# scripts/setup.sh installs) runs under qemu-user's i386 emulation, which
# binfmt_misc starts for every 32-bit Linux binary. Needs root.
#
#   scripts/wine32.sh on      register the emulation and switch it on; fails
#                             with one line why where that cannot be done
#   scripts/wine32.sh off     switch it off again
#   WINEPREFIX=... scripts/wine32.sh PROGRAM.exe [ARGS...]
#                             runs a program with 32-bit Wine (switch on first)
#
# The switch is machine-wide. While it is on, every new 64-bit prefix
# (wine64 wineboot) also installs its 32-bit half under emulation: about 75 s
# instead of 12 s. Switch it off when the 32-bit runs are done.
#
# Use an ordinary 64-bit prefix (WoW64): 32-bit programs in it run through the
# 32-bit loader. Make it with this script's `wineboot -i`, then
# `wineserver -w` (minutes: its 32-bit half installs under emulation). A pure
# 32-bit prefix (WINEARCH=win32) does not come up completely under emulation:
# every start repeats its set-up and windowed programs end without showing
# anything. Starts take about a minute and programs run at a fraction of
# native speed, so time nothing with it. Set DISPLAY for programs with windows.
set -euo pipefail

binfmt=/proc/sys/fs/binfmt_misc

switch_on() {
  local why=""
  if [ "$(dpkg-query -W -f='${Status}\n' wine32:i386 qemu-user-static 2>/dev/null | grep -c "ok installed")" -ne 2 ]; then
    why="packages wine32:i386 and qemu-user-static are not installed (scripts/setup.sh)"
  elif [ "$(id -u)" -ne 0 ]; then
    why="switching the i386 emulation on needs root"
  elif [ ! -e "$binfmt/register" ] && ! mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    why="no binfmt_misc here (a chroot or container?)"
  elif [ -e "$binfmt/qemu-i386" ]; then
    echo 1 > "$binfmt/qemu-i386" 2>/dev/null || why="binfmt_misc refused to switch qemu-i386 on"
  else
    # i386 ELF executables and shared objects; F: the interpreter is opened
    # now, so it also serves inside chroots and private mount namespaces.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      > "$binfmt/register" 2>/dev/null || why="binfmt_misc refused to register qemu-i386"
  fi
  # The proof: the 32-bit Wine loader runs.
  if [ -z "$why" ] && ! (run_wine --version) >/dev/null 2>&1; then
    why="32-bit Wine does not run under the i386 emulation"
    switch_off
  fi
  [ -z "$why" ] || { echo "$why"; return 1; }
}

switch_off() {
  if [ -e "$binfmt/qemu-i386" ]; then echo 0 > "$binfmt/qemu-i386"; fi
}

run_wine() {
  # Wine maps its shared user data at a fixed address; qemu must reserve the
  # whole 32-bit space up front, or that mapping fails ("failed to map the
  # shared user data").
  export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xffff0000}
  export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mshtml=;mscoree="}
  exec /usr/lib/wine/wine "$@"
}

case "${1:-}" in
  on) switch_on ;;
  off) switch_off ;;
  "") sed -n '2,23p' "$0"; exit 2 ;;
  *) run_wine "$@" ;;
esac
