# The rules of the Windows Qt cache, sourced by scripts/build-qt-windows.sh and its test.
#
# An entry is a folder: prefix/ (what the build installed), manifest (sha256sum of every file
# below prefix/) and complete (what the entry's key was made of), written in that order. Only an
# entry with `complete` whose files all match the manifest is used; anything else is removed and
# built again.

# qt_cache_ready ENTRY: succeeds when ENTRY is complete and undamaged.
qt_cache_ready() {
  local entry=$1
  [ -f "$entry/complete" ] && [ -s "$entry/manifest" ] && [ -d "$entry/prefix" ] || return 1
  (cd "$entry/prefix" && sha256sum --quiet --strict -c "$entry/manifest" >/dev/null 2>&1)
}

# qt_cache_fill ENTRY INPUTS BUILDER [ARGS...]: empties ENTRY, runs BUILDER ARGS... PREFIX, which
# must install everything into PREFIX (ENTRY/prefix), and then marks the entry complete. A builder
# that fails leaves the entry without its mark.
qt_cache_fill() {
  local entry=$1 inputs=$2
  shift 2
  rm -rf "$entry"
  mkdir -p "$entry/prefix"
  "$@" "$entry/prefix" || return 1
  (cd "$entry/prefix" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum) \
    >"$entry/manifest.new" || return 1
  if [ ! -s "$entry/manifest.new" ]; then
    echo "The build installed nothing into $entry/prefix." >&2
    return 1
  fi
  mv "$entry/manifest.new" "$entry/manifest"
  printf '%s\n' "$inputs" >"$entry/complete.new"
  mv "$entry/complete.new" "$entry/complete"
}

# qt_cache_get ENTRY INPUTS BUILDER [ARGS...]: makes ENTRY ready, building it only when it is
# missing, unfinished or damaged. One process at a time per cache folder.
qt_cache_get() {
  local entry=$1
  mkdir -p "$(dirname "$entry")"
  (
    flock 9
    if qt_cache_ready "$entry"; then
      echo "Qt for Windows: using $entry"
      exit 0
    fi
    if [ -e "$entry" ]; then
      echo "Qt for Windows: $entry is unfinished or damaged; building it again"
    else
      echo "Qt for Windows: not built yet; building $entry"
    fi
    qt_cache_fill "$@"
  ) 9>"$entry.lock"
}
