#!/usr/bin/env bash
# Runs the real program on Qt's Wayland platform inside a headless Weston,
# checks on compositor screenshots that the function view draws its red
# surfaces and the data view its green one, then ends the session.
#
# Ending: Wayland offers no way to click "Ende" or close a window from
# outside, so the test stops the compositor. The program must then end on its
# own: with status 0, or with status 1 and Qt's message that the Wayland
# connection broke (Qt's Wayland platform ends the program that way). A
# signal (crash, abort) or a program still running fails the test.
#
# Usage: check_wayland.sh PROGRAM
# Exit status 77 (skipped) when Weston or ImageMagick is not installed.
set -u

program=${1:?program path}
for tool in weston weston-screenshooter convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool not found (packages weston, imagemagick)"
    exit 77
  fi
done

# Its own runtime directory: the compositor's socket lives there, and Wayland
# insists on mode 0700 and the current user as owner (root in CI is fine).
runtime=$(mktemp -d "${TMPDIR:-/tmp}/veltra-wayland.XXXXXX")
chmod 0700 "$runtime"
weston_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill -KILL "$weston_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  for log in weston.log veltra.log; do
    [ -s "$runtime/$log" ] && { echo "--- $log (last lines)"; tail -n 30 "$runtime/$log"; }
  done
  exit 1
}

export XDG_RUNTIME_DIR=$runtime
export WAYLAND_DISPLAY=veltra-test
export QT_QPA_PLATFORM=wayland
export LIBGL_ALWAYS_SOFTWARE=1
# No X server to fall back on: what is drawn, is drawn through Wayland.
unset DISPLAY

# White background, no panel, no animations. The output is large so that the
# shell's placement of the three windows leaves each view visible.
cat >"$runtime/weston.ini" <<'EOF'
[core]
idle-time=0

[shell]
background-color=0xffffffff
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
EOF

# --debug allows weston-screenshooter; pixman renders without a GPU.
weston --config="$runtime/weston.ini" --backend=headless-backend.so --use-pixman \
  --width=3200 --height=2000 --socket="$WAYLAND_DISPLAY" --debug >"$runtime/weston.log" 2>&1 &
weston_pid=$!

for _ in $(seq 200); do
  [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston ended at start"
  sleep 0.1
done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || fail "weston opened no socket"

"$program" >"$runtime/veltra.log" 2>&1 &
program_pid=$!

# Pixels of one colour: each of the other two channels lies at least 30 % of
# the range below this one (the lit surfaces are shaded, the background white,
# window frames and text grey or black).
count_pixels() { # file channel other1 other2
  convert "$1" -alpha off -separate \
    \( -clone "$2" -clone "$3" -compose minus_src -composite \) \
    \( -clone "$2" -clone "$4" -compose minus_src -composite \) \
    -delete 0-2 -evaluate-sequence min -threshold 30% -format '%[fx:round(mean*w*h)]' info:
}

# The function view shows four surfaces of several thousand red pixels each,
# the data view one green surface of about thirty thousand; labels in the
# control panel and the views' axes make at most a few hundred.
min_pixels=5000
shots=$runtime/shots
mkdir -p "$shots"
red=0
green=0
attempt=0
# Start-up under load takes a few seconds; the limit only keeps a failing run short.
SECONDS=0
while [ "$SECONDS" -lt 30 ]; do
  attempt=$((attempt + 1))
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended while starting up"
  sleep 1
  rm -f "$shots"/*.png
  (cd "$shots" && weston-screenshooter) >/dev/null 2>&1 || fail "weston-screenshooter failed"
  shot=$(ls "$shots"/*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ] || fail "weston-screenshooter wrote no picture"
  red=$(count_pixels "$shot" 0 1 2)
  green=$(count_pixels "$shot" 1 0 2)
  if [ "$red" -ge "$min_pixels" ] && [ "$green" -ge "$min_pixels" ]; then
    break
  fi
done
echo "after $attempt screenshot(s): $red red and $green green pixels"
if [ "$red" -lt "$min_pixels" ] || [ "$green" -lt "$min_pixels" ]; then
  cp "$shot" "${TMPDIR:-/tmp}/veltra-wayland-failed.png" 2>/dev/null &&
    echo "last screenshot kept as ${TMPDIR:-/tmp}/veltra-wayland-failed.png"
  fail "the views did not draw: need at least $min_pixels red and green pixels"
fi
kill -0 "$program_pid" 2>/dev/null || fail "the program ended by itself"

# End of the session: the compositor goes, the program must follow.
kill -TERM "$weston_pid"
wait "$weston_pid"
weston_pid=
for _ in $(seq 150); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program_pid" 2>/dev/null; then
  fail "the program still runs 15 s after the compositor ended"
fi
wait "$program_pid"
status=$?
program_pid=
if [ "$status" -gt 128 ]; then
  fail "the program was ended by signal $((status - 128))"
elif [ "$status" -eq 1 ] && grep -q "Wayland connection broke" "$runtime/veltra.log"; then
  echo "the program ended with Qt's status 1 after the compositor had gone"
elif [ "$status" -ne 0 ]; then
  fail "the program ended with status $status"
fi
echo "PASS"
