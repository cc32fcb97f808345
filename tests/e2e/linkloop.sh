#!/usr/bin/env bash
# Directory links: a link back to a directory being walked is an error line and is not
# entered; a link elsewhere is walked as the directory it leads to.
. "$(dirname "$0")/lib.sh"

T=$TMP/t
mkdir -p "$T/a/b" "$T/c"
echo x > "$T/a/x.txt"
ln -s "$T" "$T/a/b/up"
cd "$TMP"

sorted() { printf '%s' "$1" | sort; }

run t
check "loop status as for a directory that cannot be listed" 0 "$RC"
check "loop: every entry once, the link an error line" "$(sorted 't
t\a
t\a\b
t\a\b\up
t\a\b\up\*.* - ERR[1921]: MSG
t\a\x.txt
t\c
')" "$(sorted "$(printf '%s' "$OUT" | sed -E 's/(ERR\[1921\]: ).+$/\1MSG/')")"
check "loop: the system's message" "ok" \
  "$(printf '%s' "$OUT" | grep -Eq '^t\\a\\b\\up\\\*\.\* - ERR\[1921\]: [A-Z].+\.$' && echo ok || echo "$OUT")"
check "loop: nothing on standard error" "" "$ERR_TEXT"

run t -post-order -name:up
expect "loop in post-order with an expression" 0 "t\\a\\b\\up\\*.* - ERR[1921]: $(printf '%s' "$OUT" | sed -n 's/.*ERR\[1921\]: //p' | head -n1)
t\\a\\b\\up
" ""

run t -disable-err:1921
check "-disable-err:1921 keeps the loop quiet" "$(sorted 't
t\a
t\a\b
t\a\b\up
t\a\x.txt
t\c
')" "$(sorted "$OUT")"

# not a loop: walked as before, the link's entries under its own name
rm "$T/a/b/up"
ln -s "$T/a" "$T/c/toa"
run t
check "a link to a sibling: status" 0 "$RC"
check "a link to a sibling: no diagnostics" "" "$ERR_TEXT"
check "a link to a sibling is walked" "$(sorted 't
t\a
t\a\b
t\a\x.txt
t\c
t\c\toa
t\c\toa\b
t\c\toa\x.txt
')" "$(sorted "$OUT")"
finish
