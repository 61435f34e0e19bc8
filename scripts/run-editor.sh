#!/usr/bin/env bash
# Installs what is missing, builds the release editor, writes the sample installation into
# ./sample-game when it is not there yet, and starts the editor on it.
# Without a display ($DISPLAY and $WAYLAND_DISPLAY empty) the editor runs on a virtual X server
# instead, saves a picture of its main window after the load, and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh"

build="$root/build/release"
cmake --preset release >/dev/null
targets=(trackwright)
# The command-line tool writes the sample installation; it is built when its sources are there.
if compgen -G "$root/src/cli/*.cpp" >/dev/null; then targets+=(trackwright-cli); fi
cmake --build --preset release -j 2 --target "${targets[@]}"

game="$root/sample-game"
editor_args=()
if [ -d "$game" ]; then
  editor_args=(--game "$game")
elif [ -x "$build/src/trackwright-cli" ]; then
  echo "Writing the sample installation into $game"
  "$build/src/trackwright-cli" sample "$game"
  editor_args=(--game "$game")
else
  echo "trackwright-cli is not there: no sample installation; the editor looks for the game itself."
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot="$build/trackwright-main-window.png"
  rm -f "$shot"
  echo "No display: running the editor on a virtual X server to take a picture of its main window."
  status=0
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/src/trackwright" "${editor_args[@]}" --screenshot "$shot" || status=$?
  if [ $status -ne 0 ]; then
    echo "The editor could not show its main window (its messages are above)." >&2
    exit $status
  fi
  echo "The main window's picture is in $shot"
else
  exec "$build/src/trackwright" "${editor_args[@]}"
fi
