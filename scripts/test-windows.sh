#!/usr/bin/env bash
# Cross-builds everything for 64-bit Windows (the `windows` preset, mingw-w64, linked statically)
# and runs it under Wine:
#   - Qt for Windows, built from Debian's source once and then taken from its cache
#     (scripts/build-qt-windows.sh), and the rules of that cache;
#   - the unit tests, and the editor's UI tests on the offscreen platform;
#   - the CLI: `sample`, `dump`, `resave`, `export` and `import` on a sample installation in a
#     folder whose name holds a letter beyond ASCII, and a `dump` that finds that folder through
#     the registry;
#   - the release zip (scripts/package-windows.sh): what it holds, and that its programs import
#     only Windows' own DLLs;
#   - on a virtual display, with the windows platform: the system menu's About item, and the
#     editor from the unpacked zip on a sample installation, whose main window's picture must
#     show the careers listed (build/windows/screenshots/main-window.png).
#
# Wine runs in a fresh, temporary prefix that is created first (its first-run messages go to a
# log shown only on failure) and removed at the end. Exit status: 0 when every stage passed.
#
# Environment: WINE (the 64-bit loader, default /usr/lib/wine/wine64), WINESERVER,
# TEST_TIMEOUT (seconds for each test executable, default 900).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-$(dirname "$wine")/wineserver}
build="$root/build/windows"
tests_exe="$build/tests/trackwright_core_tests.exe"
ui_tests_exe="$build/tests/trackwright_ui_tests.exe"
cli_exe="$build/src/trackwright-cli.exe"
zipfile="$build/trackwright-windows-x64.zip"
shots="$build/screenshots"

export WINEDEBUG=-all
# Wine turns the command line's bytes into UTF-16 with the locale's character set; the game
# folder's name below needs UTF-8 for that.
export LC_ALL=C.UTF-8
# No desktop integration or Mono/Gecko installers in a throw-away prefix.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

work=$(mktemp -d "${TMPDIR:-/tmp}/trackwright-windows.XXXXXX")
export WINEPREFIX="$work/prefix"
log="$work/log"

xvfb_pid=
cleanup() {
  if [ -x "$wineserver" ] && [ -d "$WINEPREFIX" ]; then "$wineserver" -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
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

configure() {
  quiet cmake --preset windows || return 1
  grep -q '^TRACKWRIGHT_BUILD_UI:BOOL=ON' "$build/CMakeCache.txt" && [ -f "$build/build.ninja" ] &&
    ninja -C "$build" -t query src/trackwright.exe >/dev/null 2>&1 ||
    { echo "The windows preset found no Qt for Windows: the editor would be left out."; return 1; }
}
build() { cmake --build --preset windows -j2; }

# Windows' own DLLs, which every 64-bit Windows 10 and 11 has. Anything else (the compiler's
# runtime, Qt, zlib) must be linked into the program.
# (The api-ms-win-* names are Windows' own API sets.)
system_dlls=" advapi32 api-ms-win-core-synch-l1-2-0 api-ms-win-core-winrt-l1-1-0
  api-ms-win-core-winrt-string-l1-1-0 authz bcrypt comctl32 comdlg32 crypt32 d3d11 d3d9 dwmapi dwrite
  dxgi gdi32 imm32 kernel32 mpr msvcrt netapi32 ole32 oleaut32 setupapi shcore shell32 shlwapi
  user32 userenv uxtheme version winmm ws2_32 wtsapi32 "

# imports_only_system EXE...: each program imports Windows' own DLLs and nothing else.
imports_only_system() {
  local exe dll dlls bad=0
  for exe in "$@"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p') || return 1
    [ -n "$dlls" ] || { echo "No imports read from $exe"; return 1; }
    for dll in $dlls; do
      dll=$(printf '%s' "${dll%.[dD][lL][lL]}" | tr 'A-Z' 'a-z')
      case "$system_dlls" in
        *[[:space:]]"$dll"[[:space:]]*) ;;
        *) echo "$(basename "$exe") imports $dll.dll, which Windows does not have"; bad=1 ;;
      esac
    done
  done
  return $bad
}

make_prefix() {
  [ -x "$wine" ] || { echo "No Wine loader at $wine (package wine64)."; return 1; }
  # The first start of a prefix writes its registry and folders and prints notes about it
  # (and about the missing 32-bit part); none of that belongs to the tests.
  quiet timeout 300 "$wine" wineboot --init || return 1
  # Qt's offscreen platform for Windows takes its fonts from the folder in QT_QPA_FONTDIR: the
  # DejaVu fonts of the Linux tests. Wine passes no QT_ variable on from this shell, so the
  # prefix's own environment holds it.
  quiet "$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ \
    /d "$(winpath /usr/share/fonts/truetype/dejavu)" /f || return 1
  # Qt for Windows asks for Arial where the editor asks for a sans-serif font. Wine has no
  # Arial and would take its first font instead (DejaVu Math TeX Gyre, whose tall glyph boxes
  # push the text of every line edit out of sight): DejaVu Sans stands in, as on Linux.
  quiet "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'DejaVu Sans' /f
}

