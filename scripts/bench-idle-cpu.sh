#!/usr/bin/env bash
# Measures what the running clock program costs while nothing happens, under
# Wine, against two baselines: idle_timer.exe, a minimal window with an idle
# 50 ms timer, and the same with a 1 s timer. All three run side by side on a
# private Xvfb in a fresh Wine prefix; after a start-up pause the user+system
# CPU time of each one's Linux process is read from /proc/<pid>/stat at the
# start and at the end of the measurement window, and the clock's own count
# of timer wake-ups (bench/wine/wake_count.exe) at both ends. Prints lines
# such as
#   idle CPU over 60 s: Horavex.KT 0.12 s, 50 ms timer 0.35 s, 1 s timer 0.05 s
#   ratio to the 50 ms timer 0.34 (target <= 0.5)
#   Horavex.KT wakes 1.00 times a second (target <= 2)
#   private memory after the window: Horavex.KT 3.1 MiB, 50 ms timer 1.2 MiB
# and exits 0 whatever the figures; 1 when a program failed to start or ended
# during the measurement.
#
# Environment:
#   HX_BUILD_DIR        build folder (default: build/ in the source tree)
#   HX_BENCH_SECONDS    measurement window in seconds (default 60)
#   HX_BENCH_WARMUP     start-up pause in seconds (default 5)
#   HX_BENCH_NO_BUILD=1 measure the programs already built, without building
#   HX_BENCH_WORK       folder for the Wine prefix and the program copies
#                       (default: a new folder /tmp/wine-bench.XXXXXX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${HX_BUILD_DIR:-$root/build}"
seconds="${HX_BENCH_SECONDS:-60}"
warmup="${HX_BENCH_WARMUP:-5}"
program_dir="$build/win64/Horavex.KT"
baseline_exe="$build/win64/bench/wine/idle_timer.exe"
wake_count_exe="$build/win64/bench/wine/wake_count.exe"

[ "${HX_BENCH_NO_BUILD:-0}" = 1 ] || HX_BUILD_DIR="$build" "$root/scripts/build.sh" win64
for f in "$program_dir/Horavex.KT.exe" "$baseline_exe" "$wake_count_exe"; do
  [ -f "$f" ] || { echo "missing $f: build win64 first" >&2; exit 1; }
done

source "$root/scripts/wine-env.sh"
work="${HX_BENCH_WORK:-$(mktemp -d /tmp/wine-bench.XXXXXX)}"
mkdir -p "$work"
start_private_xvfb

# Ends this run's Wine processes (only those of its own prefix), its Xvfb and
# removes the copies it made.
cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
  kill "$HX_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work/prefix" "$work/Horavex.KT" "$work/baseline" "$work/slow"
  rmdir "$work" 2>/dev/null || true
}
trap cleanup EXIT

make_wine_prefix "$work/prefix"
cp -r "$program_dir" "$work/Horavex.KT"
mkdir -p "$work/baseline" "$work/slow"
cp "$baseline_exe" "$work/baseline/idle_timer.exe"
cp "$baseline_exe" "$work/slow/idle_timer_1s.exe"

# Wine like a Russian Windows, as the clock program's users have it.
cd "$work"
LC_ALL=ru_RU.CP1251 wine64 "$work/Horavex.KT/Horavex.KT.exe" >/dev/null 2>&1 &
LC_ALL=ru_RU.CP1251 wine64 "$work/baseline/idle_timer.exe" >/dev/null 2>&1 &
LC_ALL=ru_RU.CP1251 wine64 "$work/slow/idle_timer_1s.exe" 1000 >/dev/null 2>&1 &

# Prints the pid of the Linux process that runs the Windows program named $1
# in this run's prefix. Wine shows the program's path (Unix or Windows form)
# as the process's command line.
find_pid() {
  local name=$1 p cmd
  for p in /proc/[0-9]*; do
    cmd=$(head -zn1 "$p/cmdline" 2>/dev/null | tr -d '\0') || continue
    cmd="${cmd%"${cmd##*[! ]}"}"   # Wine pads the command line with spaces
    cmd="${cmd##*[/\\]}"
    [ "${cmd,,}" = "${name,,}" ] || continue
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$p/environ" 2>/dev/null || continue
    echo "${p#/proc/}"
    return 0
  done
  return 1
}

# Waits up to 30 s for the program named $1 to appear; prints its pid.
wait_for_pid() {
  for _ in $(seq 300); do
    find_pid "$1" && return 0
    sleep 0.1
  done
  echo "$1 did not start" >&2
  return 1
}

# User+system CPU time of process $1 in clock ticks, all its threads.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || { echo "process $1 has ended" >&2; return 1; }
  # Field 2, the name in parentheses, may hold spaces: count from after it.
  # utime and stime are fields 14 and 15, the 12th and 13th after it.
  awk '{ print $12 + $13 }' <<<"${stat##*) }"
}

# Private memory of process $1 in KiB.
private_kib() {
  awk '/^Private_(Clean|Dirty):/ { kib += $2 } END { print kib + 0 }' "/proc/$1/smaps_rollup"
}

wake_ups() { wine64 "$wake_count_exe" 2>/dev/null | tr -d '\r'; }

program_pid=$(wait_for_pid Horavex.KT.exe)
baseline_pid=$(wait_for_pid idle_timer.exe)
slow_pid=$(wait_for_pid idle_timer_1s.exe)
sleep "$warmup"

shot="$build/win64/bench/wine/idle-cpu.png"
import -window root "$shot" 2>/dev/null && echo "screenshot after start-up: $shot"

wakes_start=$(wake_ups)
wakes_started=$(date +%s.%N)
program_start=$(cpu_ticks "$program_pid")
baseline_start=$(cpu_ticks "$baseline_pid")
slow_start=$(cpu_ticks "$slow_pid")
sleep "$seconds"
program_end=$(cpu_ticks "$program_pid")
baseline_end=$(cpu_ticks "$baseline_pid")
slow_end=$(cpu_ticks "$slow_pid")
wakes_end=$(wake_ups)
wakes_seconds=$(awk -v a="$wakes_started" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')

awk -v s="$seconds" -v hz="$(getconf CLK_TCK)" \
    -v p=$((program_end - program_start)) -v b=$((baseline_end - baseline_start)) \
    -v slow=$((slow_end - slow_start)) -v w=$((wakes_end - wakes_start)) -v ws="$wakes_seconds" \
    -v pm="$(private_kib "$program_pid")" -v bm="$(private_kib "$baseline_pid")" 'BEGIN {
  printf "idle CPU over %s s: Horavex.KT %.2f s, 50 ms timer %.2f s, 1 s timer %.2f s\n", s, p / hz, b / hz, slow / hz
  ratio = b > 0 ? sprintf("%.2f", p / b) : "n/a (the 50 ms timer used no measurable CPU)"
  printf "ratio to the 50 ms timer %s (target <= 0.5)\n", ratio
  printf "Horavex.KT wakes %.2f times a second (target <= 2)\n", w / ws
  printf "private memory after the window: Horavex.KT %.1f MiB, 50 ms timer %.1f MiB\n", pm / 1024, bm / 1024
}'
