#!/usr/bin/env bash
# Times PyWavelets' bior2.2 2-D round trip (wavedec2 + waverec2) and our level
# round trip 9 -> 2 -> 9 on the same 513 x 513 sample surface in one run and
# prints both and their ratio. Needs Debian's python3-pywt and a built
# veltra_bench (cmake --build --preset default --target veltra_bench).
# Usage: scripts/compare-pywt.sh [pywt levels, default 7]
set -euo pipefail
cd "$(dirname "$0")/.."

levels="${1:-7}"
bench=build/default/benchmarks/veltra_bench
python=/usr/bin/python3
if ! "$python" -c 'import pywt' 2>/dev/null; then
  echo "PyWavelets fehlt: apt-get install python3-pywt" >&2
  exit 1
fi
if [ ! -x "$bench" ]; then
  echo "$bench fehlt: cmake --build --preset default --target veltra_bench" >&2
  exit 1
fi

# Processor time on both sides, so other load on the machine counts for
# neither. Ours: the median of 20 repetitions, in ms.
ours=$("$bench" --benchmark_filter='BM_RoundTripAtTop/9$' --benchmark_repetitions=20 \
         --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null |
       "$python" -c '
import json, sys
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") == "median":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        print(b["cpu_time"] * scale)
')

"$python" - "$levels" "$ours" <<'PY'
import sys, time, warnings
import numpy as np
import pywt

levels, ours = int(sys.argv[1]), float(sys.argv[2])
# The sample surface at top level 9: 0.7 sin(7i/512) sin(3j/512), i, j = -1..511.
i = np.arange(-1, 512, dtype=float)
x = 0.7 * np.outer(np.sin(7 * i / 512), np.sin(3 * i / 512))
times = []
with warnings.catch_warnings():
    warnings.simplefilter("ignore")  # more levels than pywt recommends for 513 points
    for _ in range(200):
        start = time.process_time()
        y = pywt.waverec2(pywt.wavedec2(x, "bior2.2", level=levels), "bior2.2")
        times.append(time.process_time() - start)
theirs = float(np.median(times)) * 1e3
print(f"PyWavelets bior2.2 wavedec2+waverec2, 513 x 513, {levels} levels: {theirs:.2f} ms (median of 200, processor time)")
print(f"Veltra round trip 9 -> 2 -> 9 (7 levels), 513 x 513, Delta 0.4:   {ours:.2f} ms (median of 20, processor time)")
print(f"ratio PyWavelets / Veltra: {theirs / ours:.2f}")
PY
