#!/usr/bin/env bash
# The game end to end on a virtual X display: it opens its window, takes the
# focus, answers Ctrl+G with its question, shows its last picture wherever
# the question has been while it waits, moves and drops a block once for
# keys held well past the X server's auto-repeat delay on a busy machine,
# takes a few keys and the menu's Exit, ends with code 0 and leaves its
# settings and high-score file behind.
# Usage: play_game.sh PATH-TO-quandrel3d. Exit code 77 (skipped) without Xvfb.
set -u
game=$1

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: Xvfb and xdotool are needed (scripts/install-deps.sh installs them)"
  exit 77
fi

work=$(mktemp -d)
xpid=""
gpid=""
busy=""
cleanup() {
  [ -n "$busy" ] && kill $busy 2>/dev/null
  [ -n "$gpid" ] && kill "$gpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  [ -f "$work/game.log" ] && { echo "--- game output"; cat "$work/game.log"; }
  [ -s "$work/xvfb.log" ] && { echo "--- X server output"; cat "$work/xvfb.log"; }
  exit 1
}

. "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb 1024x768 "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

# The game writes where it drew each cube of its last picture to the scene
# file, so that the well can be seen from here.
scene="$work/scene"
export DISPLAY=":$disp" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export QUANDREL_TEST_SCENE_FILE="$scene"
unset QT_QPA_PLATFORM
# The high-score file for this run only ("*"), so the build tree stays clean.
"$game" '*HighScoreFile' "$work/scores" >"$work/game.log" 2>&1 &
gpid=$!

# Shown windows whose title is exactly the game's: Qt names a window before
# it maps it, and X refuses the focus to a window that is not yet viewable.
windows() { xdotool search --onlyvisible --name '^Quandrel 3D$' 2>/dev/null; }
win=""
for _ in $(seq 100); do
  win=$(windows | head -n 1)
  [ -n "$win" ] && break
  if ! kill -0 "$gpid" 2>/dev/null; then
    wait "$gpid"
    status=$?
    gpid=""
    fail "the game ended with code $status before showing its window"
  fi
  sleep 0.1
done
[ -n "$win" ] || fail "no game window"
focused=""
for _ in $(seq 20); do
  xdotool windowfocus --sync "$win" 2>/dev/null && { focused=yes; break; }
  sleep 0.1
done
[ -n "$focused" ] || fail "cannot focus the game window"
sleep 0.5

# A game runs from the start, so Ctrl+G asks before starting afresh: a second
# window with the game's title appears; Return answers Yes.
xdotool key ctrl+g
asked=""
for _ in $(seq 30); do
  [ "$(windows | wc -l)" -ge 2 ] && { asked=yes; break; }
  sleep 0.1
done
[ -n "$asked" ] || fail "Ctrl+G did not ask whether to abandon the game"

# No frame runs while the question waits, so the game window must look the
# same wherever the question has been: what it uncovers shows the last
# picture, not an older one (the statistics' shapes turn from frame to frame,
# so an older picture differs there). Needs xwd to read the window.
shown=""
if command -v xwd >/dev/null; then
  question=$(windows | grep -vx "$win" | head -n 1)
  dump() { xwd -silent -id "$win" >"$1" 2>/dev/null; }
  # Off the game window; settled once two reads a moment apart agree.
  xdotool windowmove --sync "$question" 600 500
  dump "$work/before"
  settled=""
  for _ in $(seq 20); do
    sleep 0.2
    dump "$work/again"
    cmp -s "$work/before" "$work/again" && { settled=yes; break; }
    mv "$work/again" "$work/before"
  done
  [ -n "$settled" ] || fail "the game window kept changing while the question was open"
  # Over the statistics on the left, then off again.
  xdotool windowmove --sync "$question" 20 240
  sleep 0.3
  xdotool windowmove --sync "$question" 600 500
  same=""
  for _ in $(seq 20); do
    sleep 0.2
    dump "$work/after"
    cmp -s "$work/before" "$work/after" && { same=yes; break; }
  done
  [ -n "$same" ] || fail "where the question had been, the game window showed an older picture"
  shown=", the last picture where the question had been"
fi
xdotool key Return
for _ in $(seq 30); do [ "$(windows | wc -l)" -eq 1 ] && break; sleep 0.1; done
[ "$(windows | wc -l)" -eq 1 ] || fail "the question did not go away"

# Without a window manager the focus falls back to the root window when the
# question goes; give it back to the game once that has happened.
focused=""
for _ in $(seq 10); do
  sleep 0.3
  xdotool windowfocus --sync "$win"
  sleep 0.2
  [ "$(xdotool getwindowfocus)" = "$win" ] && { focused=yes; break; }
