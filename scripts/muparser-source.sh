#!/usr/bin/env bash
# Fetches Debian's muparser source package into build/third_party/muparser
# (for the WebAssembly build, which compiles muparser itself; nothing of it is
# committed). The deb-src entries are derived from this machine's own apt
# sources, and apt works on lists and caches of its own under build/, so the
# machine's package lists stay untouched. Prints the source folder.
#
#   scripts/muparser-source.sh            # fetch if missing
#   scripts/muparser-source.sh --force    # fetch again
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dest=$root/build/third_party/muparser
apt_dir=$root/build/third_party/apt

if [ "${1:-}" != "--force" ] && [ -f "$dest/include/muParser.h" ]; then
  echo "$dest"
  exit 0
fi
command -v dpkg-source >/dev/null || { echo "dpkg-source is missing (package dpkg-dev)" >&2; exit 1; }

mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
list=$apt_dir/sources.list
: >"$list"
rm -f "$apt_dir"/sources.list.d/*

# One-line entries: every "deb" line again as "deb-src".
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' "$f" >>"$list"
done
# deb822 entries: the same stanzas with "Types: deb-src".
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done

apt_opts=(
  -o "Dir::Etc::sourcelist=$list"
  -o "Dir::Etc::sourceparts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  # The folders under build/ belong to the caller, not to apt's download user.
  -o "APT::Sandbox::User=$(id -un)"
)

# The same version as the native build's libmuparser-dev, when it is installed.
want=muparser
version=$(dpkg-query -W -f='${source:Version}' libmuparser-dev 2>/dev/null || true)
[ -n "$version" ] && want="muparser=$version"

if ! ls "$apt_dir"/lists/*_Sources* >/dev/null 2>&1; then
  apt-get "${apt_opts[@]}" update -qq
fi
work=$(mktemp -d "$root/build/third_party/fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && apt-get "${apt_opts[@]}" source --download-only -qq "$want" >&2); then
  # The source lists may be older than the package: read them once more.
  apt-get "${apt_opts[@]}" update -qq
  (cd "$work" && apt-get "${apt_opts[@]}" source --download-only -qq "$want" >&2)
fi
dsc=$(ls "$work"/*.dsc)
dpkg-source -x "$dsc" "$work/src" >&2
rm -rf "$dest"
mv "$work/src" "$dest"
echo "$dest"
