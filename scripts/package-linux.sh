#!/usr/bin/env bash
# Builds the editor and the command-line tool for Linux (the `release` preset, without the
# benchmarks) and writes into build/linux:
#
#   trackwright_<version>_amd64.deb   the Debian package (CPack), for Debian 12 and its kin: both
#                                     programs, desktop entry, icons, AppStream metadata, manual
#                                     pages, copyright, changelog (cmake/LinuxPackage.cmake)
#   trackwright-linux-x64.tar.gz      the portable folder trackwright-linux-x64/, which runs from
#                                     wherever it is unpacked on a system without Qt (a Steam
#                                     Deck): both programs, the Qt libraries and plugins and
#                                     whatever else the programs need beyond the libraries of
#                                     cmake/linux/excludelist, found from the programs
#                                     (scripts/lib/linux-bundle.py); the starter trackwright.sh,
#                                     README.txt, the licences
#
# Times and dates inside both come from the last commit (SOURCE_DATE_EPOCH, unless set).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build="$root/build/release"
out="$root/build/linux"
folder_name=trackwright-linux-x64
tarball="$out/$folder_name.tar.gz"

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}

cmake --preset release -DTRACKWRIGHT_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release -j2 --target trackwright trackwright-cli trackwright-linux-files
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$out/trackwright_${version}_amd64.deb"

