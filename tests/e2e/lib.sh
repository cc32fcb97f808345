# Shared by the end-to-end scripts: run the programs under Wine as a user would
# and compare standard output, standard error and the exit status exactly.
set -u
SRC=${QUARN_SRC:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
BIN=${QUARN_BIN:-$SRC/build/x64/bin}
export QUARN_WINEPREFIX=${QUARN_WINEPREFIX:-$SRC/build/x64/wine}
unset QUARN ERR
passed=0
failed=0
TMP=$(mktemp -d /tmp/quarn-e2e.XXXXXX)
trap 'rm -rf "$TMP"' EXIT

# winpath /tmp/x/y -> Z:\tmp\x\y
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# run PROGRAM ARGS...: sets OUT, ERR_TEXT (line ends as LF) and RC; RAWOUT keeps the bytes
run_prog() {
  local prog=$1; shift
  "$SRC/cmake/wine-run" "$BIN/$prog.exe" "$@" >"$TMP/.out" 2>"$TMP/.err" </dev/null
  RC=$?
  RAWOUT=$(od -An -c "$TMP/.out" | tr -s ' ')
  OUT=$(tr -d '\r' <"$TMP/.out"; printf x); OUT=${OUT%x}
  ERR_TEXT=$(tr -d '\r' <"$TMP/.err"; printf x); ERR_TEXT=${ERR_TEXT%x}
}
run() { run_prog quarn "$@"; }

check() { # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n---\n' "$1" "$2" "$3"
  fi
}
expect() { # expect NAME RC STDOUT STDERR   (after a run)
  check "$1 (status)" "$2" "$RC"
  check "$1 (stdout)" "$3" "$OUT"
  check "$1 (stderr)" "$4" "$ERR_TEXT"
}

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
