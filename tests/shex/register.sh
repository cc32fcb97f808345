#!/usr/bin/env bash
# regsvr32 registers the built extension: the class, its server with the threading model
# and the menu handler of directories and drives; unregistering removes all of it again.
set -u
: "${QUARN_WINEPREFIX:?}" "${QUARN_SRC:?}" "${QUARN_BIN:?}"
run() { "$QUARN_SRC/cmake/wine-run" "$@"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

clsid=$(grep -o '{[0-9A-Fa-f-]\{36\}}' "$QUARN_SRC/src/quarnw/win32/shex/shex.h" | head -n 1)
[ -n "$clsid" ] || { echo "FAIL: no class identifier"; exit 1; }
dll=$(winpath "$QUARN_BIN/quarnw-shex.dll")
tmp=$(mktemp -d)
log=$tmp/shex.log
# the extension's own log, through the environment the library reads
export ERR="-errout:$(winpath "$log") -errsever:dbg"
cleanup() {
  run regsvr32 /s /u "$dll" >/dev/null 2>&1
  rm -rf "$tmp"
}
trap cleanup EXIT

# The data of one value as reg prints it ("(Default)" or the name, the type, the data).
value() {
  local key=$1 opt=("/ve")
  [ -n "${2:-}" ] && opt=("/v" "$2")
  run reg query "$key" "${opt[@]}" 2>/dev/null | tr -d '\r' | grep -E '^\s+\S.*\s+REG_SZ' |
    sed -E 's/^\s+.*\s+REG_SZ\s+//'
}
exists() { run reg query "$1" >/dev/null 2>&1; }

check_value() {  # key valname expected [compare ignoring case]
  local got
  got=$(value "$1" "$2")
  if [ "${4:-}" = nocase ]; then
    [ "${got,,}" = "${3,,}" ] || fail "$1 ${2:-(Default)}: got '$got', want '$3'"
  else
    [ "$got" = "$3" ] || fail "$1 ${2:-(Default)}: got '$got', want '$3'"
  fi
}

keys=("HKCR\\CLSID\\$clsid" "HKCR\\CLSID\\$clsid\\InprocServer32"
      "HKCR\\Directory\\shellex\\ContextMenuHandlers\\quarnw" "HKCR\\Drive\\shellex\\ContextMenuHandlers\\quarnw")

check_registered() {
  check_value "${keys[0]}" "" "Quarn Shell Extension"
  check_value "${keys[1]}" "" "$dll" nocase
  check_value "${keys[1]}" ThreadingModel "Apartment"
  check_value "${keys[2]}" "" "$clsid"
  check_value "${keys[3]}" "" "$clsid"
}

run regsvr32 /s "$dll" || fail "regsvr32 exit status $?"
check_registered
# again: the same keys, nothing added twice
run regsvr32 /s "$dll" || fail "second regsvr32 exit status $?"
check_registered
grep -q "quarnw-shex: quarnw-shex [0-9.]* ([a-z0-9-]*) register server\.$" <(tr -d '\r' <"$log") ||
  fail "no register record in: $(cat "$log")"

run regsvr32 /s /u "$dll" || fail "regsvr32 /u exit status $?"
for k in "${keys[@]}"; do exists "$k" && fail "$k still there"; done
# the shared parents stay
exists "HKCR\\Directory\\shellex\\ContextMenuHandlers" || fail "ContextMenuHandlers of Directory removed"

# nothing left to remove: still success, each missing key noted
: >"$log"
run regsvr32 /s /u "$dll" || fail "second regsvr32 /u exit status $?"
notes=$(tr -d '\r' <"$log")
for k in "CLSID\\$clsid\\InprocServer32" "CLSID\\$clsid"; do
  grep -qF "quarnw-shex: mox_reg_del_key() failed - subkey: \`$k'." <<<"$notes" || fail "no note for $k"
done
for t in Directory Drive; do
  grep -qF "quarnw-shex: mox_reg_del_key() failed - isubkey: \`$t\\shellex\\ContextMenuHandlers\\quarnw'." \
    <<<"$notes" || fail "no note for $t"
done
grep -q "^quarnw-shex: NOTICE 2 " <<<"$notes" || fail "notes not at level NOTICE with code 2: $notes"

if [ "$fails" -ne 0 ]; then
  echo "$fails check(s) failed"
  exit 1
fi
echo "register: all checks passed"
