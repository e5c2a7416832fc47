#!/usr/bin/env bash
# Installs what is missing, builds Veltra and starts it (with a surface file, if named).
# With --web: builds the page instead and serves it on 127.0.0.1 (port
# VELTRA_PORT, 8000 unless set), printing the address.
set -euo pipefail
if [ "${1:-}" = "--web" ]; then
  cd "$(dirname "$0")"
  source scripts/setup.sh
  install_missing
  build_web
  port=${VELTRA_PORT:-8000}
  echo "Veltra in the browser: http://127.0.0.1:${port}/  (Ctrl+C stops the server)"
  echo "build/web/page is static: copy the folder to any web server."
  exec python3 -m http.server --bind 127.0.0.1 --directory build/web/page "$port"
fi
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
