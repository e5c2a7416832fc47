#!/usr/bin/env bash
# The page's module (veltra.wasm and its loader veltra.js), gzipped at the
# highest level, must stay below LIMIT bytes.
#   check_module_size.sh PAGE_DIR LIMIT
set -euo pipefail
dir=$1
limit=$2
size=$(cat "$dir/veltra.wasm" | gzip -9 | wc -c)
size=$((size + $(gzip -9 <"$dir/veltra.js" | wc -c)))
echo "veltra.wasm + veltra.js gzipped: $size bytes (limit $limit)"
[ "$size" -lt "$limit" ]
