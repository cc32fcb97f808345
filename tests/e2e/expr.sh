#!/usr/bin/env bash
# The console tool searches: every primary in its forms, operator precedence,
# and one clear message with status 1 for every malformed expression.
. "$(dirname "$0")/lib.sh"

T=$TMP/e
mkdir -p "$T/d1/d2" "$T/empty"
head -c 9727 /dev/zero > "$T/s9727"
head -c 9728 /dev/zero > "$T/s9728"
head -c 10752 /dev/zero > "$T/s10752"
head -c 10753 /dev/zero > "$T/s10753"
: > "$T/zero"
head -c 512 /dev/zero > "$T/d1/half"
echo x > "$T/d1/A.TXT"
echo x > "$T/d1/d2/deep.c"
echo x > "$T/.hidden"
echo x > "$T/ro.c" && chmod a-w "$T/ro.c"
for f in feb2017 jan2017 mar2017 yesterday older; do echo x > "$T/$f"; done
touch -d '2017-02-10 12:00:00' "$T/feb2017"
touch -d '2017-01-31 23:59:59' "$T/jan2017"
touch -d '2017-03-01 00:00:00' "$T/mar2017"
touch -a -d '2019-06-15 08:00:00' "$T/d1/half"
touch -d "$(date -d 'yesterday 12:00' '+%Y-%m-%d %H:%M:%S')" "$T/yesterday"
touch -d "$(date -d '-5 days' '+%Y-%m-%d %H:%M:%S')" "$T/older"
cd "$T"

# run, then compare the sorted lines
expect_set() { # NAME EXPECTED-LINES... (after run)
  local name=$1; shift
  check "$name (status)" 0 "$RC"
  check "$name" "$(printf '%s\n' "$@" | sort)" "$(printf '%s' "$OUT" | sort)"
  check "$name (stderr)" "" "$ERR_TEXT"
}

run . -size:10k
expect_set "-size:10k is 9728 to 10752" '.\s9728' '.\s10752'
run . -size:+10k
expect_set "-size:+10k" '.\s10753'
run . -size:-10k -type:f
expect_set "-size:-10k" '.\s9727' '.\zero' '.\d1\half' '.\d1\A.TXT' '.\d1\d2\deep.c' '.\.hidden' '.\ro.c' \
  '.\feb2017' '.\jan2017' '.\mar2017' '.\yesterday' '.\older'
run d1 -size:0k
expect_set "-size:0k is 0 to 512" 'd1' 'd1\half' 'd1\A.TXT' 'd1\d2' 'd1\d2\deep.c'
run d1 -size:0k -o -size:-1
expect_set "-size:-1 is below 1 byte" 'd1' 'd1\half' 'd1\A.TXT' 'd1\d2' 'd1\d2\deep.c'
run . -size:1k -type:f
expect_set "-size:1k is 512 to 1536" '.\d1\half'
run . -size:0 -type:f
expect_set "-size:0" '.\zero' 

run . -name:*.c
expect_set "-name" '.\d1\d2\deep.c' '.\ro.c'
run . -name:a*
expect_set "-name ignores case by default" '.\d1\A.TXT'
run . -name:a* -ignorecase:no
expect_set "-name with -ignorecase:no" 
run . -iname:a* -ignorecase:no
expect_set "-iname" '.\d1\A.TXT'
run . -cname:a*
expect_set "-cname" 
run d1 -name:d1
expect_set "a name primary never matches the top directory by its name" 

run . '-path:**d2'
expect_set "-path matches the directory part" '.\d1\d2\deep.c'
run d1 -path:d1
expect_set "-path of the searched directory itself" 'd1' 'd1\half' 'd1\A.TXT' 'd1\d2'
run . -type:f '-path:**\d1\'
expect_set "-path with double star and trailing separator" '.\d1\half' '.\d1\A.TXT'

run . -type:d
expect_set "-type:d" '.' '.\d1' '.\d1\d2' '.\empty'
run d1 -type:df
expect_set "-type:df" 'd1' 'd1\half' 'd1\A.TXT' 'd1\d2' 'd1\d2\deep.c'
run . -empty
expect_set "-empty" '.\empty' '.\zero'
run . -depth:2
expect_set "-depth:2" '.\d1\half' '.\d1\A.TXT' '.\d1\d2'
run . -depth:+2
expect_set "-depth:+2" '.\d1\d2\deep.c'
run d1 -depth:-1
expect_set "-depth:-1" 'd1'
run d1 -depth:abc
expect "-depth:abc is refused" 1 "" "quarn: ERR[9003]: Invalid \`-depth': abc.
quarn: ERR[9003]: abc: -depth:abc .
"
run d1 -depth:1x -type:f
expect_set "-depth:1x is 1" 'd1\half' 'd1\A.TXT'

run . -attr:h
expect_set "-attr:h" '.\.hidden'
run . -attr:rh
expect_set "-attr:rh" '.\.hidden' '.\ro.c'

run . -md:2017-02
expect_set "-md:2017-02" '.\feb2017'
run . -md:-2017-02 -type:f
expect_set "-md:-2017-02" '.\jan2017'
run . -md:+2017-02 -md:-2018-01
expect_set "-md:+2017-02" '.\mar2017'
run . -md:2017-02-10T12:00
expect_set "-md minute precision" '.\feb2017'
run d1 -ad:2019-06-15
expect_set "-ad" 'd1\half'
run . -Bd:-2000-01
expect_set "-Bd:-2000-01: nothing was created before 2000"
run d1 -Bd:+1999-12 -type:f
expect_set "-Bd:+1999-12" 'd1\half' 'd1\A.TXT' 'd1\d2\deep.c'

