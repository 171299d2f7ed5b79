#!/usr/bin/env bash
# The Debian package as a player's machine takes it: its files where the
# desktop looks for them, the desktop entry, the AppStream data and the
# manual page valid, lintian without errors, the licence the help shows;
# then the game unpacked into a temporary root and run on a virtual X
# display with a private home folder: it starts, its help opens, a finished
# game's high-score table goes to the private XDG_DATA_HOME, and nothing is
# written inside the unpacked root.
# Usage: check_package.sh PATH-TO.deb
set -u
deb=$(realpath "$1")
src=$(cd "$(dirname "$0")/../.." && pwd)

work=$(mktemp -d)
xpid=""
gpid=""
cleanup() {
  [ -n "$gpid" ] && kill "$gpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  [ -f "$work/game.log" ] && { echo "--- game output"; cat "$work/game.log"; }
  exit 1
}
for tool in dpkg-deb desktop-file-validate appstreamcli lintian groff man Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

# ---- the files and where they go --------------------------------------------

echo "-- contents of $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{print $1, $6}'
root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "cannot unpack the package"
version=$(dpkg-deb -f "$deb" Version)
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null | head -n 1)
[ -n "$metainfo" ] || fail "no AppStream data in share/metainfo"
id=$(basename "$metainfo" .metainfo.xml)
desktop="$root/usr/share/applications/$id.desktop"
[ -f "$desktop" ] || fail "no desktop entry $id.desktop"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -q "<id>$id</id>" "$metainfo" || fail "the AppStream id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the AppStream data does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not $version"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
game="$root$exec_line"
[ -x "$game" ] || fail "the desktop entry starts $exec_line, which the package does not hold"
for side in 16 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${side}x${side}/apps/$id.png"
  [ -f "$png" ] || fail "no ${side}x${side} icon"
  # The PNG header holds the width and height as big-endian numbers.
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}')
  [ "$size" = "${side}x${side}" ] || fail "the ${side}x${side} icon is $size"
done
# The About box shows the version the package carries.
grep -aq "Version: $version" "$game" || fail "the program does not show version $version"

# ---- validators and lintian -------------------------------------------------

echo "-- desktop-file-validate"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate warns: $out"
echo "no error, no warning"

echo "-- appstreamcli validate --no-net"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "the AppStream data is not valid"

echo "-- manual page"
zcat "$root/usr/share/man/man6/quandrel3d.6.gz" >"$work/quandrel3d.6" || fail "no manual page in man6"
out=$(groff -ww -z -t -man "$work/quandrel3d.6" 2>&1)
[ -z "$out" ] || fail "groff warns: $out"
out=$(MANWIDTH=80 man --warnings -l "$work/quandrel3d.6" 2>&1 >"$work/man.txt")
[ -z "$out" ] || fail "man warns: $out"
# Every option of the table is described.
for name in EXEPath KeyLeft KeyRight KeyRotate KeyDown KeyDrop RowBurst ShadeMode BlockSet \
            HighScoreFile WindowX WindowY WindowW WindowH ViewStats ViewNext ShowFPS; do
  grep -q "^ *$name " "$work/man.txt" || fail "the manual page does not describe $name"
done
echo "no warning"

echo "-- lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"

echo "-- licence"
copyright="$root/usr/share/doc/quandrel3d/copyright"
head -n 1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "the copyright file is not in the machine-readable format"
# The same words in LICENSE, in the copyright file and on the help's licence page.
words() { tr -s ' \n' '\n\n' | grep -v '^\.\?$'; }
licence=$(sed -n '/^Permission/,$p' "$src/LICENSE" | words)
[ "$(sed -n '/^ Permission/,$p' "$copyright" | words)" = "$licence" ] ||
  fail "the copyright file's licence differs from LICENSE"
help="$root/usr/share/games/quandrel3d/Quandrel3D.chm"
[ -f "$help" ] || help=$(find "$root" -name Quandrel3D.chm | head -n 1)
[ "$(sed -n '/^== license.htm/,/^== /p' "$help" | sed 's/<[^>]*>//g' |
     sed -n '/^Permission/,/^SOFTWARE\.$/p' | words)" = "$licence" ] ||
  fail "the help's licence page differs from LICENSE"
grep -q "^Copyright: $(sed -n 's/^Copyright (c) //p' "$src/LICENSE")$" "$copyright" ||
  fail "the copyright line differs from LICENSE"
