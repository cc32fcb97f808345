; Installs the console program, the windowed program, the shell extension and the manual
; into one folder, registers the extension and tells it where the windowed program is.
; Built by cmake/installer.cmake with: -DARCH=x86|x64 -DVERSION=x.y.z -DBINDIR=... -DDOCDIR=...
; -DOUTFILE=... and -DHAVE_QUARNW while the windowed program is part of the build.

!if ${ARCH} == x64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include x64.nsh

!define VENDOR "moxware"
; what the extension reads, in the registry view of its own architecture
!define SHEXKEY "SOFTWARE\${VENDOR}\quarnw-shex"
!define VENDORKEY "SOFTWARE\${VENDOR}"
; one entry per architecture: both installers may be used side by side
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarn-${ARCH}"
!define SMDIR "$SMPROGRAMS\Quarn"
!if ${ARCH} == x64
  !define ARCHNAME "64-bit"
!else
  !define ARCHNAME "32-bit"
!endif

Name "Quarn ${VERSION} (${ARCHNAME})"
OutFile "${OUTFILE}"
!if ${ARCH} == x64
  InstallDir "$PROGRAMFILES64\Quarn"
!else
  InstallDir "$PROGRAMFILES\Quarn"
!endif
InstallDirRegKey HKLM "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quarn"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "Quarn ${ARCHNAME} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${VENDOR}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
!if ${ARCH} == x64
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "This is the 64-bit Quarn; this Windows needs the 32-bit setup." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
  SetShellVarContext all
!if ${ARCH} == x64
  SetRegView 64
!endif
FunctionEnd

Section "Quarn"
  SetOutPath "$INSTDIR"
  File "${BINDIR}/quarn.exe"
!ifdef HAVE_QUARNW
  File "${BINDIR}/quarnw.exe"
!endif
  File "${BINDIR}/quarnw-shex.dll"
  SetOutPath "$INSTDIR\doc"
  File "${DOCDIR}/quarn.html"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${SHEXKEY}" "shex.enabled" "1"
  WriteRegStr HKLM "${SHEXKEY}" "quarnw.path" "$INSTDIR\quarnw.exe"
  ; $SYSDIR is the system folder of this installer's own architecture, so the 32-bit
  ; setup reaches the 32-bit regsvr32 and the 32-bit registry on 64-bit Windows
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\quarnw-shex.dll"' $0
  ${If} $0 != 0
    DetailPrint "regsvr32 failed ($0): the Explorer menu entry is missing"
    SetErrors
  ${EndIf}

!ifdef HAVE_QUARNW
  CreateDirectory "${SMDIR}"
  ; the log's default, the start folder, is the Start menu's choice; the user's data folder
  ; always exists and is theirs
  CreateShortcut "${SMDIR}\Quarn.lnk" "$INSTDIR\quarnw.exe" "-errout:$$(LOCALAPPDATA)\$$(app).err" \
    "$INSTDIR\quarnw.exe" 0 SW_SHOWNORMAL "" "Find files and directories"
!endif
  CreateDirectory "${SMDIR}"
  CreateShortcut "${SMDIR}\Quarn manual.lnk" "$INSTDIR\doc\quarn.html"

  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "Quarn ${VERSION} (${ARCHNAME})"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\quarnw.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; the extension leaves first, so Explorer offers nothing that points at removed files
  ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\quarnw-shex.dll"'
  DeleteRegValue HKLM "${SHEXKEY}" "shex.enabled"
  DeleteRegValue HKLM "${SHEXKEY}" "quarnw.path"
  ; the keys only when nothing else lives in them
  DeleteRegKey /ifempty HKLM "${SHEXKEY}"
  DeleteRegKey /ifempty HKLM "${VENDORKEY}"

  Delete "${SMDIR}\Quarn.lnk"
  Delete "${SMDIR}\Quarn manual.lnk"
  RMDir "${SMDIR}"

  Delete "$INSTDIR\quarn.exe"
  Delete "$INSTDIR\quarnw.exe"
  ; Explorer may still hold the library: then it goes at the next restart
  Delete /REBOOTOK "$INSTDIR\quarnw-shex.dll"
  Delete "$INSTDIR\doc\quarn.html"
  RMDir "$INSTDIR\doc"
  Delete "$INSTDIR\uninstall.exe"
  ; not /r: whatever the user put here stays, and so does the folder then
  RMDir /REBOOTOK "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
