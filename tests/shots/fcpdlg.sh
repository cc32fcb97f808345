#!/usr/bin/env bash
# Screenshot of the copy dialog after a run (done, failed and partially copied rows)
# with an overwrite confirmation above it.
# Usage: tests/shots/fcpdlg.sh OUT.png   (inside bin/with-display, or it starts one)
# As a function for a collecting script: source it and call shot_fcpdlg OUT.png.
set -euo pipefail
SRC=${QUARN_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
BIN=${QUARN_BIN:-$SRC/build/x64/bin}
export QUARN_WINEPREFIX=${QUARN_WINEPREFIX:-$SRC/build/x64/wine}

shot_fcpdlg() {
  local out=$1 work
  work=$(mktemp -d /tmp/quarn-shot.XXXXXX)
  "$SRC/cmake/wine-run" "$BIN/fcpdlgshot.exe" "$BIN/quarnw.exe" "Z:${work//\//\\}" 20 >/dev/null 2>&1 &
  local pid=$!
  sleep "${QUARN_SHOT_WAIT:-12}"
  import -window root "$out"
  wait $pid || true
  rm -rf "$work"
}

if [ "${BASH_SOURCE[0]}" == "$0" ]; then
  [ $# -eq 1 ] || { echo "usage: $0 OUT.png" >&2; exit 2; }
  if [ -z "${DISPLAY:-}" ]; then exec "$SRC/bin/with-display" "$0" "$@"; fi
  shot_fcpdlg "$1"
fi
