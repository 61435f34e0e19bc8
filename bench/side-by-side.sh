#!/usr/bin/env bash
# Measures two release builds of the project side by side on this machine, in one run: the
# benchmark of each (alternately, so that both see the same machine), then the peak memory of
# `trackwright-cli resave` of the 100-times installation with each. Prints the tables that
# bench/README.md shows.
#
#   bench/side-by-side.sh BEFORE_BUILD AFTER_BUILD [ROUNDS]
#
# Each build folder must hold bench/bench_GameFiles and src/trackwright-cli (the release preset
# with the bench_GameFiles and trackwright-cli targets). ROUNDS (default 3) runs of each
# benchmark, five repetitions each; the tables take the median of every repetition.
set -euo pipefail
[ $# -ge 2 ] || { sed -n 2,11p "$0"; exit 2; }
before=$(realpath "$1") after=$(realpath "$2") rounds=${3:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tw-side-by-side.XXXXXX")
trap 'rm -rf "$work"' EXIT

for round in $(seq "$rounds"); do
  for build in before after; do
    dir=${!build}
    mkdir -p "$work/$build"
    # The benchmark keeps its installations in TMPDIR: each build its own.
    TMPDIR="$work/$build" "$dir/bench/bench_GameFiles" --benchmark_repetitions=5 \
      --benchmark_min_time=0.5 --benchmark_format=json --benchmark_out_format=json \
      --benchmark_out="$work/$build-$round.json" >/dev/null
  done
done

# Peak memory of the command line's resave, in the steady state (originals kept by a first run).
for build in before after; do
  dir=${!build}
  game="$work/$build/tw-bench-100"
  export XDG_STATE_HOME="$work/$build/cli-state" XDG_DATA_HOME="$work/$build/cli-data"
  "$dir/src/trackwright-cli" --game "$game" resave >/dev/null 2>&1
  for run in 1 2 3; do
    /usr/bin/time -f '%M %e %U %S' -o "$work/$build-time-$run" "$dir/src/trackwright-cli" --game "$game" resave >/dev/null 2>&1
  done
done

python3 "$root/bench/side-by-side.py" "$work"
