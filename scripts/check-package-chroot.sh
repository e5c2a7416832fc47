#!/usr/bin/env bash
# Installs the Debian package with apt into a fresh, minimal Debian 12 system
# (debootstrap --variant=minbase, nothing of the build dependencies) and checks
# that the program works there: --version and --help, no unresolved library,
# the Qt plugins in place, and both views drawn on X11 (Xvfb) and on Wayland
# (headless Weston). The display servers run on this machine; only their
# sockets are shared with the chroot, so nothing but the package and what
# apt pulls in for it is installed there. Recommended packages are left out:
# Depends alone must suffice.
#
# Usage (as root): scripts/check-package-chroot.sh [PACKAGE.deb]
#   Without an argument the package is built with the default preset
#   (cmake --build --preset default --target package).
# Environment:
#   MIRROR       Debian mirror (default: http://deb.debian.org/debian)
#   CHROOT_BASE  where the pristine minimal system is kept between runs
#                (default: /var/tmp/veltra-bookworm-minbase); every run works
#                on a fresh copy of it
#   KEEP=1       keep the working copy for inspection
# Needs: debootstrap, Xvfb, weston, weston-screenshooter, ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

MIRROR=${MIRROR:-http://deb.debian.org/debian}
CHROOT_BASE=${CHROOT_BASE:-/var/tmp/veltra-bookworm-minbase}

if [ "$(id -u)" -ne 0 ]; then
  echo "run as root (debootstrap, chroot and mount need it)" >&2
  exit 1
fi
for tool in debootstrap Xvfb weston weston-screenshooter import convert; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install debootstrap xvfb weston imagemagick)" >&2; exit 1; }
done

deb=${1:-}
if [ -z "$deb" ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target package
  deb=$(ls -t build/default/veltra_*_amd64.deb | head -n 1)
fi
deb=$(realpath "$deb")
echo "package: $deb"

if [ ! -x "$CHROOT_BASE/usr/bin/apt-get" ]; then
  echo "creating the minimal system in $CHROOT_BASE (once)"
  rm -rf "$CHROOT_BASE"
  debootstrap --variant=minbase bookworm "$CHROOT_BASE" "$MIRROR"
fi

root=$(mktemp -d /var/tmp/veltra-chroot.XXXXXX)
xvfb_pid=
weston_pid=
mounted=()
cleanup() {
  set +e
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  # Ends whatever still runs inside the copy (the program, apt's helpers).
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}"; done
  if [ "${KEEP:-0}" = 1 ]; then echo "kept: $root"; else rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

cp -a "$CHROOT_BASE/." "$root/"
mount_in() { # how target
  mkdir -p "$root/$2"
  case $1 in
    proc) mount -t proc proc "$root/$2" ;;
    sysfs) mount -t sysfs sysfs "$root/$2" ;;
    *) mount --bind "$1" "$root/$2" ;;
  esac
  mounted+=("$root/$2")
}
mount_in proc proc
mount_in sysfs sys
mount_in /dev dev
cp /etc/resolv.conf "$root/etc/resolv.conf"
echo "deb $MIRROR bookworm main" >"$root/etc/apt/sources.list"

chroot_env=(/usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8)
in_chroot() { chroot "$root" "${chroot_env[@]}" "$@"; }

cp "$deb" "$root/tmp/"
in_chroot apt-get update -qq
in_chroot env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  "/tmp/$(basename "$deb")"

echo "--- veltra --version / --help"
in_chroot veltra --version
in_chroot veltra --help >/dev/null
set +e
in_chroot veltra --bogus >/dev/null 2>&1
status=$?
set -e
[ "$status" -eq 2 ] || { echo "FAIL: --bogus ended with $status, expected 2" >&2; exit 1; }

