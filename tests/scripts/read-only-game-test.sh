#!/usr/bin/env bash
# A game that can be read but not written: its files belong to another user (0644 files in 0755
# folders), or it lies on a read-only mount. The reading commands work and leave every byte,
# mode and name as it was; the changing commands fail before writing anything, naming what
# cannot be written; the editor opens it read-only.
#
#   read-only-game-test.sh CLI [UI_TESTS]
#
# As root (as CI runs) the commands run as the unprivileged user "nobody", with the programs
# copied to a world-readable temporary folder; as any other user, the game is made read-only for
# that user instead. The read-only mount needs a user namespace; where none may be made, that part
# is skipped with the reason.
set -euo pipefail
cli=${1:?trackwright-cli}
ui_tests=${2:-}

work=$(mktemp -d "${TMPDIR:-/tmp}/tw-read-only.XXXXXX")
chmod 755 "$work"
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cp "$cli" "$work/trackwright-cli"
[ -n "$ui_tests" ] && cp "$ui_tests" "$work/ui-tests"
chmod 755 "$work"/*
game="$work/game"
home="$work/home"
mkdir -p "$home"
# The copies run as another user, for whom a leak check cannot watch the process.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# What reading must leave alone: every name with its kind, mode and size, and every file's digest.
snapshot() {
  (cd "$1" && find . -printf '%p %y %m %s\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}

if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$home"
  as_reader() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" XDG_STATE_HOME="$home/state" \
                  XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" "$@"; }
  make_unwritable() { chmod -R u+rwX,go+rX,go-w "$1"; }
else
  as_reader() { env HOME="$home" XDG_STATE_HOME="$home/state" XDG_DATA_HOME="$home/data" \
                  XDG_CONFIG_HOME="$home/config" "$@"; }
  make_unwritable() { chmod -R a+rX,a-w "$1"; }
fi

# check_game FOLDER REASON RUNNER...: the reading and changing commands on a game that the
# runner may read but not write, which must refuse with REASON.
check_game() {
  local folder=$1 reason=$2; shift 2
  local before; before=$(snapshot "$folder")
  local out rc
  for command in "dump" "dump --utf8" "locate" "originals" "export 0 $home/exported.iff" "backup $home/backup.iff"; do
    # shellcheck disable=SC2086
    if ! out=$("$@" "$work/trackwright-cli" --game "$folder" $command 2>&1 >/dev/null); then
      fail "$command on a game that cannot be written: $out"
    fi
  done
  [ -s "$home/exported.iff" ] || fail "export wrote nothing"
  for command in "resave" "import $home/exported.iff 0" "restore $home/backup.iff" "restore-originals"; do
    rc=0
    # shellcheck disable=SC2086
    out=$("$@" "$work/trackwright-cli" --game "$folder" $command 2>&1 >/dev/null) || rc=$?
    if [ "$command" = "restore-originals" ]; then
      # Nothing is kept for this game: there is nothing to refuse.
      [ $rc -eq 0 ] || fail "restore-originals with nothing kept: exit $rc: $out"
      continue
    fi
    [ $rc -eq 1 ] || fail "$command: exit $rc, not 1: $out"
    case "$out" in
      *"cannot be changed: $folder"*"$reason"*) ;;
      *) fail "$command does not name what cannot be written ($reason): $out" ;;
    esac
  done
  # apply, even of the game's own dump, saves the game.
  "$@" "$work/trackwright-cli" --game "$folder" dump >"$home/dump.json"
  rc=0; out=$("$@" "$work/trackwright-cli" --game "$folder" apply "$home/dump.json" 2>&1) || rc=$?
  [ $rc -eq 1 ] || fail "apply: exit $rc, not 1: $out"
  [ "$(snapshot "$folder")" = "$before" ] || fail "the game folder changed"
  if [ -n "$ui_tests" ]; then
    if ! out=$("$@" env QT_QPA_PLATFORM=offscreen TW_READ_ONLY_GAME="$folder" TW_READ_ONLY_REASON="$reason" \
                 "$work/ui-tests" --gtest_filter='ReadOnlyGameTest.AGameThisUserCannotWrite*' 2>&1); then
      fail "the editor on a game that cannot be written: $out"
    fi
    case "$out" in *"[  PASSED  ] 1 test"*) ;; *) fail "the editor's test did not run: $out" ;; esac
    [ "$(snapshot "$folder")" = "$before" ] || fail "the editor changed the game folder"
  fi
}

"$work/trackwright-cli" sample "$game" >/dev/null
make_unwritable "$game"
echo "--- another user's game"
check_game "$game" "Permission denied" as_reader

echo "--- a game on a read-only mount"
mkdir -p "$work/mount"
if unshare --user --map-root-user --mount true 2>/dev/null; then
  chmod -R u+w "$game"
  # A home of this user's own: inside the namespace only this user's files are writable.
  home="$work/home-mount"
  mkdir -p "$home"
  export -f check_game snapshot fail
  export work home ui_tests
  rc=0
  unshare --user --map-root-user --mount bash -c '
    set -euo pipefail
    failures=0
    mount --bind "$1" "$2" && mount -o remount,bind,ro "$2"
    as_self() { env HOME="$home" XDG_STATE_HOME="$home/state" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" "$@"; }
    check_game "$2" "Read-only file system" as_self
    exit $failures' _ "$game" "$work/mount" || rc=$?
  failures=$((failures + rc))
else
  echo "skipped: no user namespace may be made here ($(unshare --user --map-root-user --mount true 2>&1 | head -n 1))"
fi

if [ $failures -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "read-only games: ok"
