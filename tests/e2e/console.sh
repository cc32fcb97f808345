#!/usr/bin/env bash
# The console tool as people use it: deep trees, write errors, values with blanks and
# backslashes, names in any language, typos, and the README's examples as written.
. "$(dirname "$0")/lib.sh"

cd "$TMP"

# --- a tree deeper than the system's path limit --------------------------------
p=deep
for i in $(seq -w 1 24); do p=$p/level_${i}_abcdef; done
mkdir -p "$p" second
touch "$p/leaf.txt" second/s.txt
run deep second
check "deep tree: status" 0 "$RC"
check "deep tree: nothing on stderr" "" "$ERR_TEXT"
errs=$(printf '%s' "$OUT" | grep -c ' - ERR\[')
check "deep tree: one error entry" 1 "$errs"
check "deep tree: the error entry names the directory and the system's message" "ok" \
  "$(printf '%s' "$OUT" | grep -Eq '^deep(\\level_[0-9]{2}_abcdef)+\\\*\.\* - ERR\[[0-9]+\]: .+$' && echo ok || echo "$OUT")"
check "deep tree: the second path is still searched" "second
second\\s.txt" "$(printf '%s' "$OUT" | tail -n2)"
check "deep tree: entries above the limit are listed" "deep\\level_01_abcdef" "$(printf '%s' "$OUT" | sed -n 2p)"
run deep second -disable-err:+0
check "deep tree: the error entry obeys -disable-err" 0 "$(printf '%s' "$OUT" | grep -c ' - ERR\[')"

# --- write errors ------------------------------------------------------------
"$SRC/cmake/wine-run" "$BIN/quarn.exe" second >/dev/full 2>"$TMP/.err" </dev/null
RC=$?
check "full disk: status" 1 "$RC"
check "full disk: the system's message" "ok" \
  "$(tr -d '\r' <"$TMP/.err" | grep -Eq '^quarn: ERR\[[0-9]+\]: Write to standard output failed: .+' && echo ok || cat "$TMP/.err")"
"$SRC/cmake/wine-run" "$BIN/quarn.exe" -help >/dev/full 2>/dev/null </dev/null
check "full disk: the usage text too" 1 "$?"
# the reader takes one line and goes; the walk must end at once, quietly
mkdir -p many && (cd many && seq -f 'f%05g' 1 3000 | xargs touch)
set -o pipefail
{ "$SRC/cmake/wine-run" "$BIN/quarn.exe" many 2>"$TMP/.err" </dev/null; echo "$?" >"$TMP/.rc"; } | head -n1 >/dev/null
set +o pipefail
check "closed pipe: status" 1 "$(cat "$TMP/.rc")"
check "closed pipe: quiet" "" "$(cat "$TMP/.err")"

# --- a terminal: names byte-exact, the console's code page as it was ---------
mkdir -p "u/日本" && touch "u/日本/café.txt"
tty_out=$(script -qc "'$SRC/cmake/wine-run' cmd /c '$(winpath "$BIN/conscp.exe") & $(winpath "$BIN/quarn.exe") u & $(winpath "$BIN/conscp.exe")'" /dev/null </dev/null |
  sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g' | tr -d '\r')
cp_before=$(printf '%s\n' "$tty_out" | head -n1)
check "terminal: lines byte-exact between the code page checks" "$cp_before
u
u\\日本
u\\日本\\café.txt
$cp_before" "$tty_out"

finish