echo "--- libraries and plugins"
qtplugins=/usr/lib/x86_64-linux-gnu/qt6/plugins
files=(/usr/bin/veltra
       $qtplugins/platforms/libqxcb.so $qtplugins/platforms/libqwayland-egl.so
       $qtplugins/xcbglintegrations/libqxcb-glx-integration.so
       $qtplugins/wayland-graphics-integration-client/libqt-plugin-wayland-egl.so
       $qtplugins/wayland-shell-integration/libxdg-shell.so
       $qtplugins/imageformats/libqjpeg.so $qtplugins/imageformats/libqgif.so
       $qtplugins/imageformats/libqtiff.so $qtplugins/imageformats/libqwebp.so
       /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so)
for f in "${files[@]}"; do
  [ -e "$root$f" ] || { echo "FAIL: missing in the fresh system: $f" >&2; exit 1; }
  if in_chroot ldd "$f" | grep -q "not found"; then
    echo "FAIL: unresolved libraries of $f:" >&2
    in_chroot ldd "$f" | grep "not found" >&2
    exit 1
  fi
done
echo "all present, no unresolved library"

# Red (function view) and green (data view) pixels, as in the Wayland test.
count_pixels() { # file channel other1 other2
  convert "$1" -alpha off -separate \
    \( -clone "$2" -clone "$3" -compose minus_src -composite \) \
    \( -clone "$2" -clone "$4" -compose minus_src -composite \) \
    -delete 0-2 -evaluate-sequence min -threshold 30% -format '%[fx:round(mean*w*h)]' info:
}
check_views() { # screenshot label
  local red green
  red=$(count_pixels "$1" 0 1 2)
  green=$(count_pixels "$1" 1 0 2)
  echo "$2: $red red, $green green pixels"
  [ "$red" -ge 5000 ] && [ "$green" -ge 5000 ]
}
# Runs the program in the chroot until the views show or 30 s have passed.
run_and_look() { # label screenshot-command... ; environment in $program_env
  local label=$1
  shift
  # chroot and env exec, so $! is the program itself.
  chroot "$root" "${chroot_env[@]}" "${program_env[@]}" veltra >"$root/tmp/veltra-$label.log" 2>&1 &
  local pid=$! ok=1
  SECONDS=0
  while [ "$SECONDS" -lt 30 ]; do
    sleep 1
    kill -0 "$pid" 2>/dev/null || break
    "$@" "$root/tmp/shot-$label.png" >/dev/null 2>&1 || continue
    if check_views "$root/tmp/shot-$label.png" "$label"; then ok=0; break; fi
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [ "$ok" -ne 0 ]; then
    echo "FAIL: $label: the views did not draw; the program said:" >&2
    cat "$root/tmp/veltra-$label.log" >&2
    exit 1
  fi
}

echo "--- X11 (Xvfb on this machine, socket shared)"
display=:97
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -S /tmp/.X11-unix/X97 ] && break; sleep 0.1; done
mount_in /tmp/.X11-unix tmp/.X11-unix
program_env=(DISPLAY=$display QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1)
x_shot() { DISPLAY=$display import -window root "$1"; }
run_and_look x11 x_shot

echo "--- Wayland (headless Weston on this machine, socket in the chroot)"
runtime=$root/run/veltra-wayland
mkdir -p "$runtime"
chmod 0700 "$runtime"
printf '[core]\nidle-time=0\n[shell]\nbackground-color=0xffffffff\npanel-position=none\nanimation=none\nstartup-animation=none\n' \
  >"$runtime/weston.ini"
XDG_RUNTIME_DIR=$runtime weston --config="$runtime/weston.ini" --backend=headless-backend.so --use-pixman \
  --width=3200 --height=2000 --socket=wl-check --debug >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$runtime/wl-check" ] && break; sleep 0.1; done
program_env=(XDG_RUNTIME_DIR=/run/veltra-wayland WAYLAND_DISPLAY=wl-check QT_QPA_PLATFORM=wayland
             LIBGL_ALWAYS_SOFTWARE=1)
w_shot() {
  local dir
  dir=$(mktemp -d)
  (cd "$dir" && XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=wl-check weston-screenshooter) &&
    mv "$dir"/*.png "$1"
  rm -rf "$dir"
}
run_and_look wayland w_shot

echo "PASS: the package installs into a minimal Debian 12 and runs on X11 and Wayland"
