#!/usr/bin/env bash
# Cross-builds the core, the CLI and the unit tests for 64-bit Windows (the `windows` preset,
# mingw-w64) and runs them under Wine: the unit-test executable, then, when the CLI is built, a
# round of `sample`, `dump`, `resave`, `export` and `import` on a sample installation in a folder
# whose name holds a letter beyond ASCII, and a `dump` that finds that folder through the
# registry.
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
# Wine turns the command line's bytes into UTF-16 with the locale's character set; the game
# folder's name below needs UTF-8 for that.
export LC_ALL=C.UTF-8
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

# cli NAME ARGS...: one CLI run; its standard output goes to $work/NAME.out. The location
# variables of this shell are kept from it: only --game or the registry may name the folder.
cli() {
  local name=$1; shift
  local rc=0
  timeout 120 env -u SIMS_DATA -u EP3Installed -u EP4Installed "$wine" "$cli_exe" "$@" \
    >"$work/$name.out" 2>"$work/$name.err" || rc=$?
  if [ $rc -ne 0 ]; then
    echo "trackwright-cli $* exited with $rc"
    cat "$work/$name.err"
    return 1
  fi
  # Messages (warnings included) are part of the run; show them.
  if [ -s "$work/$name.err" ]; then sed 's/^/    /' "$work/$name.err"; fi
  return 0
}

# check_dump NAME GAME: NAME.out is one JSON document of a loaded game whose folder is GAME, with
# careers in it.
check_dump() {
  python3 - "$work/$1.out" "$2" <<'PY' || { echo "$1: the dump is not what it should be"; return 1; }
import json, sys
with open(sys.argv[1], "rb") as f:
    dump = json.load(f)
if dump["gameFolder"] != sys.argv[2]:
    sys.exit("gameFolder is %r, not %r" % (dump["gameFolder"], sys.argv[2]))
if len(dump["careers"]) < 2:
    sys.exit("fewer than two careers")
PY
}

# check_import BEFORE AFTER: career 1 of AFTER is career 0 of BEFORE (its track, texts and card
# items), under career 1's own resource id; career 0 is unchanged.
check_import() {
  python3 - "$work/$1.out" "$work/$2.out" <<'PY' || { echo "the import did not copy career 0 over career 1"; return 1; }
import json, sys
def load(path):
    with open(path, "rb") as f:
        return json.load(f)["careers"]
before, after = load(sys.argv[1]), load(sys.argv[2])
def items(career):
    return [card["items"] for card in career["cards"]]
source, target = before[0], after[1]
problems = []
if after[0] != source: problems.append("career 0 changed")
if target["id"] != before[1]["id"]: problems.append("career 1 lost its id")
for key in ("name", "levels", "strings"):
    if target[key] != source[key]: problems.append("career 1's %s differ from career 0's" % key)
if items(target) != items(source): problems.append("career 1's card items differ from career 0's")
if problems: sys.exit("; ".join(problems))
PY
}

# The game files the sample wrote, then a load, a save of everything, a load of what was saved,
# an export of one career imported over another, the originals given back, and a load that finds
# the game through the registry. The folder's name holds a letter of the ANSI code page beyond ASCII: the CLI takes
# its arguments from the wide command line and keeps them in that code page.
cli_round() {
  [ -f "$cli_exe" ] || { echo "Missing $cli_exe"; return 1; }
  local game; game=$(winpath "$work/Spiel ä")
  local track="$game\\Karriere 0.iff"
  cli sample sample "$game" || return 1
  cli dump --game "$game" dump || return 1
  check_dump dump "$game" || return 1
  cli resave --game "$game" resave || return 1
  cli dump-after-resave --game "$game" dump || return 1
  check_dump dump-after-resave "$game" || return 1
  cli export --game "$game" export 0 "$track" || return 1
  [ -s "$work/Spiel ä/Karriere 0.iff" ] || { echo "export wrote no file"; return 1; }
  cli import --game "$game" import "$track" 1 || return 1
  cli dump-after-import --game "$game" dump || return 1
  check_dump dump-after-import "$game" || return 1
  check_import dump-after-resave dump-after-import || return 1
  # The originals kept by the first changes, below %LOCALAPPDATA%\Trackwright\originals, and the
  # game given back exactly: a load then shows what the first one did.
  cli originals --game "$game" originals || return 1
  [ "$(wc -l <"$work/originals.out")" -eq 4 ] || { echo "originals should list four files:"; cat "$work/originals.out"; return 1; }
  compgen -G "$WINEPREFIX/drive_c/users/*/AppData/Local/Trackwright/originals/*/manifest.json" >/dev/null ||
    { echo "no manifest of kept originals below %LOCALAPPDATA%\Trackwright\originals"; return 1; }
  cli restore-originals --game "$game" restore-originals || return 1
  cli dump-after-restore --game "$game" dump || return 1
  cmp -s "$work/dump.out" "$work/dump-after-restore.out" || { echo "the restored game differs from the first one"; return 1; }
  # Where the game's installer leaves its folder: the 32-bit view of the machine's key.
  quiet "$wine" reg add 'HKLM\Software\Maxis\The Sims' /v SIMS_DATA /t REG_SZ /d "$game" /reg:32 /f || return 1
  cli dump-from-registry dump || return 1
  check_dump dump-from-registry "$game" || return 1
  quiet "$wine" reg delete 'HKLM\Software\Maxis\The Sims' /reg:32 /f || return 1
}

total=$(now)
stage "configure (windows preset)" configure
stage "build (mingw-w64, -j2)" build
stage "Wine prefix" make_prefix
stage "unit tests under Wine" unit_tests
# Only a CLI that this tree builds is run, never one left over in the build folder.
if ninja -C "$build" -t query src/trackwright-cli.exe >/dev/null 2>&1; then
  stage "CLI under Wine: sample, dump, resave, export, import, originals, restore, dump via registry" cli_round
else
  echo "--- this tree builds no trackwright-cli.exe yet: CLI run skipped"
fi
echo "--- Windows build and tests passed ($(elapsed "$total") in all)"
