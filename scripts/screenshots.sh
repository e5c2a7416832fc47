#!/usr/bin/env bash
# Takes the README's screenshots of the real program under an Xvfb of its own,
# with the windows where the program itself puts them:
#   docs/screenshot-main.png     control panel and both OpenGL views
#   docs/screenshot-analyse.png  the "Analyse" window, opened with the panel's
#                                "Analyse…" button
#   docs/screenshot-bild.png     the window "Bild" with a picture at 257 x 257,
#                                compressed to 5 % at level 2
#
#   docs/screenshot-web.png      the page (scripts/screenshots.sh --web)
#   docs/screenshot-web-analyse.png  the page with "Analyse" (--web)
#   docs/screenshot-web-screen-*.png  the page on each tested screen with
#                                panes open (--web)
#
# Usage: scripts/screenshots.sh [PROGRAM]
#   Without PROGRAM the program is built with the default preset and
#   build/default/veltra is used.
# Environment:
#   ANALYSE_BUTTON_X, ANALYSE_BUTTON_Y  centre of the "Analyse…" button, in
#       pixels from the top-left corner of the control panel's client area
#       (default 596, 94)
#   LEVEL_BAR_X, LEVEL_BAR_Y  a point on the level track bar, likewise
#       (default 250, 62)
#   BACKGROUND  colour between the windows in the main picture (default #6b7280)
#   OUTLINE     colour of the line around each window (default #3b4250)
# Needs: Xvfb (xvfb-run), xdotool, ImageMagick (all in scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

# --web: docs/screenshot-web.png, the page in headless chromium (1366 x 768), and
# docs/screenshot-web-analyse.png with "Analyse" at level 3, 10 % kept (1920 x 1080),
# and docs/screenshot-web-screen-*.png, one per tested screen with panes open.
if [ "${1:-}" = "--web" ]; then
  source scripts/setup.sh
  build_web
  ensure_page_packages
  node web/tests/screenshot.mjs build/web/page docs/screenshot-web.png docs/screenshot-web-analyse.png \
    docs/screenshot-web-screen
  echo "docs/screenshot-web.png docs/screenshot-web-analyse.png" docs/screenshot-web-screen-*.png
  exit 0
fi

