#!/usr/bin/env bash
# Times PyWavelets' bior2.2 2-D round trip (wavedec2 + waverec2) and our level
# round trip top -> 2 -> top on the same sample surfaces in one run, at
# 65 x 65, 129 x 129, 257 x 257 and 513 x 513 (4 to 7 levels), and prints
# both and their ratio. Needs Debian's python3-pywt (apt-get install
# python3-pywt) and a built veltra_bench
# (cmake --build --preset default --target veltra_bench).
# Usage: scripts/compare-pywt.sh
set -euo pipefail
cd "$(dirname "$0")/.."

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
# neither. Ours: the median of 20 repetitions of BM_RoundTripAtTop/6..9, in ms.
ours=$("$bench" --benchmark_filter='BM_RoundTripAtTop/[6-9]$' --benchmark_repetitions=20 \
         --benchmark_report_aggregates_only=true --benchmark_format=json 2>/dev/null |
       "$python" -c '
import json, sys
report = json.load(sys.stdin)
print("kernels", report["context"].get("lane_kernels", "?"))
for b in report["benchmarks"]:
    if b.get("aggregate_name") == "median":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        print(b["run_name"].split("/")[-1], b["cpu_time"] * scale)
')

# PyWavelets allocates its arrays afresh on every call. With glibc's default
# mmap threshold each large array comes from a fresh mapping and costs page
# faults and system time on every call; raising the thresholds lets malloc
# reuse its memory, which is PyWavelets at its best.
export MALLOC_MMAP_THRESHOLD_=1073741824 MALLOC_TRIM_THRESHOLD_=1073741824
"$python" - "$ours" <<'PY'
import os, sys, time, warnings
import numpy as np
import pywt

ours = dict(line.split() for line in sys.argv[1].splitlines())
print("PyWavelets (python3-pywt %s) with MALLOC_MMAP_THRESHOLD_=%s MALLOC_TRIM_THRESHOLD_=%s;"
      % (pywt.__version__, os.environ["MALLOC_MMAP_THRESHOLD_"], os.environ["MALLOC_TRIM_THRESHOLD_"]))
print("processor time, medians; Veltra at Delta 0.4 with the %s lane kernels." % ours["kernels"])
print()
print("%-10s %-7s %-22s %-22s %s" % ("size", "levels", "PyWavelets bior2.2", "Veltra top -> 2 -> top", "PyWavelets / Veltra"))
for top in (6, 7, 8, 9):
    side = 2 ** top + 1
    levels = top - 2
    # The sample surface at top level `top`: 0.7 sin(7i/N) sin(3j/N), i, j = -1..N-1, N = 2^top.
    i = np.arange(-1, 2 ** top, dtype=float)
    x = 0.7 * np.outer(np.sin(7 * i / 2 ** top), np.sin(3 * i / 2 ** top))
    runs = max(200, int(200 * 4 ** (9 - top) / 4))
    times = []
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # more levels than pywt recommends for these sizes
        for _ in range(runs):
            start = time.process_time()
            y = pywt.waverec2(pywt.wavedec2(x, "bior2.2", level=levels), "bior2.2")
            times.append(time.process_time() - start)
    theirs = float(np.median(times)) * 1e3
    mine = float(ours[str(top)])
    print("%-10s %-7d %-22s %-22s %.2f" % ("%d x %d" % (side, side), levels,
          "%.3f ms (of %d)" % (theirs, runs), "%.3f ms (of 20)" % mine, theirs / mine))
PY
