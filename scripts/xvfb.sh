# A virtual X display for the scripts and tests that need one; sourced:
#   . scripts/xvfb.sh; start_xvfb 1024x768 "$work" || fail "..."
# Xvfb picks a display number nobody uses and tells it once it listens, so
# that two runs at the same time cannot take the same one. It never resets:
# a reset, when the last client leaves, drops a client that is connecting at
# that moment (a game starting while a test polls for its window). Sets xpid
# (the server, for the caller to kill) and disp (its display number); false,
# with the server's output in xvfb.log of the folder, when it did not start.
start_xvfb() {
  local size=$1 dir=$2
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xpid=$!
  disp=""
  for _ in $(seq 100); do
    disp=$(tr -dc '0-9' <"$dir/display" 2>/dev/null)
    [ -n "$disp" ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$disp" ]
}
