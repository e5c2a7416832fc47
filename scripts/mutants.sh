#!/usr/bin/env bash
# Puts hand-made faults into the program one at a time, rebuilds, runs the
# tests and reports how many of the faults the tests caught. The tree is put
# back after each fault (and on interruption).
#
#   scripts/mutants.sh                  the Qt-free test programs (a few minutes)
#   scripts/mutants.sh --all            the whole suite, windows included (needs a display
#                                       or xvfb-run; much slower)
#   scripts/mutants.sh --tests REGEX    the whole build, but only the tests ctest -R REGEX picks
#                                       (e.g. 'tst_analyse|tst_bild' for faults in the windows)
#   scripts/mutants.sh --tests-from REF the same faults against the tests of REF (e.g. main)
#   scripts/mutants.sh --faults FILE    another fault list (default scripts/mutants/faults.tsv)
#
# A fault that no longer applies (its text is not on exactly one line) or that
# does not build is reported and not counted. Refuses to run on a tree with
# uncommitted changes, since it restores files with git checkout.
set -uo pipefail
cd "$(dirname "$0")/.."

all=0
testsFrom=""
only=()
faults=scripts/mutants/faults.tsv
while [ $# -gt 0 ]; do
  case "$1" in
    --all) all=1 ;;
    --tests-from) testsFrom=$2; shift ;;
    --tests) all=1; only=(-R "$2"); shift ;;
    --faults) faults=$2; shift ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done

if ! git diff --quiet || ! git diff --cached --quiet; then
  echo "uncommitted changes: commit or stash them first" >&2
  exit 2
fi

build=build/default
log=$(mktemp -d /tmp/veltra-mutants.XXXXXX)
current=""
restore() {
  [ -n "$current" ] && git checkout -q -- "$current"
  current=""
}
restore_tests() {
  if [ -n "$testsFrom" ]; then
    git checkout -q HEAD -- tests
    git clean -q -f -- tests
  fi
}
trap 'restore; restore_tests; echo "interrupted: files restored, the build may still hold a fault: rebuild" >&2; exit 130' INT TERM
trap 'restore; restore_tests' EXIT

if [ -n "$testsFrom" ] && [ -n "$(git ls-files --others --exclude-standard -- tests)" ]; then
  echo "untracked files under tests/: move them away first" >&2
  exit 2
fi
if [ -n "$testsFrom" ]; then
  # The other ref's tests exactly: its files, none of this branch's new ones.
  git rm -q -r --cached tests >/dev/null && git checkout -q "$testsFrom" -- tests || exit 2
  git ls-files --others --exclude-standard -- tests | while read -r f; do
    git cat-file -e "$testsFrom:$f" 2>/dev/null || rm -f -- "$f"
  done
  git reset -q -- tests
fi

unit_targets=(veltra_analysis_tests veltra_sources_tests veltra_render_tests)
run_build() {
  if [ "$all" = 1 ]; then cmake --build --preset default -j2
  else cmake --build --preset default -j2 --target "${unit_targets[@]}"; fi
}
run_tests() {
  if [ "$all" = 1 ]; then
    if [ -z "${DISPLAY:-}" ]; then
      xvfb-run -a -s "-screen 0 1280x1024x24" env LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb \
        ctest --preset default -j2 --stop-on-failure "${only[@]}"
    else
      LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb ctest --preset default -j2 --stop-on-failure "${only[@]}"
    fi
  else
    local t
    for t in "${unit_targets[@]}"; do "$build/tests/$t" --gtest_brief=1 || return 1; done
  fi
}

cmake --preset default >"$log/configure" 2>&1 || { echo "configure failed: $log/configure" >&2; exit 2; }
echo "building unchanged tree ..."
run_build >"$log/build" 2>&1 || { echo "build failed: $log/build" >&2; exit 2; }
run_tests >"$log/tests" 2>&1 || { echo "tests fail without faults: $log/tests" >&2; exit 2; }

caught=0 total=0 n=0
while IFS=$'\t' read -r file from to what; do
  case "$file" in ''|'#'*) continue ;; esac
  n=$((n + 1))
  if [ "$(grep -cF -- "$from" "$file" 2>/dev/null)" != 1 ]; then
    printf '%2d  STALE   %s: %s\n' "$n" "$file" "$what"
    continue
  fi
  current=$file
  FROM=$from TO=$to perl -pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$file"
  if ! run_build >"$log/build-$n" 2>&1 </dev/null; then
    printf '%2d  NOBUILD %s: %s\n' "$n" "$file" "$what"
    restore
    continue
  fi
  total=$((total + 1))
  if run_tests >"$log/tests-$n" 2>&1 </dev/null; then
    printf '%2d  MISSED  %s: %s\n' "$n" "$file" "$what"
  else
    caught=$((caught + 1))
    printf '%2d  caught  %s: %s\n' "$n" "$file" "$what"
  fi
  restore
done <"$faults"

restore_tests
echo "rebuilding unchanged tree ..."
run_build >"$log/build-final" 2>&1
echo "caught $caught of $total (logs in $log)"
