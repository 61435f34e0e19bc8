#!/usr/bin/env bash
# Builds the Linux packages (scripts/package-linux.sh) and checks them as a player's system uses
# them:
#   - lintian on the Debian package: no error, and no warning but the ones explained below;
#   - its desktop entry (desktop-file-validate) and AppStream metadata (appstreamcli validate
#     --no-net), whose id is the desktop file's, and its icons, of the sizes their folders name;
#   - its manual pages: trackwright-cli's shows the usage the program prints, trackwright's the
#     editor's usage line;
#   - the package installed on this machine with apt-get, both programs run from the system's
#     paths (trackwright-cli sample and dump, trackwright --screenshot on a virtual display),
#     then removed again;
#   - the portable folder unpacked: its starter refuses an older C library, its CLI runs, and its
#     editor, started by trackwright.sh with every Qt library of the system hidden (a private
#     mount namespace in which Debian's Qt libraries are empty files and its plugin folder is
#     empty), saves a picture that is checked; and the running editor's /proc/PID/maps, started
#     as on a Wayland desktop asking Qt for Wayland (the starter must add X11): every Qt library
#     and plugin, and every library the folder holds, mapped from the folder. Where no mount
#     namespace can be made (not root, or not permitted), the maps check alone stands for the
#     hidden Qt.
#
# Needs root, or sudo for apt-get. Exit status: 0 when every stage passed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

out="$root/build/linux"
build="$root/build/release"
shots="$out/screenshots"
reference="$root/docs/images/main-window.png"
qt_libs=$(/usr/lib/qt6/bin/qtpaths6 --query QT_INSTALL_LIBS)
qt_plugins=$(/usr/lib/qt6/bin/qtpaths6 --query QT_INSTALL_PLUGINS)

# The warnings lintian may give, each with the reason it is kept; any other warning, and any
# error, fails the check.
declare -A kept_warnings=(
  [wrong-name-for-changelog-of-native-package]="the version is the project's own, without a Debian
    revision, so lintian takes the package for a native one, whose changelog Debian names
    changelog.gz; the file is the packaging's changelog and keeps the name changelog.Debian.gz
    that packages made outside Debian's archive use"
)

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
# The programs' own state (locks, journals, kept originals) stays in the build tree.
export XDG_STATE_HOME=${XDG_STATE_HOME:-$out/test-home/state} XDG_DATA_HOME=${XDG_DATA_HOME:-$out/test-home/data}
export XDG_CONFIG_HOME=${XDG_CONFIG_HOME:-$out/test-home/config}

