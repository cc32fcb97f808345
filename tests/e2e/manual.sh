#!/usr/bin/env bash
# The manual's console examples, typed as it shows them in a project folder like its
# own: each runs with status 0, prints entries and no message. And every option and
# primary the usage text names is explained in the manual.
. "$(dirname "$0")/lib.sh"

manual=$SRC/doc/quarn.html
work=$TMP/work
mkdir -p "$work/src" "$work/doc/empty"
printf 'int main(void) { return 0; }\n' >"$work/src/main.c"
printf 'int util(void) { return 1; }\n' >"$work/src/util.c"
printf 'int util(void);\n' >"$work/src/util.h"
printf 'old\n' >"$work/src/LEGACY.C"
head -c 20480 /dev/zero >"$work/src/big.bin"
printf 'notes\n' >"$work/doc/notes.md"
printf 'read me\n' >"$work/doc/readme.txt"
printf 'Quarn\n' >"$work/README.txt"
chmod a-w "$work/README.txt"  # read-only under Wine

# the text between <pre class="run"> and </pre>, one example a line, entities decoded
mapfile -t examples < <(grep -o '<pre class="run">[^<]*</pre>' "$manual" |
  sed -e 's/<pre class="run">//; s/<\/pre>//; s/&lt;/</g; s/&gt;/>/g; s/&quot;/"/g; s/&amp;/\&/g')
check "run examples found" yes "$([ ${#examples[@]} -ge 10 ] && echo yes || echo no: ${#examples[@]})"

cd "$work" || exit 1
for ex in "${examples[@]}"; do
  read -ra words <<<"$ex"
  check "'$ex' names the program" quarn "${words[0]}"
  run "${words[@]:1}"
  check "'$ex' (status)" 0 "$RC"
  check "'$ex' (stderr)" "" "$ERR_TEXT"
  check "'$ex' prints entries" yes "$([ -n "$OUT" ] && echo yes || echo no)"
done

# every word of the usage that starts with a hyphen and a letter is in the manual
run -help
missing=""
for opt in $(grep -oE -- '(^|[[:space:]])-[A-Za-z][A-Za-z-]*' <<<"$OUT" | tr -d ' ' | sort -u); do
  grep -qE -- "[> ]$opt[:<[ ]" "$manual" || missing+="$opt "
done
check "usage words explained in the manual" "" "$missing"

finish
