#!/usr/bin/env bash
# Runs every fuzz target of a build (the sanitizer build, or the fuzz preset's) for a bounded time on
# its seed corpus, two at a time.
# Usage: run-fuzzers.sh BUILD_DIR [SECONDS_EACH]
set -euo pipefail
build=${1:?build dir}
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

targets=()
for exe in "$build"/fuzz/fuzz_*; do
  [ -x "$exe" ] && [ -f "$exe" ] && targets+=("$exe")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets built"; exit 1; }

run_one() {
  local exe=$1 name corpus time=$seconds
  name=$(basename "$exe")
  corpus="$work/$name"
  mkdir -p "$corpus"
  [ -d "$root/fuzz/corpus/${name#fuzz_}" ] && cp -r "$root/fuzz/corpus/${name#fuzz_}/." "$corpus/"
  # Whole editing sessions run a few inputs a second: that target gets three times as long.
  [ "$name" = fuzz_session ] && time=$((seconds * 3))
  if "$exe" "$corpus" -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=0 -artifact_prefix="$work/$name-" >"$work/$name.log" 2>&1; then
    echo "fuzz $name: ok"
  else
    echo "fuzz $name: FAILED"; tail -n 40 "$work/$name.log"; return 1
  fi
}
export -f run_one
export work root seconds
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {}
