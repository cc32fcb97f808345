#!/usr/bin/env bash
# The windowed program as a user starts it: its title, the settings it leaves in its
# own configuration directory and finds again, the version output, and start-ups that
# end with status 1 without writing a user file.
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then exec "$here/../../bin/with-display" bash "$0" "$@"; fi
. "$here/lib.sh"

# start ARGS...: quarnw in the background; sets QPID
start() {
  "$SRC/cmake/wine-run" "$BIN/quarnw.exe" "$@" >"$TMP/.qout" 2>"$TMP/.qerr" </dev/null &
  QPID=$!
}
# close_main: the title of the main window, which is then closed; sets TITLE and RC
close_main() {
  TITLE=$("$SRC/cmake/wine-run" "$BIN/wndclose.exe" quarnw 60000 | tr -d '\r')
  local crc=$?
  wait "$QPID"
  RC=$?
  [ $crc -eq 0 ] || RC="wndclose:$crc"
}
usrfile() { ls -A "$1" 2>/dev/null | grep -i '\.cfg$' | head -1; }

cfg=$TMP/cfg
mkdir -p "$TMP/tree"

# a first start: the built-in title, then the placement and history written at the end
start -cfgdir:"$(winpath "$cfg")"
close_main
check "plain start: title" "Quarn Std" "$TITLE"
check "plain start: status" "0" "$RC"
f=$(usrfile "$cfg")
check "plain start: user file" "yes" "$([ -n "$f" ] && echo yes || echo no)"
check "plain start: saved placement" "1" "$(grep -c 'frame\.wp *:' "$cfg/$f")"
check "plain start: untouched settings not saved" "0" "$(grep -c 'quarnw\.title \|sortby\|quarnw\.ignorecase ' "$cfg/$f")"

# a search path on the command line: in the title, saved, and there again next time
dir=$(winpath "$TMP/tree")
start -cfgdir:"$(winpath "$cfg")" "$dir"
close_main
check "path argument: title" "$dir - Quarn Std" "$TITLE"
check "path argument: status" "0" "$RC"
esc=${dir//\\/\\\\}  # the file writes each backslash twice
check "path argument: saved path" "1" "$(grep -cF "quarnw.path : $esc" "$cfg/$f")"
check "path argument: history" "1" "$(grep -c 'pathlist\.0 *:' "$cfg/$f")"
start -cfgdir:"$(winpath "$cfg")"
close_main
check "restart: the path is back" "$dir - Quarn Std" "$TITLE"

# options of the settings over the database for one run; -title is no option
start -cfgdir:"$(winpath "$cfg")" -sortrev -timefmt:iso
close_main
check "options: status" "0" "$RC"
check "options: changed settings saved" "2" "$(grep -c 'quarnw\.sortrev *: *Yes\|quarnw\.timefmt *: *iso' "$cfg/$f")"

# the version record to a file, no window
"$SRC/cmake/wine-run" "$BIN/quarnw.exe" -cfgdir:"$(winpath "$cfg")" -ver:vpd -ver-out:"$(winpath "$TMP/ver.txt")" \
  </dev/null >/dev/null 2>&1
check "ver-out: status" "0" "$?"
check "ver-out: version line" "1" "$(tr -d '\r' <"$TMP/ver.txt" | grep -c '^quarnw\|1\.0\.0')"

# -ver alone: the About box without the main window; closing it ends the program
start -cfgdir:"$(winpath "$cfg")" -ver
TITLE=$("$SRC/cmake/wine-run" "$BIN/wndclose.exe" '#32770' 60000 | tr -d '\r')
wait "$QPID"
RC=$?
check "ver alone: About box" "About Quarn Std" "$TITLE"
check "ver alone: status" "0" "$RC"

# start-ups that end with status 1 and leave no user file behind
fresh=$TMP/fresh
for bad in "-view:nosuch" "-timefmt:yesterday"; do
  rm -rf "$fresh"
  "$SRC/cmake/wine-run" "$BIN/quarnw.exe" -cfgdir:"$(winpath "$fresh")" "$bad" </dev/null >/dev/null 2>&1
  check "bad option $bad: status" "1" "$?"
  check "bad option $bad: no user file" "" "$(usrfile "$fresh")"
done
: >"$TMP/afile"
"$SRC/cmake/wine-run" "$BIN/quarnw.exe" -cfgdir:"$(winpath "$TMP/afile/sub")" </dev/null >/dev/null 2>&1
check "cfgdir that cannot be made: status" "1" "$?"
check "cfgdir that cannot be made: nothing made" "no" "$([ -e "$TMP/afile/sub" ] && echo yes || echo no)"

# the user file written before is still whole after the failed starts
check "user file kept" "1" "$(grep -c 'pathlist\.0 *:' "$cfg/$f")"
finish
