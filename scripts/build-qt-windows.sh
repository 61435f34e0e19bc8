#!/usr/bin/env bash
# Builds the Qt that the Windows editor links: Debian's own qt6-base source (the version of the
# installed qt6-base-dev, whose host tools the cross build uses), cross-compiled with the
# project's mingw-w64 toolchain file as a static release with the options in
# cmake/qt-windows.options. The result is kept in a cache outside the checkout (see
# cmake/QtWindows.cmake) and reused while it is complete; an unfinished or damaged entry is
# built again.
#
#   scripts/build-qt-windows.sh           build when needed; prints where Qt is
#   scripts/build-qt-windows.sh --check   exit 0 when a complete, undamaged Qt is there
#
# The source comes through a private apt configuration that adds `deb-src` lines for the Debian
# suites this machine already uses; the machine's own sources are left as they are.
# Environment: QT_BUILD_JOBS (default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/qt-cache.sh
. "$root/scripts/lib/qt-cache.sh"

mapfile -t key < <(cmake -P "$root/cmake/QtWindows.cmake")
entry=${key[0]}
inputs=${key[1]}

if [ "${1:-}" = "--check" ]; then
  qt_cache_ready "$entry"
  exit
fi

qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) || {
  echo "qt6-base-dev is not installed: its host tools build Qt for Windows (scripts/install-deps.sh)." >&2
  exit 1
}
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
work="$entry.work"
exec 3>&1
log="$work/log"

now() { date +%s; }
# step NAME COMMAND...: runs one step with its output in the log; the log's end shows on failure.
# `set -e` does not act inside the step's commands, so each of them checks its own commands.
step() {
  local name=$1; shift
  local start; start=$(now)
  echo "  $name..."
  if ! "$@" >>"$log" 2>&1; then
    echo "  $name FAILED; the end of $log:" >&2
    tail -n 60 "$log" >&2
    return 1
  fi
  echo "  $name: $(( $(now) - start )) s"
}

# The Debian suites and components this machine installs from, as `deb-src` lines.
source_lines() {
  apt-get update --print-uris 2>/dev/null |
    sed -n "s|^'\([^']*\)/dists/\([^/]*\)/\([^/]*\)/binary-[^/]*/Packages[^']*'.*|deb-src \1 \2 \3|p" |
    sort -u
}

fetch_source() {
  local apt="$work/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$work/source"
  source_lines >"$apt/sources.list" || return 1
  [ -s "$apt/sources.list" ] || { echo "No Debian source found in apt's configuration."; return 1; }
  cat "$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=/nonexistent"
                 -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                 -o "APT::Sandbox::User=root")
  # A suite without source indexes only warns; the source itself must be found below.
  apt-get "${options[@]}" update || true
  (cd "$work/source" && apt-get "${options[@]}" source -q "qt6-base=$qt_version") || return 1
  local tree
  tree=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  [ -n "$tree" ] || { echo "apt-get source unpacked no qt6-base tree."; return 1; }
  ln -s "$tree" "$work/qtbase"
}

configure_qt() {
  local prefix=$1 options=()
  mapfile -t options < <(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$root/cmake/qt-windows.options")
  cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" \
    "${options[@]}"
}

# Ninja's output goes to the log; every hundredth step shows on the script's own output
# (descriptor 3, written through cat: opening /dev/fd/3 anew would truncate a log file).
compile_qt() {
  cmake --build "$work/build" -j "${QT_BUILD_JOBS:-2}" 2>&1 |
    awk '{ print } /^\[[0-9]+\/[0-9]+\]/ {
           split(substr($1, 2, length($1) - 2), n, "/")
           if (n[1] % 100 == 0 || n[1] == n[2]) { printf "    %s\n", $1 | "cat >&3"; fflush("cat >&3") } }'
}

# The licences of Qt and of the third-party code compiled into it, for the release zip.
write_licenses() {
  local prefix=$1
  mkdir -p "$prefix/licenses" &&
    cp "$work/qtbase/LICENSES/LGPL-3.0-only.txt" "$prefix/licenses/LGPL-3.0.txt" &&
    python3 "$root/scripts/lib/qt-third-party.py" "$work/qtbase" "$work/build/build.ninja" \
      >"$prefix/licenses/THIRD-PARTY.txt" || return 1
  printf 'qtbase %s (Debian source package qt6-base), configured with:\n%s\n' \
    "$qt_version" "$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$root/cmake/qt-windows.options")" \
    >"$prefix/licenses/BUILD-OPTIONS.txt"
}

build_qt() {
  local prefix=$1 start; start=$(now)
  rm -rf "$work" && mkdir -p "$work" && : >"$log" || return 1
  step "fetching Debian's qt6-base $qt_version source" fetch_source &&
    step "configuring" configure_qt "$prefix" &&
    step "building with ${QT_BUILD_JOBS:-2} jobs" compile_qt &&
    step "installing" cmake --install "$work/build" &&
    step "collecting licences" write_licenses "$prefix" || return 1
  rm -rf "$work"
  echo "Qt for Windows built in $(( $(now) - start )) s"
}

qt_cache_get "$entry" "$inputs" build_qt
echo "Qt for Windows: $entry/prefix"
