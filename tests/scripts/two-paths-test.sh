#!/usr/bin/env bash
# One game folder reached through two paths (here a bind mount) is one installation: two changing
# commands started at once through the two paths never both report success while one change is
# lost, and the originals kept through one path are restored through the other.
#
#   two-paths-test.sh CLI
#
# The bind mount needs a user namespace; where none may be made, the test is skipped with the
# reason.
set -euo pipefail
cli=${1:?trackwright-cli}

if ! unshare --user --map-root-user --mount true 2>/dev/null; then
  echo "skipped: no user namespace may be made here ($(unshare --user --map-root-user --mount true 2>&1 | head -n 1))"
  exit 0
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tw-two-paths.XXXXXX")
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
export HOME="$work/home" XDG_STATE_HOME="$work/home/state" XDG_DATA_HOME="$work/home/data"
mkdir -p "$HOME" "$work/game" "$work/mount"

exec unshare --user --map-root-user --mount bash -s "$cli" "$work" <<'INNER'
set -euo pipefail
cli=$1 work=$2
game="$work/game" other="$work/mount"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
mount --bind "$game" "$other"

"$cli" sample "$game" >/dev/null
"$cli" --game "$game" export 2 "$work/bakery.iff" 2>/dev/null
"$cli" --game "$game" export 5 "$work/clocks.iff" 2>/dev/null
name_of() { # DUMP INDEX: the internal name of career INDEX
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["careers"][int(sys.argv[2])]["name"])' "$@"
}
for try in 1 2 3 4 5 6 7 8; do
  "$cli" --game "$game" import "$work/bakery.iff" 0 >"$work/a.out" 2>&1 & a=$!
  "$cli" --game "$other" import "$work/clocks.iff" 1 >"$work/b.out" 2>&1 & b=$!
  ra=0; wait $a || ra=$?
  rb=0; wait $b || rb=$?
  "$cli" --game "$game" dump >"$work/dump.json"
  [ $ra -eq 0 ] && [ "$(name_of "$work/dump.json" 0)" != "$(name_of "$work/dump.json" 2)" ] &&
    fail "try $try: the import through one path reported success and is lost: $(cat "$work/a.out")"
  [ $rb -eq 0 ] && [ "$(name_of "$work/dump.json" 1)" != "$(name_of "$work/dump.json" 5)" ] &&
    fail "try $try: the import through the other path reported success and is lost: $(cat "$work/b.out")"
  for r in "$ra:a" "$rb:b"; do
    if [ "${r%%:*}" -ne 0 ] && ! grep -q "is being changed by" "$work/${r#*:}.out"; then
      fail "try $try: a refused import does not say why: $(cat "$work/${r#*:}.out")"
    fi
  done
  "$cli" --game "$game" restore-originals --force >/dev/null 2>&1 || fail "try $try: restore-originals failed"
done

# Kept through one path, given back through the other.
"$cli" --game "$game" import "$work/bakery.iff" 0 2>/dev/null
out=$("$cli" --game "$other" restore-originals 2>&1) || fail "restore-originals through the other path: $out"
case "$out" in *"original ones already"*) fail "the other path does not see the kept originals: $out" ;; esac
"$cli" --game "$game" dump >"$work/dump.json"
[ "$(name_of "$work/dump.json" 0)" != "$(name_of "$work/dump.json" 2)" ] || fail "the originals did not come back"

if [ $failures -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "two paths to one game: ok"
INNER
