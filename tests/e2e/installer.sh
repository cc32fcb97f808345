#!/usr/bin/env bash
# The setup program in a Wine prefix of its own, one silent install and uninstall:
# files, registry values and registration present; Explorer's menu entry, driven through
# the registration, starts the program with the selected folders; then everything the
# setup made is gone, and what the user made is still there.
. "$(dirname "$0")/lib.sh"

setup=$(ls "$BIN"/../quarn-*-x64-setup.exe 2>/dev/null | head -n 1)
[ -n "$setup" ] || { echo "FAIL: no setup program in $BIN/.. (makensis missing?)"; exit 1; }
export QUARN_WINEPREFIX=$BIN/../wine-inst WINEPREFIX=$BIN/../wine-inst
# no desktop entries on the host for the Start-menu shortcuts
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$QUARN_WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$TMP" "$QUARN_WINEPREFIX" "$QUARN_WINEPREFIX.lock"' EXIT
wrun() { "$SRC/cmake/wine-run" "$@" </dev/null; }

clsid=$(grep -o '{[0-9A-Fa-f-]\{36\}}' "$SRC/src/quarnw/win32/shex/shex.h" | head -n 1)
shexkey='HKLM\SOFTWARE\moxware\quarnw-shex'
unkey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarn-x64'
keys=("HKCR\\CLSID\\$clsid\\InprocServer32" "HKCR\\CLSID\\$clsid"
      "HKCR\\Directory\\shellex\\ContextMenuHandlers\\quarnw" "HKCR\\Drive\\shellex\\ContextMenuHandlers\\quarnw"
      "$shexkey" "$unkey")
# the data of a value as reg prints it; "" when it is missing
value() {
  local opt=("/ve")
  [ -n "$2" ] && opt=("/v" "$2")
  wrun reg query "$1" "${opt[@]}" 2>/dev/null | tr -d '\r' | grep -E '^\s+\S.*\s+REG_(SZ|DWORD)' |
    sed -E 's/^\s+.*\s+REG_(SZ|DWORD)\s+//'
}
present() { wrun reg query "$1" >/dev/null 2>&1 && echo yes || echo no; }

drive_c=$QUARN_WINEPREFIX/drive_c
inst=$drive_c/Program\ Files/Quarn
instw='C:\Program Files\Quarn'
menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Quarn
files=(quarn.exe quarnw-shex.dll doc/quarn.html uninstall.exe)
[ -f "$BIN/quarnw.exe" ] && files+=(quarnw.exe)

wrun "$setup" /S
check "setup status" 0 "$?"
for f in "${files[@]}"; do check "installed $f" yes "$([ -f "$inst/$f" ] && echo yes || echo no)"; done
cmp -s "$SRC/doc/quarn.html" "$inst/doc/quarn.html"
check "the manual installed as written" 0 "$?"
check "shex.enabled" 1 "$(value "$shexkey" shex.enabled)"
check "quarnw.path" "$instw\\quarnw.exe" "$(value "$shexkey" quarnw.path)"
server=$(value "HKCR\\CLSID\\$clsid\\InprocServer32" "")
check "server registered" "${instw,,}\\quarnw-shex.dll" "${server,,}"
check "threading model" Apartment "$(value "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel)"
for t in Directory Drive; do
  check "$t menu handler" "$clsid" "$(value "HKCR\\$t\\shellex\\ContextMenuHandlers\\quarnw" "")"
done
check "uninstall entry" "\"$instw\\uninstall.exe\"" "$(value "$unkey" UninstallString)"
check "uninstall location" "$instw" "$(value "$unkey" InstallLocation)"
check "Start-menu manual" yes "$([ -f "$menu/Quarn manual.lnk" ] && echo yes || echo no)"
if [ -f "$BIN/quarnw.exe" ]; then
  check "Start-menu program" yes "$([ -f "$menu/Quarn.lnk" ] && echo yes || echo no)"
  # the shortcut's arguments, stored as UTF-16
  args=$(LC_ALL=C tr -d '\0' <"$menu/Quarn.lnk" | grep -ao -- '-errout:[^ ]*\.err' | head -n 1)
  check "Start-menu log option" '-errout:$(LOCALAPPDATA)\$(app).err' "$args"
