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
# the reader takes one line and goes; the walk must end at once, quietly (more lines
# than the pipe and the program's buffer hold, so a write surely meets the closed pipe)
mkdir -p many && (cd many && seq -f 'a_file_with_a_name_long_enough_%05g.txt' 1 6000 | xargs touch)
set -o pipefail
{ "$SRC/cmake/wine-run" "$BIN/quarn.exe" many 2>"$TMP/.err" </dev/null; echo "$?" >"$TMP/.rc"; } | head -n1 >/dev/null
set +o pipefail
check "closed pipe: status" 1 "$(cat "$TMP/.rc")"
check "closed pipe: quiet" "" "$(cat "$TMP/.err")"

# log records sent to standard output land between whole lines, in order
run second second -errout:stdout
expect "log records on standard output in order" 0 "second
second\\s.txt
quarn: WARN[9007]: Duplicate path: second: ignored.
" ""

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

# --- values: a final backslash, escaped blanks ---------------------------------
mkdir -p v/a 'v/My Dir'
touch v/a/x.txt 'v/file one.txt' 'v/My Dir/in.txt' v/top.txt
cd v
run . '-path:.\a\' -type:f
expect "a final backslash stays in its word (first)" 0 ".\\a\\x.txt
" ""
run . -type:f '-path:.\a\'
expect "a final backslash stays in its word (last)" 0 ".\\a\\x.txt
" ""
run . '-name:file\ one.txt'
expect "escaped blank in a name" 0 ".\\file one.txt
" ""
run . "-name:file\\	one.txt"
expect "escaped tab in a name: no such file" 0 "" ""
run "$(winpath "$TMP/v")" "-path:$(winpath "$TMP/v")\\My\\ Dir\\**"
expect "escaped blank in a path" 0 "$(winpath "$TMP/v")\\My Dir\\in.txt
" ""

# --- typos and values without numbers --------------------------------------------
run . -not -name:*.txt -maxdepth:1 -Name:x -type:f -errsever:warn -cfg:x
check "unknown options: stdout as without them" "ok" \
  "$(printf '%s' "$OUT" | sort | tr '\n' ' ' | grep -qx '.\\My Dir\\in.txt .\\a\\x.txt .\\file one.txt .\\top.txt ' && echo ok || echo "$OUT")"
expect "unknown options: one warning each, status unchanged" 0 "$OUT" "quarn: WARN[9006]: Unknown option \`-not': ignored.
quarn: WARN[9006]: Unknown option \`-maxdepth': ignored.
quarn: WARN[9006]: Unknown option \`-Name': ignored.
"
for k in "depth abc" "mmin abc" "mtime abc" "depth +" "mtime -"; do
  set -- $k
  run . "-$1:$2"
  expect "-$1:$2 is refused" 1 "" "quarn: ERR[9003]: Invalid \`-$1': $2.
quarn: ERR[9003]: $2: -$1:$2 .
"
done
run . -disable-err:abc
expect "-disable-err:abc is refused" 1 "" "quarn: ERR[9003]: Invalid \`-disable-err': abc.
"
head -c 100 /dev/zero >hundred
run . -size:100c
expect "-size:100c is 100 bytes" 0 ".\\hundred
" ""

# --- user reports instead of internal records ----------------------------------
run ''
expect "empty path word" 1 "" "quarn: ERR[9010]: Empty path: give a directory or file name (. for the current directory).
"
w=$(head -c 1000 /dev/zero | tr '\0' x)
words=(); for i in 1 2 3 4 5 6 7 8 9; do words+=("-name:$w"); done
run . "${words[@]}"
expect "expression over 8 KiB" 1 "" "quarn: ERR[9009]: Expression too long [9063] - at most 8191 characters: use fewer or shorter primaries.
"
cd "$TMP"

# --- names in any language -----------------------------------------------------
mkdir -p "n/日本" "n/Ελλάδα"
touch "n/日本/café.txt" "n/Ελλάδα/ΣΟΦΊΑ.txt" "n/ÉTÉ.TXT"
run n/日本
expect "UTF-8 names listed byte-exact" 0 "n/日本
n/日本\\café.txt
" ""
check "UTF-8 names: the bytes themselves" \
  "$(printf 'n/\346\227\245\346\234\254\r\nn/\346\227\245\346\234\254\\caf\303\251.txt\r\n' | od -An -c | tr -s ' ')" "$RAWOUT"
run n -name:CAFÉ.TXT
expect "-name ignoring case beyond ASCII (upper finds lower)" 0 "n\\日本\\café.txt
" ""
run n -name:été.txt
expect "-name ignoring case beyond ASCII (lower finds upper)" 0 "n\\ÉTÉ.TXT
" ""
run n -name:σοφία.txt
expect "-name ignoring case in Greek" 0 "n\\Ελλάδα\\ΣΟΦΊΑ.txt
" ""
run n -cname:CAFÉ.TXT
expect "-cname stays exact" 0 "" ""
run n -ipath:'*\ελλάδα\'
expect "-ipath beyond ASCII" 0 "n\\Ελλάδα\\ΣΟΦΊΑ.txt
" ""
run n/日本/café.txt
expect "a searched path in UTF-8" 0 "n/日本/café.txt
" ""

# --- the README's examples, as written --------------------------------------------
# bin/quarn runs the same program; the examples on . run where their files are
mkdir -p readme/a && cd readme
touch 'file one.txt' a/x.txt && head -c 100 /dev/zero >hundred
declare -A want=(
  [". '-name:file\\ one.txt'"]='.\file one.txt'
  [". '-path:.\\a\\' -type:f"]='.\a\x.txt'
  [". -size:100c"]='.\hundred'
)
n=0
while IFS= read -r line; do
  args=${line#    bin/quarn }
  args=${args%%  #*}
  eval "run $args"
  n=$((n + 1))
  check "README: $args (status)" 0 "$RC"
  check "README: $args (stderr)" "" "$ERR_TEXT"
  if [ -n "${want[$args]+x}" ]; then
    check "README: $args (stdout)" "${want[$args]}
" "$OUT"
  else
    check "README: $args prints something" 1 "$([ -n "$OUT" ] && echo 1 || echo 0)"
  fi
done < <(grep '^    bin/quarn ' "$SRC/README.md" | grep -v 'PATH\.\.\.')
check "README: examples found" 1 "$([ "$n" -ge 10 ] && echo 1 || echo "$n")"
cd "$TMP"

finish