unit_tests() {
  [ -f "$tests_exe" ] || { echo "Missing $tests_exe"; return 1; }
  timeout "${TEST_TIMEOUT:-900}" "$wine" "$tests_exe" --gtest_brief=1
}

ui_tests() {
  [ -f "$ui_tests_exe" ] || { echo "Missing $ui_tests_exe"; return 1; }
  # From the tests' build folder, where they leave their pictures, as under ctest.
  (cd "$build/tests" && timeout "${TEST_TIMEOUT:-900}" "$wine" "$ui_tests_exe" --gtest_brief=1 -platform offscreen)
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

# The release zip holds the two programs, their notes and the licences, and nothing else; the
# programs import only Windows' own DLLs. Unpacked, it is what the editor runs from below.
release_zip() {
  quiet "$root/scripts/package-windows.sh" || return 1
  local expected listed
  expected=$(printf '%s\n' LICENSE.txt README.txt licenses/GPL-3.0.txt licenses/Qt-LGPL-3.0.txt \
    licenses/Qt-build-options.txt licenses/Qt-third-party-notices.txt trackwright-cli.exe trackwright.exe)
  listed=$(zipinfo -1 "$zipfile" | grep -v '/$' | LC_ALL=C sort)
  if [ "$listed" != "$expected" ]; then
    echo "The zip holds:"; echo "$listed"; echo "It should hold:"; echo "$expected"
    return 1
  fi
  rm -rf "$work/unpacked"
  unzip -q "$zipfile" -d "$work/unpacked" || return 1
  local file
  for file in $expected; do
    [ -s "$work/unpacked/$file" ] || { echo "$file is empty"; return 1; }
  done
  grep -q 'GNU LESSER GENERAL PUBLIC LICENSE' "$work/unpacked/licenses/Qt-LGPL-3.0.txt" &&
    grep -q 'Version 3' "$work/unpacked/licenses/Qt-LGPL-3.0.txt" ||
    { echo "licenses/Qt-LGPL-3.0.txt is not the LGPL 3"; return 1; }
  # Windows' editors want CRLF line ends.
  if grep -q -v $'\r$' "$work/unpacked/README.txt"; then echo "README.txt has lines without CR"; return 1; fi
  imports_only_system "$work/unpacked/trackwright.exe" "$work/unpacked/trackwright-cli.exe"
}

# A virtual X display for the windows platform under Wine.
virtual_display() {
  local fifo="$work/display"
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local number
  if ! read -r -t 30 number <"$fifo"; then cat "$work/xvfb.log"; return 1; fi
  export DISPLAY=":$number"
  echo "display $DISPLAY"
}

system_menu() {
  local out="$work/system-menu.out"
  (cd "$build/tests" && timeout "${TEST_TIMEOUT:-900}" "$wine" "$ui_tests_exe" -platform windows \
    --gtest_filter='SystemMenuTest.*') >"$out" 2>&1 || { cat "$out"; return 1; }
  # The test must have run and passed: skipped would mean another platform than windows.
  if ! grep -q '^\[  PASSED  \] 1 test' "$out" || grep -q SKIPPED "$out"; then cat "$out"; return 1; fi
  grep -a 'PASSED' "$out"
}

# The editor as a player gets it (from the unpacked zip, in a prefix with nothing else) starts
# with the windows platform on a sample installation and saves its main window's picture, which
# must show the careers and jobs listed, as the Linux picture does.
editor_starts() {
  local game="$work/Sample game" shot="$shots/main-window.png"
  mkdir -p "$shots"
  rm -f "$shot"
  cli smoke-sample sample "$(winpath "$game")" || return 1
  local rc=0
  timeout 120 env -u SIMS_DATA "$wine" "$work/unpacked/trackwright.exe" \
    --game "$(winpath "$game")" --screenshot "$(winpath "$shot")" >"$work/editor.out" 2>&1 || rc=$?
  if [ $rc -ne 0 ] || [ ! -s "$shot" ]; then
    echo "trackwright.exe exited with $rc and left no picture:"; cat "$work/editor.out"; return 1
  fi
  /usr/bin/python3 "$root/scripts/lib/check-screenshot.py" "$shot" "$root/docs/images/main-window.png"
}

total=$(now)
stage "Qt for Windows (built once, then taken from its cache)" "$root/scripts/build-qt-windows.sh"
stage "Qt cache rules" "$root/tests/scripts/qt-cache-test.sh"
stage "configure (windows preset)" configure
stage "build (mingw-w64, -j2)" build
stage "Wine prefix" make_prefix
stage "unit tests under Wine" unit_tests
stage "UI tests under Wine (offscreen platform)" ui_tests
stage "CLI under Wine: sample, dump, resave, export, import, originals, restore, dump via registry" cli_round
stage "release zip: contents, only Windows' own DLLs imported" release_zip
stage "virtual display" virtual_display
stage "system menu's About item under Wine (windows platform)" system_menu
stage "editor from the zip under Wine: sample installation, main window's picture" editor_starts
echo "--- Windows build and tests passed ($(elapsed "$total") in all)"
