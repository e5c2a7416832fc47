#!/usr/bin/env bash
# Installs what is missing, builds the default, the sanitizer and the release
# (-O3) configuration and runs the whole suite in each (the package and
# Wayland checks once), then the core's tests in WebAssembly under node.
# Starts Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

install_missing
ensure_german_locale

export QT_QPA_PLATFORM=xcb
# Mesa's software renderer; no GPU is needed.
export LIBGL_ALWAYS_SOFTWARE=1

run_suite() {
  local preset=$1
  shift
  build_preset "$preset"
  ctest --preset "$preset" --output-on-failure -j2 "$@"
}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

run_suite default
run_suite sanitize
# An optimiser may reorder operations; the suite must not depend on it.
run_suite release -E "^(debian_package|wayland_session)$"
# The core in WebAssembly, its tests under node; the page in headless chromium.
ensure_page_packages
build_web
ctest --preset web --output-on-failure -j2
