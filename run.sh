#!/usr/bin/env bash
# Installs what is missing, builds Veltra and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

install_missing
build_preset default

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found; starting Veltra under Xvfb (nothing will be visible)." >&2
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/default/veltra
fi
exec build/default/veltra
