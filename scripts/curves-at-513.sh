#!/usr/bin/env bash
# Runs the "Analyse" window's curves at 513 x 513 on the real window a few
# times and prints, per run, how long the level change 9 -> 2 took on the GUI
# thread, when the curves were drawn, and the longest gap between two turns
# of the event loop while they were computed beside it. Needs a built
# tst_analyse (cmake --build --preset default --target tst_analyse) and
# xvfb-run. Usage: scripts/curves-at-513.sh [runs, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${1:-5}"
test=build/default/tests/tst_analyse
if [ ! -x "$test" ]; then
  echo "$test fehlt: cmake --build --preset default --target tst_analyse" >&2
  exit 1
fi
for _ in $(seq "$runs"); do
  xvfb-run -a -s "-screen 0 1280x1024x24" env LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb \
    "$test" curvesAt513ComeFromAWorkerAndNeverStale 2>&1 | sed -n 's/^QINFO.*() //p'
done