ANALYSE_BUTTON_X=${ANALYSE_BUTTON_X:-596}
ANALYSE_BUTTON_Y=${ANALYSE_BUTTON_Y:-94}
LEVEL_BAR_X=${LEVEL_BAR_X:-250}
LEVEL_BAR_Y=${LEVEL_BAR_Y:-62}
BACKGROUND=${BACKGROUND:-#6b7280}
OUTLINE=${OUTLINE:-#3b4250}
PANEL_TITLE='BLaC-Wavelets anschaulich$'
FUNCTION_TITLE='^Skalierungsfunktion und Wavelets$'
DATA_TITLE='^Daten$'
ANALYSE_TITLE='^Analyse$'

if [ -z "${VELTRA_SCREENSHOTS_XVFB:-}" ]; then
  program=${1:-}
  if [ -z "$program" ]; then
    source scripts/setup.sh
    install_missing
    cmake --preset default >/dev/null
    cmake --build --preset default --target veltra tst_bild
    program=build/default/veltra
  fi
  program=$(realpath "$program")
  # An X server of its own, whatever display the caller has.
  exec env VELTRA_SCREENSHOTS_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program"
fi

program=$1
export QT_QPA_PLATFORM=xcb
export LIBGL_ALWAYS_SOFTWARE=1
work=$(mktemp -d)
program_pid=
cleanup() {
  set +e
  # A screenshot session, not a test of ending: the program is simply stopped.
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  rm -rf "$work"
  exit "$1"
}
trap 'cleanup $?' EXIT
mkdir -p docs

"$program" >"$work/veltra.log" 2>&1 &
program_pid=$!

find_window() { # title-regex
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}
panel=$(find_window "$PANEL_TITLE")
function_view=$(find_window "$FUNCTION_TITLE")
data_view=$(find_window "$DATA_TITLE")
[ -n "$panel" ] && [ -n "$function_view" ] && [ -n "$data_view" ] || {
  echo "the three main windows did not appear" >&2
  cat "$work/veltra.log" >&2
  exit 1
}

# Pixels where one channel lies at least 30 % above both others.
count_pixels() { # file channel other1 other2
  convert "$1" -alpha off -separate \
    \( -clone "$2" -clone "$3" -compose minus_src -composite \) \
    \( -clone "$2" -clone "$4" -compose minus_src -composite \) \
    -delete 0-2 -evaluate-sequence min -threshold 30% -format '%[fx:round(mean*w*h)]' info:
}
# Waits until both views have drawn: red surfaces and the green data surface.
drawn=
for _ in $(seq 30); do
  sleep 1
  import -window root "$work/root.png"
  if [ "$(count_pixels "$work/root.png" 0 1 2)" -ge 5000 ] && [ "$(count_pixels "$work/root.png" 1 0 2)" -ge 5000 ]; then
    drawn=1
    break
  fi
done
[ -n "$drawn" ] || { echo "the views did not draw" >&2; exit 1; }
# One more frame's time, so that nothing is caught half drawn.
sleep 1
import -window root "$work/root.png"

# The three windows on a plain background, cropped to the area they cover.
geometry() { # window -> X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}
read -r left top _ _ <<<"$(geometry "$panel")"
right=0
bottom=0
for w in "$panel" "$function_view" "$data_view"; do
  read -r x y width height <<<"$(geometry "$w")"
  ((x < left)) && left=$x
  ((y < top)) && top=$y
  ((x + width > right)) && right=$((x + width))
  ((y + height > bottom)) && bottom=$((y + height))
done
compose=(convert -size "$((right - left))x$((bottom - top))" "xc:$BACKGROUND")
for w in "$panel" "$function_view" "$data_view"; do
  read -r x y width height <<<"$(geometry "$w")"
  compose+=(\( "$work/root.png" -crop "${width}x${height}+${x}+${y}" +repage \)
            -geometry "+$((x - left))+$((y - top))" -composite)
done
# Without a window manager there are no frames: a thin outline tells the
# white views apart.
for w in "$panel" "$function_view" "$data_view"; do
  read -r x y width height <<<"$(geometry "$w")"
  compose+=(-fill none -stroke "$OUTLINE" -draw
            "rectangle $((x - left)),$((y - top)) $((x - left + width - 1)),$((y - top + height - 1))")
done
"${compose[@]}" docs/screenshot-main.png
echo "docs/screenshot-main.png: $((right - left)) x $((bottom - top)) pixels"

# The analysis window at level 2, where its curves show, once its picture no
# longer changes: the track bar takes the focus with a click and goes to its
# lowest level with Home.
xdotool mousemove --window "$panel" "$LEVEL_BAR_X" "$LEVEL_BAR_Y" click 1
xdotool key --window "$panel" Home
sleep 1
xdotool mousemove --window "$panel" "$ANALYSE_BUTTON_X" "$ANALYSE_BUTTON_Y" click 1
analyse=$(find_window "$ANALYSE_TITLE") || true
if [ -z "$analyse" ]; then
  echo "no window \"Analyse\" after a click at ($ANALYSE_BUTTON_X, $ANALYSE_BUTTON_Y) in the panel;" \
       "set ANALYSE_BUTTON_X and ANALYSE_BUTTON_Y to the centre of the button" >&2
  exit 1
fi
xdotool mousemove 0 0
import -window "$analyse" "$work/previous.png"
for _ in $(seq 20); do
  sleep 0.5
  import -window "$analyse" "$work/analyse.png"
  if [ "$(compare -metric AE "$work/previous.png" "$work/analyse.png" null: 2>&1 || true)" = 0 ]; then
    break
  fi
  mv "$work/analyse.png" "$work/previous.png"
done
cp "$work/analyse.png" docs/screenshot-analyse.png
echo "docs/screenshot-analyse.png: $(identify -format '%w x %h' docs/screenshot-analyse.png) pixels"

# The window "Bild" with a 400 x 300 picture at 257 x 257, level 2, 5 % of
# the details kept: the state its real-window test builds, written by the
# test itself (the window's own picture, as Ctrl+S would save it).
bild_test=$(dirname "$program")/tests/tst_bild
if [ ! -x "$bild_test" ]; then
  echo "$bild_test is missing: build the target tst_bild" >&2
  exit 1
fi
VELTRA_BILD_SCREENSHOT=$PWD/docs/screenshot-bild.png "$bild_test" openedByBAndFollowingTheLevel \
  photoAt257RecognisableBeforeAndAfterKeeping5Percent >"$work/bild.log" 2>&1 || { cat "$work/bild.log" >&2; exit 1; }
echo "docs/screenshot-bild.png: $(identify -format '%w x %h' docs/screenshot-bild.png) pixels"