work=$(mktemp -d "${TMPDIR:-/tmp}/trackwright-linux.XXXXXX")
log="$work/log"
xvfb_pid=
installed=
editor_pid=
cleanup() {
  if [ -n "$editor_pid" ]; then kill "$editor_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  if [ -n "$installed" ]; then
    "${sudo_cmd[@]}" apt-get remove --purge -y -qq -o DPkg::Lock::Timeout=300 trackwright >/dev/null 2>&1 || true
  fi
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

package() {
  "$root/scripts/package-linux.sh" || return 1
  debs=("$out"/trackwright_*_amd64.deb)
  deb=${debs[0]}
  tarball="$out/trackwright-linux-x64.tar.gz"
  [ ${#debs[@]} -eq 1 ] && [ -f "$deb" ] && [ -f "$tarball" ] || { echo "the package or the folder is missing"; return 1; }
  dpkg-deb -x "$deb" "$work/deb"
}

lint() {
  local report="$work/lintian" rc=0
  lintian --display-info "$deb" >"$report" 2>&1 || rc=$?
  grep -v '^running with root privileges' "$report" || true
  if [ $rc -ne 0 ] && ! grep -q '^[EW]: ' "$report"; then echo "lintian failed ($rc)"; return 1; fi
  if grep -q '^E: ' "$report"; then echo "lintian finds errors"; return 1; fi
  local tag failed=0
  for tag in $(sed -n 's/^W: [^ ]*: \([^ ]*\).*/\1/p' "$report" | sort -u); do
    if [ -n "${kept_warnings[$tag]:-}" ]; then
      echo "kept: $tag, because $(echo "${kept_warnings[$tag]}" | tr -s ' \n' ' ')"
    else
      echo "warning not explained: $tag"; failed=1
    fi
  done
  return $failed
}

# The desktop entry, the AppStream metadata and the icons belong together by one id.
desktop_metadata() {
  local entries=("$work"/deb/usr/share/applications/*.desktop)
  local metadata=("$work"/deb/usr/share/metainfo/*.metainfo.xml)
  [ ${#entries[@]} -eq 1 ] && [ ${#metadata[@]} -eq 1 ] || { echo "not one desktop entry and one metadata file"; return 1; }
  local id; id=$(basename "${entries[0]}" .desktop)
  # Both validators' errors and warnings fail the step; their hints and notes do not.
  local rc=0
  desktop-file-validate "${entries[0]}" >"$log" 2>&1 || rc=$?
  cat "$log"
  if [ $rc -ne 0 ] || grep -q ': \(error\|warning\): ' "$log"; then return 1; fi
  appstreamcli validate --no-net "${metadata[0]}" >"$log" 2>&1 || rc=$?
  cat "$log"
  if [ $rc -ne 0 ] || grep -q '^[EW]: ' "$log"; then return 1; fi
  /usr/bin/python3 - "$id" "${entries[0]}" "${metadata[0]}" "$work/deb/usr/share/icons/hicolor" <<'EOF'
import configparser, glob, os, sys
import xml.etree.ElementTree as ET
from PIL import Image

app_id, entry_file, metadata_file, icons = sys.argv[1:]
entry = configparser.ConfigParser(interpolation=None)
entry.optionxform = str
entry.read(entry_file, encoding="utf-8")
component = ET.parse(metadata_file).getroot()
problems = []
if component.findtext("id") != app_id:
    problems.append(f"the metadata's id {component.findtext('id')!r} is not the desktop file's {app_id!r}")
if component.findtext("launchable[@type='desktop-id']") != app_id + ".desktop":
    problems.append("the metadata does not launch the desktop file")
if entry["Desktop Entry"].get("Icon") != app_id:
    problems.append(f"the desktop entry's icon is not {app_id!r}")
if os.path.basename(entry["Desktop Entry"].get("Exec", "").split()[0]) != "trackwright":
    problems.append("the desktop entry does not start trackwright")
found = sorted(glob.glob(os.path.join(icons, "*", "apps", app_id + ".png")))
sizes = []
for path in found:
    size = os.path.basename(os.path.dirname(os.path.dirname(path)))
    with Image.open(path) as image:
        if f"{image.width}x{image.height}" != size:
            problems.append(f"{path} is {image.width}x{image.height}")
    sizes.append(int(size.split("x")[0]))
for needed in (16, 32, 48, 64, 128, 256):
    if needed not in sizes:
        problems.append(f"no {needed}x{needed} icon")
if problems:
    sys.exit("\n".join(problems))
print(f"id {app_id}; icons {', '.join(map(str, sorted(sizes)))}")
EOF
}

# What trackwright-cli prints as its usage: --help's standard output when it has --help, else
# the standard error of a run without a command, from its "usage:" line on.
cli_usage() {
  local cli=$1 rc=0
  "$cli" --help >"$work/usage" 2>/dev/null || rc=$?
  if [ $rc -ne 0 ]; then
    rc=0
    "$cli" >/dev/null 2>"$work/usage" || rc=$?
    [ $rc -eq 2 ] || { echo "$cli without a command exited with $rc"; return 1; }
    sed -i -n '/^usage:/,$p' "$work/usage"
  fi
  cat "$work/usage"
}

# section PAGE NAME: the lines of a manual page's section as man shows them, unindented.
section() {
  LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$1" 2>/dev/null |
    awk -v name="$2" '/^[A-Z]/ { on = ($0 == name); next } on' | sed 's/^       //' |
    sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
}

manual_pages() {
  local pages="$work/deb/usr/share/man/man1"
  cli_usage "$build/src/trackwright-cli" >"$work/cli-usage" || return 1
  section "$pages/trackwright-cli.1.gz" SYNOPSIS >"$work/cli-synopsis"
  if ! diff -u "$work/cli-usage" "$work/cli-synopsis"; then
    echo "trackwright-cli.1 does not show the usage that trackwright-cli prints"; return 1
  fi
  local rc=0
  QT_QPA_PLATFORM=offscreen "$build/src/trackwright" --no-such-option >/dev/null 2>"$work/editor-usage" || rc=$?
  [ $rc -eq 2 ] || { echo "trackwright --no-such-option exited with $rc"; return 1; }
  local usage; usage=$(sed -n 's/^usage: //p' "$work/editor-usage")
  local synopsis; synopsis=$(section "$pages/trackwright.1.gz" SYNOPSIS)
  if [ "$usage" != "$synopsis" ]; then
    echo "trackwright.1 shows \"$synopsis\", the editor prints \"usage: $usage\""; return 1
  fi
  echo "trackwright-cli: $(wc -l <"$work/cli-usage") lines of usage; trackwright: $usage"
}

# A virtual X display for the editors.
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

# editor_picture NAME COMMAND...: runs an editor COMMAND that takes --game and --screenshot on
# a sample installation with X11's platform, and checks the picture against the reference.
editor_picture() {
  local name=$1; shift
  local game="$work/$name-game" shot="$shots/$name.png" rc=0
  rm -f "$shot"
  timeout 120 env -u QT_QPA_PLATFORM "$@" --game "$game" --screenshot "$shot" >"$work/$name.out" 2>&1 || rc=$?
  if [ $rc -ne 0 ] || [ ! -s "$shot" ]; then
    echo "$* exited with $rc and left no picture:"; cat "$work/$name.out"; return 1
  fi
  /usr/bin/python3 "$root/scripts/lib/check-screenshot.py" "$shot" "$reference"
}

installed_package() {
  if dpkg-query -W -f='${Status}' trackwright 2>/dev/null | grep -q "install ok installed"; then
    echo "trackwright was installed already: removed first"
    quiet "${sudo_cmd[@]}" apt-get remove --purge -y -o DPkg::Lock::Timeout=300 trackwright || return 1
  fi
  installed=1
  quiet env DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "$deb" || return 1
  local program
  for program in trackwright trackwright-cli; do
    [ "$(command -v "$program")" = "/usr/bin/$program" ] || { echo "$program is not /usr/bin/$program"; return 1; }
  done
  quiet trackwright-cli sample "$work/installed-game" || return 1
  trackwright-cli --game "$work/installed-game" dump 2>"$log" | /usr/bin/python3 -c 'import json, sys; json.load(sys.stdin)' ||
    { cat "$log"; return 1; }
  editor_picture installed trackwright || return 1
  quiet "${sudo_cmd[@]}" apt-get remove --purge -y -o DPkg::Lock::Timeout=300 trackwright || return 1
  installed=
  for program in trackwright trackwright-cli; do
    [ ! -e "/usr/bin/$program" ] || { echo "/usr/bin/$program is still there after the removal"; return 1; }
  done
}

# "${hidden[@]}" COMMAND...: runs COMMAND in a private mount namespace in which every Qt library
# of the system is an empty file and Qt's plugin folder is empty.
hidden=(unshare --mount -- /bin/sh -c '
  empty=$1 libs=$2 plugins=$3; shift 3
  for file in "$libs"/libQt6*.so.*; do
    [ -L "$file" ] || mount --bind "$empty" "$file" || exit 97
  done
  mount -t tmpfs none "$plugins" || exit 97
  [ ! -s "$libs/libQt6Core.so.6" ] || exit 97
  exec "$@"' sh "$work/empty" "$qt_libs" "$qt_plugins")

portable_folder() {
  mkdir -p "$work/unpacked"
  tar -xzf "$tarball" -C "$work/unpacked"
  folder="$work/unpacked/trackwright-linux-x64"
  local file
  for file in trackwright.sh trackwright trackwright-cli; do
    [ -x "$folder/$file" ] || { echo "$file is not an executable file of the folder"; return 1; }
  done
  for file in README.txt LICENSE.txt qt.conf lib/libQt6Core.so.6 plugins/platforms/libqxcb.so licenses/README.txt; do
    [ -s "$folder/$file" ] || { echo "the folder has no $file"; return 1; }
  done
  # Nothing that the system must provide is in the folder.
  local excluded
  excluded=$(sed 's/#.*//' "$root/cmake/linux/excludelist" | grep -v '^ *$' | while read -r name; do
    if [ -e "$folder/lib/$name" ]; then echo "$name"; fi; done)
  [ -z "$excluded" ] || { echo "the folder holds libraries of the exclusion list: $excluded"; return 1; }
  echo "trackwright-linux-x64.tar.gz: $(du -k "$tarball" | cut -f1) KiB; unpacked $(du -sk "$folder" | cut -f1) KiB" \
    "($(du -sk "$folder/lib" | cut -f1) KiB in $(ls "$folder/lib" | wc -l) libraries)"
  # The starter refuses a C library older than this system's, and says which it needs.
  local glibc; glibc=$(getconf GNU_LIBC_VERSION | sed -n 's/^glibc \([0-9]*\.[0-9]*\).*/\1/p')
  mkdir -p "$work/old-glibc"
  printf '#!/bin/sh\necho "glibc 2.%d"\n' $(( ${glibc#*.} - 1 )) >"$work/old-glibc/getconf"
  chmod 755 "$work/old-glibc/getconf"
  local rc=0
  PATH="$work/old-glibc:$PATH" "$folder/trackwright.sh" >"$work/starter.out" 2>&1 || rc=$?
  if [ $rc -ne 1 ] || ! grep -q "GNU C library $glibc .*this system has 2\.$(( ${glibc#*.} - 1 ))\." "$work/starter.out"; then
    echo "trackwright.sh on an older C library exited with $rc:"; cat "$work/starter.out"; return 1
  fi
  : >"$work/empty"
  can_hide=
  if [ "$(id -u)" -eq 0 ] && "${hidden[@]}" true 2>/dev/null; then can_hide=1; fi
}

portable_hidden_qt() {
  if [ -z "$can_hide" ]; then
    echo "no private mount namespace here: the maps check below stands for it"; return 0
  fi
  quiet "${hidden[@]}" "$folder/trackwright-cli" sample "$work/portable-game" || return 1
  editor_picture portable "${hidden[@]}" "$folder/trackwright.sh"
}

# The running editor (hidden from the system's Qt when that can be done) maps every Qt library
# and plugin, and every library that the folder holds, from the folder.
portable_maps() {
  local game="$work/maps-game" runner=()
  if [ -n "$can_hide" ]; then runner=("${hidden[@]}"); fi
  quiet "$folder/trackwright-cli" sample "$game" || return 1
  # As on a Wayland desktop whose environment asks Qt for Wayland, a platform that the folder
  # does not have: the starter must make it take X11's (XWayland's there).
  env QT_QPA_PLATFORM=wayland XDG_SESSION_TYPE=wayland \
    "${runner[@]}" "$folder/trackwright.sh" --game "$game" >"$work/maps-editor.out" 2>&1 &
  editor_pid=$!
  local waited=0
  until grep -q '/libqxcb\.so$' "/proc/$editor_pid/maps" 2>/dev/null; do
    if ! kill -0 "$editor_pid" 2>/dev/null || [ $waited -ge 600 ]; then
      echo "the editor did not load its X11 platform:"; cat "$work/maps-editor.out"; return 1
    fi
    sleep 0.1; waited=$((waited + 1))
  done
  # The window and its load come after the platform: give them a moment.
  sleep 2
  cp "/proc/$editor_pid/maps" "$work/maps"
  kill "$editor_pid"; wait "$editor_pid" 2>/dev/null || true
  editor_pid=
  /usr/bin/python3 - "$work/maps" "$folder" "$qt_plugins" <<'EOF'
import os, sys

maps, folder, system_plugins = sys.argv[1:]
ours = set(os.listdir(os.path.join(folder, "lib")))
files = set()
with open(maps) as lines:
    for line in lines:
        fields = line.split(None, 5)
        if len(fields) == 6 and fields[5].startswith("/") and ".so" in fields[5]:
            files.add(fields[5].strip())
problems = []
for path in sorted(files):
    name = os.path.basename(path)
    from_folder = path.startswith(folder + "/")
    if name.startswith("libQt6") and not from_folder:
        problems.append(f"a Qt library from the system: {path}")
    elif path.startswith(system_plugins + "/"):
        problems.append(f"a Qt plugin from the system: {path}")
    elif not from_folder and any(name == so or name.startswith(so + ".") for so in ours):
        problems.append(f"the system's copy of a library the folder holds: {path}")
qt = [p for p in files if os.path.basename(p).startswith("libQt6")]
if not any(p.endswith("/plugins/platforms/libqxcb.so") for p in files) or len(qt) < 4:
    problems.append("the editor had not loaded Qt and its X11 platform")
if problems:
    sys.exit("\n".join(problems))
print(f"{len(files)} libraries mapped, {sum(p.startswith(folder + '/') for p in files)} of them from the folder,"
      f" {len(qt)} Qt libraries among them")
EOF
}

mkdir -p "$shots"
total=$(now)
stage "package and portable folder (scripts/package-linux.sh)" package
stage "lintian" lint
stage "desktop entry, AppStream metadata, icons" desktop_metadata
stage "manual pages against the programs' usage" manual_pages
stage "virtual display" virtual_display
stage "package installed with apt-get: trackwright-cli sample and dump, trackwright --screenshot, removed" installed_package
stage "portable folder unpacked: contents, size, the starter's check of the C library" portable_folder
stage "portable folder with the system's Qt hidden: trackwright-cli sample, trackwright.sh --screenshot" portable_hidden_qt
stage "portable folder on a Wayland desktop: the running editor's libraries (/proc/PID/maps)" portable_maps
echo "--- Linux packages passed ($(elapsed "$total") in all)"
