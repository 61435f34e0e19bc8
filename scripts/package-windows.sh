#!/usr/bin/env bash
# Builds the editor and the command-line tool for 64-bit Windows (the `windows` preset,
# statically linked, with the Qt of scripts/build-qt-windows.sh) and packs the release zip
# build/windows/trackwright-windows-x64.zip:
#
#   trackwright.exe, trackwright-cli.exe   stripped; they import only Windows' own DLLs
#   README.txt                             running it, the game's folder, the files, the licences
#   LICENSE.txt                            this project's licence
#   licenses/                              Qt's licence (LGPL-3.0, with the GPL-3.0 it builds
#                                          on), the notices of the third-party code inside Qt,
#                                          and how that Qt was configured
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build="$root/build/windows"
zipfile="$build/trackwright-windows-x64.zip"

"$root/scripts/build-qt-windows.sh"
qt=$(cmake -P "$root/cmake/QtWindows.cmake" | sed -n 1p)/prefix

cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target trackwright trackwright-cli
for exe in trackwright trackwright-cli; do
  [ -f "$build/src/$exe.exe" ] || { echo "$build/src/$exe.exe was not built." >&2; exit 1; }
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
commit=$(git -C "$root" rev-parse --short=12 HEAD 2>/dev/null || echo unknown)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  commit="$commit and changes not yet committed"
fi
qt_version=$(sed -n '1s/^qtbase \([^ ]*\).*/\1/p' "$qt/licenses/BUILD-OPTIONS.txt")

stage=$(mktemp -d "${TMPDIR:-/tmp}/trackwright-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT

for exe in trackwright trackwright-cli; do
  x86_64-w64-mingw32-strip -o "$stage/$exe.exe" "$build/src/$exe.exe"
done
mkdir -p "$stage/licenses"
# CRLF line ends, so that every Windows editor shows the lines.
crlf() { sed 's/\r*$/\r/'; }
crlf <"$root/LICENSE" >"$stage/LICENSE.txt"
crlf <"$qt/licenses/LGPL-3.0.txt" >"$stage/licenses/Qt-LGPL-3.0.txt"
crlf </usr/share/common-licenses/GPL-3 >"$stage/licenses/GPL-3.0.txt"
crlf <"$qt/licenses/THIRD-PARTY.txt" >"$stage/licenses/Qt-third-party-notices.txt"
crlf <"$qt/licenses/BUILD-OPTIONS.txt" >"$stage/licenses/Qt-build-options.txt"

crlf >"$stage/README.txt" <<EOF
Trackwright ${version} for 64-bit Windows
======================================

Trackwright edits the career tracks of The Sims (2000): careers, job levels, their texts in
every language of the game, chance cards and job icons, in the game's own files.

Running it
----------
Unpack the zip into a folder of your choice and run trackwright.exe. Nothing needs to be
installed: both programs use only what every 64-bit Windows 10 or 11 has.

Where it finds the game
-----------------------
1. trackwright.exe --game "C:\\Program Files (x86)\\Maxis\\The Sims", or the SIMS_DATA
   environment variable.
2. The game's registry key HKEY_LOCAL_MACHINE\\Software\\Maxis\\The Sims (value SIMS_DATA),
   which the game's installer writes.
3. The folder you chose the last time, kept in %APPDATA%\\Trackwright\\game-folder.
4. The usual install folders (Program Files, Program Files (x86), the EA app's) and the
   Steam libraries.
When none of them holds the game, the editor says where it looked and asks for the folder.

Your game files
---------------
File > Save writes the changed careers, chance cards and job icons back into the game's
folder as one change: if anything fails on the way, every file stays as it was. Before a
game file is changed for the first time, Trackwright keeps a copy of it in
%LOCALAPPDATA%\\Trackwright\\originals\\. File > Restore Original Files... (or
trackwright-cli restore-originals) puts those copies back.

trackwright-cli
---------------
The command-line companion runs the editor's load, save and exchange code without a window,
from a command prompt:

    trackwright-cli [--game DIR] COMMAND [ARGS...]

    locate               where the game is and which files a load would use
    dump [--utf8]        load the game and print every career as JSON
    resave               load and save every game file, as File > Save does
    export CAREER FILE   write career CAREER as an exported career track
    backup FILE          write a backup of all careers
    import FILE CAREER   import an exported track over career CAREER and save
    restore FILE         restore a backup and save
    apply [--utf8] FILE  apply a changed dump (JSON) as one edit and save
    originals            list the original game files kept for this game
    restore-originals [--force]
                         put the kept original files back
    sample DIR           write a sample installation into DIR
    help [COMMAND]       the usage (also --help, -h), or that of one command

CAREER is #ID (the resource id the editor shows), the index from 0, or the internal name.

Exit status: 0 success, 1 the operation failed, 2 wrong usage. Messages go to standard
error as "Title: text" lines.

Licences and source
-------------------
Trackwright is free software under the MIT License (LICENSE.txt). This build: version
${version}, commit ${commit}.

trackwright.exe contains Qt ${qt_version%%+*} (Core, Gui, Widgets), linked statically, under the
GNU Lesser General Public License version 3 (licenses/Qt-LGPL-3.0.txt, which builds on
licenses/GPL-3.0.txt). Qt's source is Debian's source package qt6-base ${qt_version}
(apt-get source qt6-base=${qt_version} on Debian 12); licenses/Qt-build-options.txt
says how it was configured, and licenses/Qt-third-party-notices.txt lists the code of others
inside Qt. To use trackwright.exe with a Qt of your own, build that Qt and then the project's
source as its docs/windows.md describes (scripts/build-qt-windows.sh and the "windows"
preset); the relinked program works as this one does.
EOF

rm -f "$zipfile"
(cd "$stage" && zip -q -X -9 -r "$zipfile" trackwright.exe trackwright-cli.exe README.txt LICENSE.txt licenses)
echo "Wrote $zipfile"
unzip -l "$zipfile"
