#!/bin/bash
# Under a real window manager (openbox) on the display in force: the views'
# title bars are on the screen, their client sizes are 492 x 528 and
# 531 x 528, and their frames do not overlap.
set -u
PROGRAM="$1"
command -v openbox >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null || exit 77
[ -n "${DISPLAY:-}" ] || exit 77
openbox --sm-disable >/dev/null 2>&1 &
WM=$!
PROG=
cleanup() { [ -n "$PROG" ] && kill "$PROG" 2>/dev/null; kill "$WM" 2>/dev/null; wait 2>/dev/null; }
trap cleanup EXIT
sleep 1
LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb "$PROGRAM" >/dev/null 2>&1 &
PROG=$!
value() { xwininfo -id "$1" | sed -n "s/^ *$2: *//p"; }
fail=0
declare -A right left
for view in "Skalierungsfunktion und Wavelets:492:528" "Daten:531:528"; do
  IFS=: read -r name w h <<<"$view"
  id=
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window \"$name\""; exit 1; }
  sleep 0.5
  ax=$(value "$id" "Absolute upper-left X"); ay=$(value "$id" "Absolute upper-left Y")
  ry=$(value "$id" "Relative upper-left Y"); rx=$(value "$id" "Relative upper-left X")
  cw=$(value "$id" Width); ch=$(value "$id" Height)
  echo "$name: client $ax,$ay ${cw}x$ch, frame top $((ay - ry)), title bar $ry high"
  [ "$cw" = "$w" ] && [ "$ch" = "$h" ] || { echo "  client size should be ${w}x$h"; fail=1; }
  [ "$ry" -gt 0 ] || { echo "  no frame: is the window manager running?"; fail=1; }
  [ $((ay - ry)) -ge 0 ] || { echo "  title bar above the screen"; fail=1; }
  right[$name]=$((ax + cw + rx))
  left[$name]=$((ax - rx))
done
[ "${left[Daten]}" -ge "${right[Skalierungsfunktion und Wavelets]}" ] || { echo "the frames overlap"; fail=1; }
exit $fail
