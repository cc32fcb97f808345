#!/usr/bin/env bash
# Start-up of the console tool: usage, version, no path, exit status.
. "$(dirname "$0")/lib.sh"

usage() {
  cat <<'TXT'
%s path ... [options] [expr]
  OPTIONS
    -disable-err:[+-]<code>[-]
    -file-type:{yes|no}
    -ignorecase:{yes|no}
    -post-order:{yes|no}
    -realpath:{yes|no}
    -cfg:<file>
    -cfgdir:<dirname>
    -ver[:{+|all|...|ls}]
    -{help|?}
  PRIMARIES
    -ad:[+-]<time>
      ccyy-mm[-dd[THH[:MM[:SS]]]]
      [[[[[cc]yy]mm]dd]HH]MM[.SS]
    -attr:<a>
      a  archive
      h  hidden
      r  read-only
      s  system
    -Bd:[+-]<time>
      ccyy-mm[-dd[THH[:MM[:SS]]]]
      [[[[[cc]yy]mm]dd]HH]MM[.SS]
    -depth:[+-]<n>
    -empty
    -md:[+-]<time>
      ccyy-mm[-dd[THH[:MM[:SS]]]]
      [[[[[cc]yy]mm]dd]HH]MM[.SS]
    -mmin:[+-]<n>
    -mtime:[+-]<n>
    -name:<pattern>
    -cname:<pattern>
    -iname:<pattern>
    -path:<pattern>
    -cpath:<pattern>
    -ipath:<pattern>
    -size:[+-]<n>[ckmg]
      c  bytes
      k  kilobytes (1024 bytes)
      m  megabytes (1048576 bytes)
      g  gigabytes (1073741824 bytes)
    -type:<t>
      d  directory
      f  file
  OPERATORS
    ( expr )
    ! expr
    expr -a expr
    expr -and expr
    expr expr
    expr -o expr
    expr -or expr
TXT
}

run
expect "no path" 1 "" "quarn: ERR[9012]: No path specified.
"

run -help
prog=$(printf '%s' "$OUT" | head -n1 | sed 's/ path \.\.\. \[options\] \[expr\]$//')
check "usage names argv[0]" "$BIN/quarn.exe" "$(printf '%s' "$prog" | sed 's#^Z:##; s#\\#/#g')"
expect "-help" 0 "$(usage | sed "s#^%s#${prog//\\/\\\\}#")

" ""
run '-?'
expect "-?" 0 "$(usage | sed "s#^%s#${prog//\\/\\\\}#")

" ""
run -help -ignorecase:maybe
check "usage before option conversion" 0 "$RC"

run -ver:+
ver_re='^quarn [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+ \(win64-x64\) [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$'
check "-ver:+ form" "ok" "$(printf '%s' "$OUT" | grep -Eq "$ver_re" && echo ok || echo "$OUT")"
check "-ver:+ status" 0 "$RC"
run -ver:VMM
check "-ver:VMM" "1.0
" "$OUT"
run -ver
check "-ver bare gives the selector list" "+ all nvp v vp vpd vd vm vmm vmmr
" "$OUT"
run -ver:nvp somepath
check "-ver:nvp" "quarn 1.0.0.0 (win64-x64)
" "$OUT"
check "-ver status" 0 "$RC"
run -ver:all
check "-ver:all names the product" "ok" "$(printf '%s' "$OUT" | grep -q '^  Product: Quarn$' && echo ok || echo "$OUT")"
check "-ver:all hides the vendor word" "" "$(printf '%s' "$OUT" | grep -i 'vendor')"

# output lines end the Windows way
run -ver:v
check "CRLF line end" " 1 . 0 . 0 . 0 \r \n" "$RAWOUT"

finish