done
[ -n "$focused" ] || fail "the game window did not get the focus back"

# The cubes in the well, one "column row" line each (row 0 at the top),
# sorted; the statistics beside the well are left out.
cells() {
  awk '$1 > -5 && $1 < 5 && $2 > 0 && $2 < 20 { printf "%d %d\n", $1 + 5, 20 - $2 }' "$scene" 2>/dev/null |
    sort -k1,1n -k2,2n
}
# The cells moved by columns and rows.
shifted() { awk -v dx="$1" -v dy="$2" '{ printf "%d %d\n", $1 + dx, $2 + dy }' | sort -k1,1n -k2,2n; }
# The cells moved so that the top one is in row 0.
from_top() { awk '{ c[NR] = $1; r[NR] = $2; if (NR == 1 || $2 < top) top = $2 }
                  END { for (i = 1; i <= NR; i++) printf "%d %d\n", c[i], r[i] - top }' | sort -k1,1n -k2,2n; }
lowest() { awk 'NR == 1 || $2 > low { low = $2 } END { print low }'; }

# The first block is in the well: four cubes near the top.
first=""
for _ in $(seq 50); do
  first=$(cells)
  [ "$(printf '%s\n' "$first" | grep -c .)" -eq 4 ] && break
  sleep 0.1
done
[ "$(printf '%s\n' "$first" | grep -c .)" -eq 4 ] || fail "no falling block in the well: $(cat "$scene")"

# Left (keypad 7) and then Drop (Space), each held for 2.5 s, far past the
# repeat delay, while two loops keep both cores busy: the X server repeats
# the keys, and on a busy machine Qt no longer marks every repeat as one.
# Exactly one move and one drop: the block is one column to the left and
# lies on the floor, and at most the next block falls above it.
for _ in 1 2; do
  sh -c 'while :; do :; done' &
  busy="$busy $!"
done
xdotool keydown KP_7
sleep 2.5
xdotool keyup KP_7
sleep 0.3
moved=$(cells)
xdotool keydown space
sleep 2.5
xdotool keyup space
sleep 0.5
dropped=$(cells)
kill $busy 2>/dev/null
wait $busy 2>/dev/null
busy=""
want=$(printf '%s\n' "$first" | shifted -1 0 | from_top)
[ "$(printf '%s\n' "$moved" | from_top)" = "$want" ] ||
  fail "holding Left did not move the block exactly one column: $(echo $first) became $(echo $moved)"
floor=$(printf '%s\n' "$want" | shifted 0 $((19 - $(printf '%s\n' "$want" | lowest))))
locked=$(printf '%s\n' "$dropped" | awk '$2 >= 10')
falling=$(printf '%s\n' "$dropped" | awk '$2 < 10' | grep -c .)
[ "$locked" = "$floor" ] && [ "$falling" -le 4 ] ||
  fail "holding Space did not drop exactly one block: the well holds $(echo $dropped), want $(echo $floor) below the next block"

xdotool key KP_7 KP_9 KP_8 space
# Both views are on by default: Ctrl+S switches the statistics off and the
# next block with them.
xdotool key ctrl+s ctrl+f
sleep 0.3
# Game menu, Exit.
xdotool key alt+g
sleep 0.3
xdotool key x

status=""
for _ in $(seq 100); do
  if ! kill -0 "$gpid" 2>/dev/null; then
    wait "$gpid"
    status=$?
    break
  fi
  sleep 0.1
done
gpid_done=$gpid
gpid=""
[ -n "$status" ] || { kill "$gpid_done"; fail "the game did not end after Exit"; }
[ "$status" -eq 0 ] || fail "the game ended with code $status"

store="$work/config/Quandrel3D/settings.reg"
[ -f "$store" ] || fail "no settings written"
grep -q '"ViewStats"=dword:00000000' "$store" || fail "Ctrl+S was not saved: $(cat "$store")"
grep -q '"ViewNext"=dword:00000000' "$store" || fail "Ctrl+S did not switch the next block off"
grep -q '"ShowFPS"=dword:00000001' "$store" || fail "Ctrl+F was not saved"
grep -q '"WindowW"=dword:' "$store" || fail "no window size saved"
if grep -q "$work/scores" "$store"; then fail "a run-only high-score file was saved"; fi
[ -s "$work/scores" ] || fail "no high-score file written"
head -c 8 "$work/scores" | grep -q 'QN_3D_HS' || fail "the high-score file has no magic"
echo "passed: window, question$shown, held keys act once, keys, menu Exit, exit code 0, settings and high scores saved"
