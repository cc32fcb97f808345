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

finish