echo "LICENSE, copyright file and help agree"

# ---- the unpacked game, end to end ------------------------------------------

echo "-- the unpacked game"
. "$src/scripts/xvfb.sh"
start_xvfb 1024x768 "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

home="$work/home"
mkdir -p "$home"
find "$root" -printf '%p %s %T@ %m\n' | sort >"$work/root.before"
export DISPLAY=":$disp" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
unset QT_QPA_PLATFORM
"$game" >"$work/game.log" 2>&1 &
gpid=$!

# Windows whose whole title is the given one.
windows() { xdotool search --name "^$1\$" 2>/dev/null; }
wait_window() {
  for _ in $(seq 50); do
    windows "$1" | grep -q . && return 0
    kill -0 "$gpid" 2>/dev/null || fail "the game ended while waiting for \"$1\""
    sleep 0.1
  done
  return 1
}
# Without a window manager the focus has to be given back to the game.
focus_game() {
  for _ in $(seq 10); do
    xdotool windowfocus --sync "$win" 2>/dev/null
    sleep 0.2
    [ "$(xdotool getwindowfocus)" = "$win" ] && return 0
  done
  fail "the game window does not take the focus"
}
wait_window "Quandrel 3D" || fail "no game window"
win=$(windows "Quandrel 3D" | head -n 1)
sleep 0.5
focus_game

# Help, Help...: the viewer's title is the welcome page's own, so it opens
# only when the installed help file is found and read. Help, License...
# then shows the licence page of the same file.
xdotool key alt+h
sleep 0.3
xdotool key h
wait_window "Quandrel 3D Help" || fail "Help did not open the help pages"
focus_game
xdotool key alt+h
sleep 0.3
xdotool key l
wait_window "Quandrel 3D Licence" || fail "License did not show the licence page"
echo "help pages found"

# A game at level 9, ended by dropping blocks until the well is full; the
# result asks for a name, and OK on the table saves it.
focus_game
xdotool key ctrl+9
asked=""
for _ in $(seq 30); do
  [ "$(windows "Quandrel 3D" | wc -l)" -ge 2 ] && { asked=yes; break; }
  sleep 0.1
done
[ -n "$asked" ] || fail "Ctrl+9 did not ask whether to abandon the game"
xdotool key Return
for _ in $(seq 30); do [ "$(windows "Quandrel 3D" | wc -l)" -eq 1 ] && break; sleep 0.1; done
sleep 0.3
focus_game
asked=""
for _ in $(seq 60); do
  xdotool key space
  sleep 0.2
  windows "Quandrel 3D High Scores" | grep -q . && { asked=yes; break; }
done
[ -n "$asked" ] || fail "dropping blocks did not end the game with a high score"
table=$(windows "Quandrel 3D High Scores" | head -n 1)
xdotool windowfocus --sync "$table" 2>/dev/null
sleep 0.3
xdotool type --delay 50 "Tester"
xdotool key Return
sleep 0.3
xdotool key Return
for _ in $(seq 30); do windows "Quandrel 3D High Scores" | grep -q . || break; sleep 0.1; done
scores="$home/data/Quandrel3D/Quandrel3DHiScores"
for _ in $(seq 20); do [ -s "$scores" ] && break; sleep 0.1; done
[ -s "$scores" ] || fail "no high-score table in the private XDG_DATA_HOME"
head -c 8 "$scores" | grep -q 'QN_3D_HS' || fail "the high-score file has no magic"
grep -aq "Tester" "$scores" || fail "the name is not in the high-score table"

# Game menu, Exit: the settings go to the private XDG_CONFIG_HOME.
focus_game
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
[ -n "$status" ] || fail "the game did not end after Exit"
gpid=""
[ "$status" -eq 0 ] || fail "the game ended with code $status"
store="$home/config/Quandrel3D/settings.reg"
[ -f "$store" ] || fail "no settings in the private XDG_CONFIG_HOME"
grep -qF "\"HighScoreFile\"=\"$scores\"" "$store" || fail "the settings do not name the per-user table"

find "$root" -printf '%p %s %T@ %m\n' | sort >"$work/root.after"
diff "$work/root.before" "$work/root.after" >"$work/root.diff" ||
  fail "the game wrote inside the unpacked root: $(cat "$work/root.diff")"
echo "passed: files in place, validators and lintian clean, the unpacked game starts, opens its help, keeps its scores and settings in the private home and writes nothing inside its root"
