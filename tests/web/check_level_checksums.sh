#!/usr/bin/env bash
# The level steps 6 -> 2 -> 6 in WebAssembly against the native build, bit
# for bit: both get the same surface bytes and must print the same checksums
# of every table and block. The sample surface itself is formed with sin,
# whose last bit may differ between the two C libraries, so the native
# build's bytes are fed to both (and then the WebAssembly build's own); how
# far the two samples differ is printed, not judged.
#
#   check_level_checksums.sh NATIVE_LEVEL_CHECKSUM RUNNER... WASM_LEVEL_CHECKSUM_JS
set -euo pipefail
native=$1
shift
wasm=("$@")
if [ ! -x "$native" ]; then
  echo "No native level_checksum at $native: build the default preset first" \
       "(cmake --build --preset default --target level_checksum)." >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$native" sample "$work/native-sample.bin"
"${wasm[@]}" sample "$work/wasm-sample.bin"
status=0
for input in native-sample wasm-sample; do
  "$native" steps "$work/$input.bin" >"$work/native-$input.txt"
  "${wasm[@]}" steps "$work/$input.bin" >"$work/wasm-$input.txt"
  # P and Q of 4 levels, the surface, 4 steps down and 4 up, and again on the copy.
  lines=$(wc -l <"$work/native-$input.txt")
  if [ "$lines" -ne 25 ]; then
    echo "native steps on $input: $lines lines instead of 25" >&2
    status=1
  fi
  if diff "$work/native-$input.txt" "$work/wasm-$input.txt" >"$work/diff.txt"; then
    echo "steps on the $input: the same $lines checksums natively and in WebAssembly"
  else
    echo "steps on the $input: checksums differ (< native, > WebAssembly):" >&2
    cat "$work/diff.txt" >&2
    status=1
  fi
done
echo "Sample surface, native against WebAssembly sin:"
"$native" compare "$work/native-sample.bin" "$work/wasm-sample.bin"
for top in 6 7 8 9; do
  n=$((1 << top))
  "$native" sines "$work/native-sines.bin" "$top"
  "${wasm[@]}" sines "$work/wasm-sines.bin" "$top"
  echo "The sin values of the sample at top level $top (#0..$n: sin(7 i / $n)," \
       "#$((n + 1))..$((2 * n + 1)): sin(3 j / $n), i, j = -1..$((n - 1))):"
  "$native" compare "$work/native-sines.bin" "$work/wasm-sines.bin"
done
exit $status
