#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: installs missing Debian packages,
# then configures and builds the given CMake presets.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libgles-dev libegl-mesa0
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth locales libx11-dev libxtst-dev
  desktop-file-utils gettext
  libmuparser-dev qt6-image-formats-plugins qt6-charts-dev qt6-translations-l10n
  lintian appstream dpkg-dev file fakeroot man-db groff-base
  weston qt6-wayland imagemagick librsvg2-bin xdotool openbox x11-utils
  emscripten nodejs chromium
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

# The settings and label tests also run under a German locale.
ensure_german_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "Generating locale de_DE.UTF-8"
    if [ -f /etc/locale.gen ]; then
      as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
      grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
      as_root locale-gen >/dev/null
    else
      as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
  fi
}

build_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

# muparser's source for the WebAssembly build (Debian's source package, under build/).
ensure_muparser_source() {
  scripts/muparser-source.sh >/dev/null
}

# The core in WebAssembly (preset web): emscripten, muparser's source, then
# configure and build. node finds emscripten's JavaScript modules (acorn) only
# through NODE_PATH; the preset sets it as well. The web preset's checksum test
# compares with the default preset's native level_checksum, built here too.
build_web() {
  install_missing
  ensure_muparser_source
  export NODE_PATH=/usr/share/nodejs
  [ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
  # The native programs the web tests compare with.
  cmake --build --preset default --target level_checksum desktop_pictures
  # The page bundles its charting library from the npm packages.
  ensure_page_packages
  build_preset web
}

# The browser tests' npm packages, from the committed lock file. On Debian's
# own node, npm is a package of its own.
ensure_page_packages() {
  if ! command -v npm >/dev/null; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq npm
  fi
  if [ ! -d web/node_modules/puppeteer-core ] || [ ! -d web/node_modules/uplot ]; then
    # puppeteer-core drives Debian's chromium; it downloads no browser.
    (cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund)
  fi
}
