#!/usr/bin/env bash
# Installs what is missing, builds every preset it needs once and runs every test: unit and UI
# tests under AddressSanitizer and UndefinedBehaviorSanitizer and each fuzz target for a bounded
# time, all from the one sanitizer build (clang); the Linux packages (the Debian package and the
# portable folder) as a player's system uses them; and the Windows build's tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"

jobs=$(nproc 2>/dev/null || echo 2)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
# The compiler cache is shared by every checkout of the project on this machine: paths below the
# checkout count as relative, so a second clone (or CI's fresh one) hits the same entries.
export CCACHE_BASEDIR="$root" CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/trackwright-ccache}
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G} CCACHE_NOHASHDIR=1
# What the tests keep of their own (locks, journals, kept original files) stays in the build tree,
# never in the home folder of whoever runs them.
export XDG_STATE_HOME="$root/build/test-home/state" XDG_DATA_HOME="$root/build/test-home/data"

status=0
# step NAME: starts a stage, after printing how long the one before took.
start=$(date +%s)
stage_start=
stage_name=
finish_stage() {
  if [ -n "$stage_start" ]; then echo "=== $stage_name: $(( $(date +%s) - stage_start )) s"; fi
}
step() {
  finish_stage
  echo; echo "=== $*"
  stage_name=$*
  stage_start=$(date +%s)
}

step "sanitizer build (clang, ASan + UBSan): tests and fuzz targets"
cmake --preset debug >/dev/null
cmake --build --preset debug -j "$jobs"

step "unit and UI tests"
ctest --preset debug -j "$jobs" || status=1

step "fuzz targets, ${FUZZ_SECONDS:-20} s each"
"$root/scripts/run-fuzzers.sh" "$root/build/debug" "${FUZZ_SECONDS:-20}" || status=1

step "Linux packages: the Debian package installed, the portable folder without the system's Qt"
"$root/scripts/test-linux-packages.sh" || status=1

if [ -x "$root/scripts/test-windows.sh" ]; then
  step "Windows build under Wine"
  "$root/scripts/test-windows.sh" || status=1
fi

finish_stage
echo
echo "All stages took $(( $(date +%s) - start )) s."
if [ $status -eq 0 ]; then echo "All test stages passed."; else echo "Some test stage FAILED."; fi
exit $status
