#!/usr/bin/env bash
# The console tool walks and prints: order, path forms, options, errors, duplicates.
. "$(dirname "$0")/lib.sh"

T=$TMP/t
mkdir -p "$T/src/sub" "$T/docs" "$T/emptydir"
echo 'int x;' > "$T/src/main.c"
echo 'int y;' > "$T/src/util.c"
echo '#pragma once' > "$T/src/sub/util.h"
echo 'text' > "$T/docs/Readme.txt"
cd "$TMP"

sorted() { printf '%s' "$1" | sort; }

run t
expect "plain walk" 0 "t
t\\docs
t\\docs\\Readme.txt
t\\emptydir
t\\src
t\\src\\main.c
t\\src\\sub
t\\src\\sub\\util.h
t\\src\\util.c
" ""

# a directory's own line first in pre-order, last in post-order
run t/src -post-order
expect "post-order" 0 "t/src\\main.c
t/src\\sub\\util.h
t/src\\sub
t/src\\util.c
t/src
" ""

run t/src/ -file-type:yes
check "file-type marks directories" "t/src\\
t/src\\main.c
t/src\\sub\\
t/src\\sub\\util.h
t/src\\util.c
" "$OUT"
run t/src/
check "trailing separator of a searched path removed" "t/src" "$(printf '%s' "$OUT" | head -n1)"

cd "$T/src"
run .
expect "the dot path" 0 ".
.\\main.c
.\\sub
.\\sub\\util.h
.\\util.c
" ""
run . -file-type
check "the dot path with file-type" ".\\
.\\main.c
.\\sub\\
.\\sub\\util.h
.\\util.c
" "$OUT"
cd "$TMP"

run t/src/main.c
expect "a file as path" 0 "t/src/main.c
" ""

run 't/src/*.c'
expect "wildcards in the last component" 0 "t/src/main.c
t/src/util.c
" ""
run 't/s*'
expect "wildcards descend into matching directories" 0 "t/src
t/src\\main.c
t/src\\sub
t/src\\sub\\util.h
t/src\\util.c
" ""

run t/missing t/emptydir
check "nonexistent path: error line, walk goes on" "ok" \
  "$(printf '%s' "$OUT" | grep -Eq '^t/missing - ERR\[2\]: .+$' && printf '%s' "$OUT" | grep -qx 't/emptydir' && echo ok || echo "$OUT")"
check "nonexistent path status" 0 "$RC"
run t/missing/deeper
check "missing directory gives 3" "ok" "$(printf '%s' "$OUT" | grep -Eq '^t/missing/deeper - ERR\[3\]: ' && echo ok || echo "$OUT")"

run t/missing -disable-err:2
expect "-disable-err:2" 0 "" ""
run t/missing -disable-err:+1
expect "-disable-err:+1 hides codes above 1" 0 "" ""
run t/missing -disable-err:+2
check "-disable-err:+2 keeps code 2" "ok" "$(printf '%s' "$OUT" | grep -q 'ERR\[2\]' && echo ok || echo "$OUT")"
run t/missing -disable-err:-3
expect "-disable-err:-3 hides codes below 3" 0 "" ""
run t/missing -disable-err:2-
check "-disable-err:2- is minus two" "ok" "$(printf '%s' "$OUT" | grep -q 'ERR\[2\]' && echo ok || echo "$OUT")"
run t/missing -disable-err:x
expect "-disable-err:x has no number: refused" 1 "" "quarn: ERR[9003]: Invalid \`-disable-err': x.
"

run t/docs T/DOCS
expect "duplicate ignoring case" 0 "t/docs
t/docs\\Readme.txt
" "quarn: WARN[9007]: Duplicate path: T/DOCS: ignored.
"
run t/docs t/docs
check "exact duplicate" "quarn: WARN[9007]: Duplicate path: t/docs: ignored.
" "$ERR_TEXT"
run t/docs T/DOCS -ignorecase:no
expect "case matters with -ignorecase:no" 0 "t/docs
t/docs\\Readme.txt
T/DOCS
T/DOCS\\Readme.txt
" ""

run -name:*.c t/src
check "path after the expression" "t/src\\main.c
t/src\\util.c
" "$OUT"

QUARN='-post-order:yes' run t/src -post-order:no
check "QUARN comes first and wins" "t/src" "$(printf '%s' "$OUT" | tail -n1)"
export QUARN='-name:*.h t/src'
run t/docs
unset QUARN
# so the program itself is searched, the QUARN operand is not, and no expression applies
check "first word of QUARN is not expression, its operand takes the program slot" "$(winpath "$BIN/quarn.exe")
t/docs
t/docs\\Readme.txt
" "$OUT"

run t/docs -realpath
check "realpath" "$(winpath "$T/docs")
$(winpath "$T/docs")\\Readme.txt
" "$OUT"

long=$(printf 'a%.0s' $(seq 1 5000))
run "t/$long" t/docs
check "a 5000-character path is an error entry, the next path is searched" "t/$long - ERR[9005]: Path too long.
t/docs
t/docs\\Readme.txt
" "$OUT"
check "the long path does not fail the run" 0 "$RC"
check "the long path is diagnosed" "ok" "$(printf '%s' "$ERR_TEXT" | grep -q 'quarn: ERR 9005' && echo ok || echo "$ERR_TEXT")"

run t/docs -unknown-option -cfg:x -errsever:dbg
check "unknown options are ignored" "t/docs
t/docs\\Readme.txt
" "$OUT"

finish
