#!/usr/bin/env bash
# The rules of the Windows Qt cache (scripts/lib/qt-cache.sh), with a builder that stands in for
# the Qt build: an entry is built when missing, reused while complete and undamaged, built
# again when unfinished or damaged, never marked complete after a failed build, and built once
# when two runs ask for it together.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/qt-cache.sh
. "$root/scripts/lib/qt-cache.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/qt-cache-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
entry="$work/cache/qt-entry"
builds="$work/builds"

# Builders: each counts its runs.
good_build() {
  echo run >>"$builds"
  mkdir -p "$1/lib" "$1/include"
  echo library >"$1/lib/libQt6Core.a"
  echo header >"$1/include/qglobal.h"
}
slow_build() { sleep 1; good_build "$@"; }
failing_build() {
  echo run >>"$builds"
  echo half >"$1/lib-half-written.a"
  return 1
}
empty_build() { echo run >>"$builds"; }

runs() { if [ -f "$builds" ]; then wc -l <"$builds"; else echo 0; fi; }
fresh() { rm -rf "$work/cache" "$builds"; }

passed=0
failed=0
# check NAME CONDITION...: one expectation.
check() {
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
ready() { qt_cache_ready "$entry"; }
not_ready() { ! qt_cache_ready "$entry"; }
equals() { [ "$1" = "$2" ]; }
fails() { ! "$@"; }
get() { qt_cache_get "$entry" "inputs of the key" "$@" >/dev/null 2>&1; }

# A missing entry is built and marked with what its key was made of; a complete one is reused.
fresh
check "a missing entry is built" get good_build
check "the build ran once" equals "$(runs)" 1
check "the entry is ready" ready
check "the mark names the key's inputs" equals "$(cat "$entry/complete")" "inputs of the key"
check "a ready entry is reused" get good_build
check "and not built again" equals "$(runs)" 1

# Each kind of unfinished or damaged entry is built again, and what it held is gone.
damages=(
  "rm $entry/complete"                       # the build stopped before its end
  "rm $entry/manifest"
  "echo changed >$entry/prefix/lib/libQt6Core.a"
  "rm $entry/prefix/include/qglobal.h"
  "truncate -s 0 $entry/manifest"
  "rm -r $entry/prefix"
)
for damage in "${damages[@]}"; do
  fresh
  get good_build
  echo stale >"$entry/prefix/stale-file"
  eval "$damage"
  check "after '$damage' the entry is not used" not_ready
  check "after '$damage' it is built again" get good_build
  check "after '$damage' the build ran again" equals "$(runs)" 2
  check "after '$damage' it is ready" ready
  check "after '$damage' nothing old is left" test ! -e "$entry/prefix/stale-file"
done

# A failed build, or one that installs nothing, never makes a ready entry; the next run builds.
for builder in failing_build empty_build; do
  fresh
  check "$builder reports failure" fails get "$builder"
  check "$builder leaves no ready entry" not_ready
  check "$builder leaves no mark" test ! -e "$entry/complete"
  check "after $builder the next run builds" get good_build
  check "after $builder the entry is ready" ready
done

# Two runs at once: one builds, the other waits and reuses.
fresh
get slow_build &
first=$!
sleep 0.2
get slow_build &
second=$!
check "the first of two runs succeeds" wait $first
check "the second of two runs succeeds" wait $second
check "two runs at once build once" equals "$(runs)" 1

echo "Qt cache: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