run . -mtime:1
expect_set "-mtime:1 is yesterday" '.\yesterday'
run . -mtime:+1 -type:f
expect_set "-mtime:+1" '.\feb2017' '.\jan2017' '.\mar2017' '.\older'
run . -mtime:5
expect_set "-mtime:5" '.\older'
run . -mmin:+60 -mtime:-1 
expect_set "-mmin:+60 with -mtime:-1" 

# precedence: NOT, then AND (juxtaposition), then OR; all left-grouping
run . -name:*.c -o -name:s97* -type:d
expect_set "A -o B C is A or (B and C)" '.\d1\d2\deep.c' '.\ro.c'
run . -name:s9727 -type:f -o -name:*.c
expect_set "A B -o C" '.\s9727' '.\d1\d2\deep.c' '.\ro.c'
run d1 ! -type:d -name:*.TXT
expect_set "! A B is (not A) and B" 'd1\A.TXT'
run d1 -type:d -o ! -name:*.c
expect_set "A -o ! B" 'd1' 'd1\d2' 'd1\half' 'd1\A.TXT'
run d1 ! '(' -type:d -o -name:*.c ')'
expect_set "! ( A -o B )" 'd1\half' 'd1\A.TXT'
run d1 ! ! -name:half
expect_set "! ! A is A" 'd1\half'
run d1 -name:half -and -type:f -a -size:512c
expect_set "-size:512c is bytes" 'd1\half'
run d1 -name:half -and -type:f -a -size:512
expect_set "-and and -a" 'd1\half'
run d1 -name:half -or -name:A.TXT
expect_set "-or" 'd1\half' 'd1\A.TXT'

# malformed expressions: one message each, status 1, nothing printed
bad() { # NAME EXPECTED-STDERR WORDS...
  local name=$1 msg=$2; shift 2
  run d1 "$@"
  expect "$name" 1 "" "$msg
"
}
bad "size with an unknown unit" "quarn: ERR[9003]: Invalid \`-size': 100x.
quarn: ERR[9003]: 100x: -size:100x ." -size:100x
bad "size without digits" "quarn: ERR[9003]: Invalid \`-size': k.
quarn: ERR[9003]: k: -size:k ." -size:k
bad "attr upper case" "quarn: ERR[9003]: Invalid \`-attr': R.
quarn: ERR[9003]: R: -attr:R ." -attr:R
bad "type x" "quarn: ERR[9003]: Invalid \`-type': x.
quarn: ERR[9003]: x: -type:x ." -type:x
bad "depth out of range" "quarn: ERR[9003]: Invalid \`-depth': 99999999999.
quarn: ERR[9003]: 99999999999: -depth:99999999999 ." -depth:99999999999
bad "name with a blank" "quarn: ERR[9001]: syntax error: \`b': -name:a b ." "-name:a b"
bad "keyword at the end: the joining blank is the bad token" "quarn: ERR[9001]: syntax error: \` ': -name: ." -name:
bad "-a at the end" "quarn: ERR[9001]: syntax error: \`': -name:x -a ." -name:x -a
bad "stray close" "quarn: ERR[9001]: syntax error: \`)': -name:x ) ." -name:x ')'
bad "empty group" "quarn: ERR[9001]: syntax error: \`)': ( ) ." '(' ')'
bad "open group" "quarn: ERR[9001]: syntax error: \`': ( -name:x ." '(' -name:x
bad "lone not" "quarn: ERR[9001]: syntax error: \`': ! ." '!'
bad "or first" "quarn: ERR[9001]: syntax error: \`-o ': -o -name:x ." -o -name:x
run d1 -md:2017-13
check "md bad stamp: status" 1 "$RC"
check "md bad stamp: the matcher's record, then the two reports" "quarn: Invalid month [13] - \`2017-13'.
quarn: ERR[9003]: Invalid \`-md': 2017-13.
quarn: ERR[9003]: 2017-13: -md:2017-13 ." "$(printf '%s' "$ERR_TEXT" | tail -n3)"

run . '-path:**\d1\' -type:f
expect_set "a trailing backslash stays in its own word" '.\d1\half' '.\d1\A.TXT'
run d1 -name:'a\ b'
check "backslash-blank keeps the blank in the value" 0 "$RC"
check "backslash-blank matches nothing here" "" "$OUT"

deep=$(printf '( %.0s' $(seq 1 600))
run d1 $deep
check "deep nesting: status" 1 "$RC"
check "deep nesting: message" "ok" "$(printf '%s' "$ERR_TEXT" | grep -q 'yacc stack overflow' && echo ok || echo "$ERR_TEXT")"
long=$(head -c 8000 /dev/zero | tr '\0' 'x')
run d1 "-name:$long"
expect "8000-character word" 1 "" "quarn: ERR[9009]: Expression word too long [8006] - \`-name:xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...'.
"
for kw in ad attr Bd depth md mmin mtime name cname iname path cpath ipath size type; do
  run d1 "-$kw:"
  check "-$kw without value" 1 "$RC"
done
run d1 -name:$'\x01\x02'
check "control characters" 0 "$RC"

finish
