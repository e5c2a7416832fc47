#!/bin/sh
# Fuzzes the table reader and the formula entry with clang's libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer. Not part of test.sh.
#   scripts/fuzz.sh [seconds per target, default 120]
# Crashing inputs land in build/fuzz/<target>-crashes/; keep each one as a
# case in tests/sources so it stays fixed.
set -eu
seconds=${1:-120}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
if ! command -v clang++-14 >/dev/null ||
   ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "fuzz.sh: installing clang-14 and libclang-rt-14-dev" >&2
  apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev
fi
mkdir -p "$out"
flags="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root/src"
common="$root/src/sources/table_reader.cpp $root/src/sources/surface_result.cpp $root/src/sources/resample.cpp $root/src/linalg/matrix.cpp"
clang++-14 $flags -o "$out/table_fuzz" "$root/tests/fuzz/table_fuzz.cpp" $common
clang++-14 $flags $(pkg-config --cflags muparser) -o "$out/formula_fuzz" "$root/tests/fuzz/formula_fuzz.cpp" \
  "$root/src/sources/formula.cpp" $common $(pkg-config --libs muparser)

# Seeds: the forms the readers know, so the fuzzer starts inside them.
mkdir -p "$out/table-seeds" "$out/formula-seeds"
printf '1 2\n3 4\n' >"$out/table-seeds/spaces"
printf '0,05;0,10\r\n1;2\r\n' >"$out/table-seeds/semicolons"
printf '0,5\t1,5\r2,5\t3\r' >"$out/table-seeds/tabs"
printf '\357\273\277# Kopf\n1.5,2e3\n-inf,nan\n' >"$out/table-seeds/csv"
printf '0.7*sin(7*x)*sin(3*y)' >"$out/formula-seeds/default"
printf 'x>0.5 ? min(x,y) : max(1e150*x, -y^2)' >"$out/formula-seeds/conditional"
printf 'x != y && ln(x) || !y' >"$out/formula-seeds/logic"

status=0
for target in table formula; do
  mkdir -p "$out/$target-corpus" "$out/$target-crashes"
  echo "fuzz.sh: $target for $seconds s" >&2
  (cd "$out/$target-crashes" &&
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ASAN_OPTIONS=detect_leaks=1 \
      "$out/${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 -timeout=20 \
      "$out/$target-corpus" "$out/$target-seeds") || status=1
done
crashes=$(find "$out" -path "*-crashes/*" -type f)
[ -z "$crashes" ] || { echo "fuzz.sh: crashing inputs:" >&2; echo "$crashes" >&2; status=1; }
exit $status