fi

# Explorer's use of the entry: created through the registration; the program it starts
# records its command line (quarnw.path pointed at the recorder for this one use)
sel="$TMP/two words"
mkdir -p "$sel"
record="$TMP/cmdline.txt"
wrun reg add "$shexkey" /v quarnw.path /d "$(winpath "$BIN/shex_recorder.exe")" /f >/dev/null 2>&1
SHEX_RECORD=$(winpath "$record") wrun "$BIN/shexhost.exe" "$instw" "$(winpath "$sel")" >"$TMP/host.out" 2>&1
check "menu entry chosen" "0 Quarn" "$? $(tr -d '\r' <"$TMP/host.out")"
for _ in $(seq 200); do [ -f "$record" ] && break; sleep 0.1; done
check "started command line" \
  "$(winpath "$BIN/shex_recorder.exe") \"$instw\" \"$(winpath "$sel")\" -errout:\$(LOCALAPPDATA)\\moxware\\\$(app).err" \
  "$(cat "$record" 2>/dev/null)"
wrun reg add "$shexkey" /v quarnw.path /d "$instw\\quarnw.exe" /f >/dev/null 2>&1

# what the user made: the settings the program saves in the data folder, a file in the
# program folder
appdata=$(wrun cmd /c echo %LOCALAPPDATA% | tr -d '\r')
usrcfg="$appdata\\moxware\\_quarnw.cfg"
saved() { wrun cmd /c type "$usrcfg" 2>/dev/null | tr -d '\r'; }
if [ -f "$BIN/quarnw.exe" ]; then
  # the entry once more, now starting the installed program: its window shows the folder
  wrun "$BIN/shexhost.exe" "$(winpath "$sel")" >/dev/null 2>&1
  check "menu entry for the installed program" 0 "$?"
  title=$(wrun "$BIN/wndclose.exe" quarnw 60000 | tr -d '\r')
  check "installed quarnw started on the selection" "\"$(winpath "$sel")\" - Quarn Std" "$title"
  for _ in $(seq 100); do [ -n "$(saved)" ] && break; sleep 0.2; done
  check "installed quarnw saved the selection" 1 "$(saved | grep -c 'quarnw\.path *:.*two words')"
else
  wrun cmd /c "mkdir $appdata\\moxware & echo *title: Mine> $usrcfg" >/dev/null 2>&1
fi
before=$(saved)
check "user settings written" yes "$([ -n "$before" ] && echo yes || echo no)"
echo mine >"$inst/mine.txt"
wrun reg add 'HKLM\SOFTWARE\moxware\other' /v keep /d 1 /f >/dev/null 2>&1

wrun "$inst/uninstall.exe" /S
check "uninstall status" 0 "$?"
# the uninstaller runs from a copy of itself: wait for it to finish
for _ in $(seq 300); do [ ! -f "$inst/uninstall.exe" ] && [ "$(present "$unkey")" = no ] && break; sleep 0.2; done
for f in "${files[@]}"; do check "removed $f" no "$([ -e "$inst/$f" ] && echo yes || echo no)"; done
check "doc folder removed" no "$([ -e "$inst/doc" ] && echo yes || echo no)"
check "user file in the program folder kept" mine "$(cat "$inst/mine.txt" 2>/dev/null)"
check "Start-menu folder removed" no "$([ -e "$menu" ] && echo yes || echo no)"
for k in "${keys[@]}"; do check "removed $k" no "$(present "$k")"; done
check "vendor key kept for another product" yes "$(present 'HKLM\SOFTWARE\moxware\other')"
check "user settings kept" "$before" "$(saved)"
check "Directory handlers kept" yes "$(present 'HKCR\Directory\shellex\ContextMenuHandlers')"

finish
