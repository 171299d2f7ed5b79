#!/usr/bin/env bash
# Runs the benchmarks on one core: median time per frame of each. The frame
# to screen goes to the X server of DISPLAY; without one, to a virtual X
# display of our own, large enough for a full-HD view (the server then runs
# on the other core). Then the game itself starts ten times on that display
# and ends after its first frame: the median time from the process start to
# the first frame shown. Usage: bench.sh [BUILD-DIR] [benchmark switches...],
# for example: bench.sh build/release --benchmark_filter=FrameToScreen
set -u
cd "$(dirname "$0")/.."
dir=build/release
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then dir=$1; shift; fi
bench=$dir/quandrel_bench
[ -x "$bench" ] || { echo "no $bench: build first (bash scripts/build.sh $dir)"; exit 1; }

work=$(mktemp -d)
xpid=""
cleanup() {
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  . scripts/xvfb.sh
  start_xvfb 2560x1600 "$work" || { echo "Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
  export DISPLAY=":$disp"
fi
# The platform follows the display; without any the benchmarks run off screen.
unset QT_QPA_PLATFORM
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"

taskset -c 0 "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@" || exit 1

# Start-up: the game writes the time of its first frame and closes itself.
game=$dir/quandrel3d
[ -x "$game" ] || exit 0
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || { echo "start-up: no display, not measured"; exit 0; }
times=()
for _ in $(seq 10); do
  t=$(QUANDREL_STARTUP_TIME=exit timeout 20 "$game" '*HighScoreFile' "$work/scores" 2>&1 >/dev/null |
      sed -n 's/^first frame shown \([0-9.]*\) s.*/\1/p')
  [ -n "$t" ] && times+=("$t")
done
[ ${#times[@]} -gt 0 ] || { echo "start-up: the game showed no frame"; exit 1; }
printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
  printf "start-up to the first frame: median %.3f s (%d runs, %.3f to %.3f s)\n", t[int((NR + 1) / 2)], NR, t[1], t[NR] }'
