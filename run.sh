#!/usr/bin/env bash
# Installs what is missing, builds Veltra and starts it (with a surface file, if named).
set -euo pipefail
# A file to load is named relative to where the caller stands.
args=()
for a in "$@"; do
  if [ -e "$a" ]; then args+=("$(realpath "$a")"); else args+=("$a"); fi
done
cd "$(dirname "$0")"
source scripts/setup.sh

install_missing
build_preset default

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; starting Veltra under Xvfb (nothing will be visible)." >&2
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/default/veltra "${args[@]}"
fi
exec build/default/veltra "${args[@]}"