stage=$(mktemp -d "${TMPDIR:-/tmp}/trackwright-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The Debian package.
mkdir -p "$out"
rm -f "$out"/trackwright_*.deb "$tarball"
if ! cpack --config "$build/CPackConfig.cmake" -B "$stage/cpack" >"$stage/cpack.log" 2>&1; then
  cat "$stage/cpack.log" >&2
  exit 1
fi
mv "$stage/cpack/$(basename "$deb")" "$deb"
echo "Wrote $deb"

# The portable folder, from the same install as the package's.
cmake --install "$build" --prefix "$stage/install" --strip >/dev/null
folder="$stage/$folder_name"
mkdir -p "$folder/licenses"
cp "$stage/install/bin/trackwright" "$stage/install/bin/trackwright-cli" "$folder/"
qt_plugins=$(/usr/lib/qt6/bin/qtpaths6 --query QT_INSTALL_PLUGINS)
/usr/bin/python3 "$root/scripts/lib/linux-bundle.py" "$folder" "$root/cmake/linux/excludelist" "$qt_plugins" \
  trackwright trackwright-cli >"$stage/bundled"

# The programs and their libraries were built against this system's C library: the starter asks
# for that version or a newer one.
glibc=$(getconf GNU_LIBC_VERSION | sed -n 's/^glibc \([0-9]*\.[0-9]*\).*/\1/p')
qt_version=$(dpkg-query -W -f='${Version}' libqt6core6)
commit=$(git -C "$root" rev-parse --short=12 HEAD 2>/dev/null || echo unknown)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  commit="$commit and changes not yet committed"
fi
sed "s/@TRACKWRIGHT_GLIBC@/$glibc/" "$root/cmake/linux/trackwright.sh.in" >"$folder/trackwright.sh"
chmod 755 "$folder/trackwright.sh"
cp "$root/cmake/linux/icons/trackwright-256.png" "$folder/trackwright.png"
cp "$root/LICENSE" "$folder/LICENSE.txt"

# The licences of what the folder holds besides our own programs: each Debian package's
# copyright file, the common licences they refer to (a system without Debian has none of them),
# and which package and source each file comes from.
{
  echo "The files of this folder besides trackwright and trackwright-cli, each from a Debian 12 package"
  echo "(apt-get source PACKAGE=VERSION gives its source); the package's copyright file is"
  echo "licenses/PACKAGE.copyright."
  echo
  printf '%-72s %s\n' "File" "Debian package, version (source package)"
  declare -A sources=()
  while IFS=$'\t' read -r package source; do sources[$package]=$source; done < <(
    dpkg-query -W -f='${Package}\t${source:Package}\n' $(cut -f2 "$stage/bundled" | sort -u))
  while IFS=$'\t' read -r file package pversion; do
    printf '%-72s %s %s (%s)\n' "$file" "$package" "$pversion" "${sources[$package]}"
  done <"$stage/bundled"
} >"$folder/licenses/README.txt"
mkdir -p "$folder/licenses/common-licenses"
for package in $(cut -f2 "$stage/bundled" | sort -u); do
  cp "/usr/share/doc/$package/copyright" "$folder/licenses/$package.copyright"
  for common in $(grep -o '/usr/share/common-licenses/[A-Za-z0-9.+_-]*' "/usr/share/doc/$package/copyright" | sort -u); do
    common=${common%.}
    if [ -f "$common" ]; then cp "$common" "$folder/licenses/common-licenses/"; fi
  done
done

title="Trackwright ${version} for 64-bit Linux (x86-64)"
cat >"$folder/README.txt" <<EOF
${title}
${title//?/=}

Trackwright edits the career tracks of The Sims (2000): careers, job levels, their texts in
every language of the game, chance cards and job icons, in the game's own files. It finds the
game where Steam (the Legacy Collection under Proton), Lutris, Heroic, Bottles or Wine put it.

This folder runs from wherever it is unpacked, without installing anything: it carries Qt and
the other libraries that a system may lack. It needs an x86-64 Linux with the GNU C library
${glibc} (that of Debian 12) or newer, and an X11 desktop or a Wayland one with XWayland.
On Debian and Ubuntu, the package trackwright_${version}_amd64.deb installs the same programs
with a menu entry and manual pages instead.

Running it
----------
Start trackwright.sh: double-click it in the file manager (choose "Execute" or "Run" when
asked), or in a terminal:

    ./trackwright.sh

It checks the C library first and says when the system's is too old.

On a Steam Deck
---------------
1. Switch to Desktop Mode (Steam button > Power > Switch to Desktop).
2. Open the downloaded trackwright-linux-x64.tar.gz in Dolphin, the file manager, and extract it
   (right-click > Extract > Extract archive here), for instance in your home folder. Nothing
   is installed, and SteamOS's read-only system is not touched.
3. Quit the game, then double-click trackwright.sh in the folder trackwright-linux-x64 and choose
   "Execute". The editor finds the Legacy Collection in the Steam library, on the internal
   drive or on the SD card, and its Proton prefix.
4. To start it from the application menu: right-click the application launcher > Edit
   Applications..., New Item..., with the command /home/deck/trackwright-linux-x64/trackwright.sh
   (the folder where you put it) and the icon trackwright.png of the folder. From there, the
   entry's right-click menu can add it to Steam, to start it in Game Mode too.

Where it finds the game
-----------------------
1. trackwright.sh --game "FOLDER", or the SIMS_DATA environment variable.
2. The game's registry key in the Wine prefix (WINEPREFIX, default ~/.wine).
3. The folder you chose the last time, kept in ~/.config/trackwright/game-folder.
4. The Steam libraries (steamapps/common/The Sims Legacy Collection, and its Proton prefix
   steamapps/compatdata/3314060/pfx), Lutris, Heroic and Bottles prefixes, ~/Games and ~/.wine.
When none of them holds the game, the editor says where it looked and asks for the folder.

Your game files
---------------
File > Save writes the changed careers, chance cards and job icons back into the game's folder
as one change: if anything fails on the way, every file stays as it was. Before a game file is
changed for the first time, Trackwright keeps a copy of it in
~/.local/share/trackwright/originals/. File > Restore Original Files... (or
./trackwright-cli restore-originals) puts those copies back.

trackwright-cli
---------------
The command-line companion runs the editor's load, save and exchange code without a window:

    ./trackwright-cli [--game DIR] COMMAND [ARGS...]

Run it without a command to see the commands. Exit status: 0 success, 1 the operation failed,
2 wrong usage. Messages go to standard error as "Title: text" lines.

What is in this folder
----------------------
trackwright.sh               starts the editor
trackwright, trackwright-cli the editor and the command-line tool
lib/, plugins/, qt.conf      Qt ${qt_version%%+*} and the other libraries, from Debian 12
trackwright.png              the application's icon, for a menu entry
LICENSE.txt                  Trackwright's licence (MIT)
licenses/                    the licences of the libraries, and which Debian package each comes from

Licences and source
-------------------
Trackwright is free software under the MIT License (LICENSE.txt). This build is version
${version}, commit ${commit}.

The libraries in lib/ and plugins/ are Debian 12's, unchanged; licenses/README.txt names the
Debian package of each, whose source "apt-get source" gives, and licenses/ holds each package's
copyright file. Qt is under the GNU Lesser General Public License version 3
(licenses/common-licenses/LGPL-3): to use the programs with a Qt of your own, put its libraries
in lib/ and its plugins in plugins/ in place of these.
EOF

rm -f "$tarball"
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$SOURCE_DATE_EPOCH" \
  -C "$stage" -cf - "$folder_name" | gzip -n >"$tarball"
echo "Wrote $tarball ($(du -k "$tarball" | cut -f1) KiB; unpacked $(du -sk "$folder" | cut -f1) KiB)"
