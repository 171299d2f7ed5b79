#!/usr/bin/env bash
# The snapshot tool through a game over and on into the next game: it must
# not stop there waiting for a name, must start a new game and report it,
# and must leave the player's settings and high-score file alone.
# Usage: snapshot_soak.sh PATH-TO-snapshot SEED SECONDS FPS
set -u
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
seed=$2
seconds=$3
fps=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  [ -f "$work/out.log" ] && { echo "--- tool output"; cat "$work/out.log"; }
  exit 1
}

# Every place the settings or the table could go, empty at the start.
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cwd" "$work/out"
beside="$(dirname "$tool")/Quandrel3DHiScores"
state_beside() { stat -c '%s %Y %i' "$beside" 2>/dev/null || echo missing; }
before=$(state_beside)

(
  cd "$work/cwd" &&
    HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=offscreen \
      timeout 120 "$tool" --out "$work/out/frame.png" --size 32x32 --seed "$seed" --seconds "$seconds" --fps "$fps"
) >"$work/out.log" 2>&1
rc=$?
[ "$rc" -eq 124 ] && fail "the tool was still running after 120 s (waiting for an answer?)"
[ "$rc" -eq 0 ] || fail "exit code $rc"

games=$(sed -n 's/^games played: \([0-9]*\), \([0-9]*\) of them to game over$/\1 \2/p' "$work/out.log")
[ -n "$games" ] || fail "no games line"
set -- $games
[ "$1" -ge 2 ] && [ "$2" -ge 1 ] || fail "no new game after a game over ($1 played, $2 over)"
grep -q "^frames drawn: $((seconds * fps))$" "$work/out.log" || fail "frames drawn"
grep -q '^resident memory at the start: [1-9][0-9]* kB$' "$work/out.log" || fail "memory at the start"
grep -q '^resident memory at the end: [1-9][0-9]* kB$' "$work/out.log" || fail "memory at the end"
[ -s "$work/out/frame.png" ] || fail "no picture"

for d in home config data cwd; do
  left=$(find "$work/$d" -mindepth 1)
  [ -z "$left" ] && continue
  fail "files left in $d: $left"
done
[ "$(state_beside)" = "$before" ] || fail "the high-score file beside the tool changed"
echo "ok: $1 games played, $2 to game over"
