#!/usr/bin/env bash
# Builds trackwright-cli for 64-bit Windows (the `windows` preset, mingw-w64, statically linked)
# and packs it with a short README.txt into build/windows/trackwright-cli-windows-x64.zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build="$root/build/windows"
zipfile="$build/trackwright-cli-windows-x64.zip"

cmake --preset windows >/dev/null
if ! cmake --build --preset windows -j2 --target trackwright-cli; then
  echo "trackwright-cli could not be built (does src/cli have sources yet?)." >&2
  exit 1
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage=$(mktemp -d "${TMPDIR:-/tmp}/trackwright-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT

x86_64-w64-mingw32-strip -o "$stage/trackwright-cli.exe" "$build/src/trackwright-cli.exe"

# CRLF line ends, so that every Windows editor shows the lines.
sed 's/$/\r/' >"$stage/README.txt" <<EOF
trackwright-cli ${version} for 64-bit Windows
==========================================

The command-line companion of the Trackwright career editor for The Sims. It runs the
editor's own load, save and exchange operations without a window. It needs no installation
and no DLLs: unpack it anywhere and run it from a command prompt.

    trackwright-cli [--game DIR] COMMAND [ARGS...]

Commands:
    locate               where the game is and which files a load would use
    dump [--utf8]        load the game and print every career as JSON
    resave               load and save every game file, as File > Save does
    export INDEX FILE    write career INDEX as an exported career track
    backup FILE          write a backup of all careers
    import FILE INDEX    import an exported track over career INDEX and save
    restore FILE         restore a backup and save
    sample DIR           write a sample installation into DIR

Without --game the game folder comes from the SIMS_DATA environment variable, else from the
game's registry key (HKEY_LOCAL_MACHINE\Software\Maxis\The Sims).

Exit status: 0 success, 1 the operation failed, 2 wrong usage. Messages go to standard
error as "Title: text" lines.

Back up your game folder before you change it: resave, import and restore write the
game's files.
EOF

rm -f "$zipfile"
(cd "$stage" && zip -q -X -9 "$zipfile" trackwright-cli.exe README.txt)
echo "Wrote $zipfile"
unzip -l "$zipfile"
