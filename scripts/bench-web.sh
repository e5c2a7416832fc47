#!/usr/bin/env bash
# The level round trip natively, in WebAssembly under node and in headless
# chromium, in one run: builds veltra_round_trip_timing in the default and the
# web preset, runs all three and prints their times and the ratios
# WebAssembly / native. Then the page's figures in chromium: time from
# navigation to both views' first frame, and each view's frame time; the
# longest tasks on the page's thread while files and a costly link are read;
# and the lesson at 257 and 513 points with "Analyse" open, idle and beside
# one other busy process (web/tests/measure_lesson.mjs).
#
#   scripts/bench-web.sh [batches]     (11 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
batches=${1:-11}

install_missing
ensure_muparser_source
[ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
[ -f build/web/CMakeCache.txt ] || NODE_PATH=/usr/share/nodejs cmake --preset web >/dev/null
cmake --build --preset default --target veltra_round_trip_timing >/dev/null
cmake --build --preset web --target veltra_round_trip_timing veltra_page >/dev/null
ensure_page_packages

native_out=$(build/default/benchmarks/veltra_round_trip_timing "$batches")
wasm_out=$(node --no-experimental-fetch build/web/benchmarks/veltra_round_trip_timing.js "$batches")
page_out=$(node web/tests/measure.mjs build/web/page 30 build/web/benchmarks "$batches")
lesson_idle=$(node web/tests/measure_lesson.mjs build/web/page 5)
lesson_busy=$(BUSY=1 node web/tests/measure_lesson.mjs build/web/page 5)
chromium_out=$(grep '^round trip' <<<"$page_out")
echo "native (default preset, $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' build/default/CMakeCache.txt)):"
echo "$native_out"
echo "WebAssembly (web preset, node $(node --version)):"
echo "$wasm_out"
echo "WebAssembly (web preset, headless $(chromium --version 2>/dev/null | head -1 | cut -d' ' -f1,2)):"
echo "$chromium_out"
ratios() {
  paste <(echo "$native_out") <(echo "$1") | awk -F'\t' '{
    split($1, n, " median +"); split($2, w, " median +");
    split(n[2], nv, " "); split(w[2], wv, " ");
    printf "  %-28s %.2f\n", n[1], wv[1] / nv[1] }'
}
echo "ratio WebAssembly / native (medians), node:"
ratios "$wasm_out"
echo "ratio WebAssembly / native (medians), chromium:"
ratios "$chromium_out"
echo "the page in chromium:"
grep -v '^round trip' <<<"$page_out" | sed 's/^/  /'
echo "the lesson with Analyse open (targets: shown within 100 ms, no task over 100 ms, curves 1 s at 257 and 3 s at 513, photo to Bild 3 s), idle:"
sed 's/^/  /' <<<"$lesson_idle"
echo "the same beside one busy process:"
sed 's/^/  /' <<<"$lesson_busy"
