#!/usr/bin/env bash
# Cross-builds the core, the CLI and the unit tests for 64-bit Windows (the `windows` preset,
# mingw-w64) and runs them under Wine: the unit-test executable, then, when the CLI is built, a
# short round of `sample`, `dump` and `resave` on a sample installation.
#
# Wine runs in a fresh, temporary prefix that is created first (its first-run messages go to a
# log shown only on failure) and removed at the end. Exit status: 0 when every stage passed.
#
# Environment: WINE (the 64-bit loader, default /usr/lib/wine/wine64), WINESERVER,
# TEST_TIMEOUT (seconds for the unit tests, default 900).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-$(dirname "$wine")/wineserver}
build="$root/build/windows"
tests_exe="$build/tests/trackwright_core_tests.exe"
cli_exe="$build/src/trackwright-cli.exe"

export WINEDEBUG=-all
# No desktop integration or Mono/Gecko installers in a throw-away prefix.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

work=$(mktemp -d "${TMPDIR:-/tmp}/trackwright-windows.XXXXXX")
export WINEPREFIX="$work/prefix"
log="$work/log"

cleanup() {
  if [ -x "$wineserver" ] && [ -d "$WINEPREFIX" ]; then "$wineserver" -k >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s%N; }
elapsed() { # start-nanoseconds -> "12.3 s"
  local ns=$(( $(now) - $1 ))
  printf '%d.%02d s' $(( ns / 1000000000 )) $(( ns / 10000000 % 100 ))
}

# stage NAME COMMAND...: runs one stage, prints how long it took, stops the script on failure.
stage() {
  local name=$1; shift
  local start; start=$(now)
  echo "--- $name"
  if "$@"; then
    echo "--- $name: ok ($(elapsed "$start"))"
  else
    local rc=$?
    echo "--- $name: FAILED with exit status $rc ($(elapsed "$start"))"
    exit 1
  fi
}

# Runs a command with its output in the log, showing the log only when it fails.
quiet() {
  local rc=0
  "$@" >"$log" 2>&1 || rc=$?
  if [ $rc -ne 0 ]; then cat "$log"; fi
  return $rc
}

# A path of this machine as the Windows program sees it (a new prefix maps Z: to /).
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }

configure() { quiet cmake --preset windows; }
build() { cmake --build --preset windows -j2; }

make_prefix() {
  [ -x "$wine" ] || { echo "No Wine loader at $wine (package wine64)."; return 1; }
  # The first start of a prefix writes its registry and folders and prints notes about it
  # (and about the missing 32-bit part); none of that belongs to the tests.
  quiet timeout 300 "$wine" wineboot --init
}

unit_tests() {
  [ -f "$tests_exe" ] || { echo "Missing $tests_exe"; return 1; }
  timeout "${TEST_TIMEOUT:-900}" "$wine" "$tests_exe" --gtest_brief=1
}

# cli NAME ARGS...: one CLI run; its standard output goes to $work/NAME.out.
cli() {
  local name=$1; shift
  local rc=0
  timeout 120 "$wine" "$cli_exe" "$@" >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  if [ $rc -ne 0 ]; then
    echo "trackwright-cli $* exited with $rc"
    cat "$work/$name.err"
    return 1
  fi
  # Messages (warnings included) are part of the run; show them.
  if [ -s "$work/$name.err" ]; then sed 's/^/    /' "$work/$name.err"; fi
  return 0
}

# The game files the sample wrote, then a load, a save of everything and a load of what was saved.
cli_round() {
  [ -f "$cli_exe" ] || { echo "Missing $cli_exe"; return 1; }
  local game; game=$(winpath "$work/game")
  cli sample sample "$game" || return 1
  cli dump --game "$game" dump || return 1
  if ! grep -q '"careers"' "$work/dump.out"; then echo "dump printed no careers"; return 1; fi
  cli resave --game "$game" resave || return 1
  cli dump-after-resave --game "$game" dump || return 1
  if ! grep -q '"careers"' "$work/dump-after-resave.out"; then echo "dump after resave printed no careers"; return 1; fi
}

total=$(now)
stage "configure (windows preset)" configure
stage "build (mingw-w64, -j2)" build
stage "Wine prefix" make_prefix
stage "unit tests under Wine" unit_tests
# Only a CLI that this tree builds is run, never one left over in the build folder.
if ninja -C "$build" -t query src/trackwright-cli.exe >/dev/null 2>&1; then
  stage "CLI under Wine: sample, dump, resave, dump" cli_round
else
  echo "--- this tree builds no trackwright-cli.exe yet: CLI run skipped"
fi
echo "--- Windows build and tests passed ($(elapsed "$total") in all)"
