; nrvavca-setup.exe: installs the applet, its resource libraries, their help
; files and the timing database into the system directory, where the applet
; looks for them; lists the applet in the Control Panel; writes an
; uninstaller and its entry in the installed programs.
;
; Built by scripts/package, which defines:
;   VERSION     the product version, as the version resources carry it
;   BIN         the folder holding nrvavca.cpl, vca0409.dll and vca0407.dll
;   REVID       the shipped revid.dat
;   HELP_0409, HELP_0407   the help files vca0409.hlp and vca0407.hlp
;   OUTFILE     the setup to write
;
; A 64-bit setup (amd64-unicode): it runs without file-system or registry
; redirection, so $SYSDIR is the 64-bit system directory the 64-bit Control
; Panel loads applets from.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "Norvane Video Configuration"
!define PUBLISHER "Norvane Corporation"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\NorvaneVideoConfiguration"
!define CPLS_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
; The copy of the revid.dat this setup put into the system directory: an
; installed revid.dat that differs from it was edited and is kept.
!define INSTALLED_REVID "$INSTDIR\revid.dat.installed"

Name "$(ProductName)"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Norvane\Video Configuration"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${__FILEDIR__}/../resources/icons/monitor.ico"
!define MUI_UNICON "${MUI_ICON}"
!define MUI_ABORTWARNING
!define MUI_CUSTOMFUNCTION_GUIINIT ComeToFront

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for users whose language has none here.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString ProductName ${LANG_ENGLISH} "${PRODUCT}"
LangString ProductName ${LANG_GERMAN} "Norvane Videokonfiguration"
LangString CannotWrite ${LANG_ENGLISH} "Cannot write"
LangString CannotWrite ${LANG_GERMAN} "Kann nicht schreiben:"
LangString InUse ${LANG_ENGLISH} "the file is in use or read-only. Close the Control Panel and try again."
LangString InUse ${LANG_GERMAN} "die Datei wird benutzt oder ist schreibgeschützt. Schließen Sie die Systemsteuerung und versuchen Sie es erneut."
LangString Failed ${LANG_ENGLISH} "Stopped; nothing further was changed."
LangString Failed ${LANG_GERMAN} "Abgebrochen; weiter wurde nichts geändert."
LangString RevidKept ${LANG_ENGLISH} "revid.dat was edited and is kept; the shipped timing database is written as"
LangString RevidKept ${LANG_GERMAN} "revid.dat wurde bearbeitet und bleibt erhalten; die mitgelieferte Timing-Datenbank wird geschrieben als"
LangString RevidEditedKept ${LANG_ENGLISH} "revid.dat was edited and is kept:"
LangString RevidEditedKept ${LANG_GERMAN} "revid.dat wurde bearbeitet und bleibt erhalten:"
LangString CannotDelete ${LANG_ENGLISH} "Cannot delete"
LangString CannotDelete ${LANG_GERMAN} "Kann nicht löschen:"

Var Log
Var SetupFailed

; Log TEXT: a line in the details and in the log file the run keeps in %TEMP%
; (nrvavca-setup.log, nrvavca-uninstall.log), for silent runs.
!macro Log TEXT
  DetailPrint "${TEXT}"
  ${If} $Log != ""
    FileWriteUTF16LE $Log "${TEXT}$\r$\n"
  ${EndIf}
!macroend

!macro OpenLog NAME
  ClearErrors
  FileOpen $Log "$TEMP\${NAME}" w
  ${If} ${Errors}
    StrCpy $Log ""
  ${EndIf}
  !insertmacro Log "${PRODUCT} ${VERSION}"
!macroend

; FilesEqual: $R2 = 1 when the files named by $R0 and $R1 both exist and
; hold the same bytes, else 0. Defined for the setup and the uninstaller.
!macro DefineFilesEqual PREFIX
Function ${PREFIX}FilesEqual
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R2 0
  ClearErrors
  FileOpen $R3 $R0 r
  ${IfNot} ${Errors}
    FileOpen $R4 $R1 r
    ${IfNot} ${Errors}
      FileSeek $R3 0 END $R5
      FileSeek $R4 0 END $R6
      ${If} $R5 == $R6
        FileSeek $R3 0 SET
        FileSeek $R4 0 SET
        StrCpy $R2 1
        ${Do}
          ClearErrors
          FileReadByte $R3 $R5
          ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
          FileReadByte $R4 $R6
          ${If} $R5 != $R6
            StrCpy $R2 0
            ${ExitDo}
          ${EndIf}
        ${Loop}
      ${EndIf}
      FileClose $R4
    ${EndIf}
    FileClose $R3
  ${EndIf}
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
FunctionEnd
!macroend
!insertmacro DefineFilesEqual ""
!insertmacro DefineFilesEqual "un."

; Fail WHY: logs why and ends the setup or the uninstaller with exit code 2.
!macro Fail WHY
  !insertmacro Log "${WHY}"
  !insertmacro Log "$(Failed)"
  StrCpy $SetupFailed 1
  SetErrorLevel 2
  Abort "${WHY}"
!macroend

; An existing file that cannot be opened for writing (a Control Panel has
; the applet loaded, or the file is read-only) stops the setup or the
; uninstaller before it changes anything.
!macro CheckWritable FILE
  ${If} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $0 "${FILE}" a
    ${If} ${Errors}
      !insertmacro Fail "$(CannotWrite) ${FILE}: $(InUse)"
    ${EndIf}
    FileClose $0
  ${EndIf}
!macroend

; InstallFile SOURCE NAME: SOURCE from the build into the current output
; folder as NAME, or the setup fails.
!macro InstallFile SOURCE NAME
  ClearErrors
  File "/oname=${NAME}" "${SOURCE}"
  ${If} ${Errors}
    !insertmacro Fail "$(CannotWrite) $OUTDIR\${NAME}"
  ${EndIf}
  !insertmacro Log "$OUTDIR\${NAME}"
!macroend

Function .onInit
  SetShellVarContext all
  InitPluginsDir
  StrCpy $SetupFailed 0
FunctionEnd

; Started from a console or a script, the setup's window would otherwise
; open behind the others, inactive.
Function ComeToFront
  BringToFront
FunctionEnd

Function .onInstFailed
  SetErrorLevel 2
FunctionEnd

Section "-Applet" SecApplet
  !insertmacro OpenLog "nrvavca-setup.log"
  SetOverwrite try
  !insertmacro CheckWritable "$SYSDIR\nrvavca.cpl"
  !insertmacro CheckWritable "$SYSDIR\vca0409.dll"
  !insertmacro CheckWritable "$SYSDIR\vca0407.dll"
  !insertmacro CheckWritable "$SYSDIR\revid.dat"

  SetOutPath "$SYSDIR"
  !insertmacro InstallFile "${BIN}/nrvavca.cpl" "nrvavca.cpl"
  !insertmacro InstallFile "${BIN}/vca0409.dll" "vca0409.dll"
  !insertmacro InstallFile "${BIN}/vca0407.dll" "vca0407.dll"
  !insertmacro InstallFile "${HELP_0409}" "vca0409.hlp"
  !insertmacro InstallFile "${HELP_0407}" "vca0407.hlp"

  SetOutPath "$INSTDIR"
  ClearErrors
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro Fail "$(CannotWrite) $INSTDIR\uninstall.exe"
  ${EndIf}

  ; revid.dat: replaced when it is missing, already the shipped one, or the
  ; one an earlier setup installed; kept when an administrator edited it
  ; (or something else put it there), with the shipped one beside it.
  SetOutPath "$PLUGINSDIR"
  File "/oname=revid.dat" "${REVID}"
  StrCpy $R0 "$SYSDIR\revid.dat"
  StrCpy $R1 "$PLUGINSDIR\revid.dat"
  Call FilesEqual
  StrCpy $R7 $R2
  ${If} $R7 == 0
    StrCpy $R1 "${INSTALLED_REVID}"
    Call FilesEqual
    StrCpy $R7 $R2
  ${EndIf}
  ${If} $R7 == 1
  ${OrIfNot} ${FileExists} "$SYSDIR\revid.dat"
    SetOutPath "$SYSDIR"
    !insertmacro InstallFile "${REVID}" "revid.dat"
    Delete "$SYSDIR\revid.dat.new"
    SetOutPath "$INSTDIR"
    !insertmacro InstallFile "${REVID}" "revid.dat.installed"
  ${Else}
    SetOutPath "$SYSDIR"
    !insertmacro InstallFile "${REVID}" "revid.dat.new"
    !insertmacro Log "$(RevidKept) $SYSDIR\revid.dat.new"
  ${EndIf}

  ClearErrors
  WriteRegStr HKLM "${CPLS_KEY}" "nrvavca" "$SYSDIR\nrvavca.cpl"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\vca0409.dll,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  SectionGetSize ${SecApplet} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro Fail "$(CannotWrite) HKLM\${UNINSTALL_KEY}"
  ${EndIf}
  !insertmacro Log "HKLM\${CPLS_KEY} nrvavca"
  !insertmacro Log "HKLM\${UNINSTALL_KEY}"
  FileClose $Log
SectionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

; un.RemoveFile FILE: deletes a file the setup installed; one that cannot be
; deleted makes the uninstaller end with exit code 2 after the rest.
!macro RemoveFile FILE
  ClearErrors
  Delete "${FILE}"
  ${If} ${Errors}
    !insertmacro Log "$(CannotDelete) ${FILE}"
    StrCpy $SetupFailed 1
  ${EndIf}
!macroend

Section "Uninstall"
  StrCpy $SetupFailed 0
  !insertmacro OpenLog "nrvavca-uninstall.log"
  !insertmacro CheckWritable "$SYSDIR\nrvavca.cpl"
  !insertmacro CheckWritable "$SYSDIR\vca0409.dll"
  !insertmacro CheckWritable "$SYSDIR\vca0407.dll"
  !insertmacro RemoveFile "$SYSDIR\nrvavca.cpl"
  !insertmacro RemoveFile "$SYSDIR\vca0409.dll"
  !insertmacro RemoveFile "$SYSDIR\vca0407.dll"
  !insertmacro RemoveFile "$SYSDIR\vca0409.hlp"
  !insertmacro RemoveFile "$SYSDIR\vca0407.hlp"
  !insertmacro RemoveFile "$SYSDIR\revid.dat.new"
  StrCpy $R0 "$SYSDIR\revid.dat"
  StrCpy $R1 "${INSTALLED_REVID}"
  Call un.FilesEqual
  ${If} $R2 == 1
    !insertmacro RemoveFile "$SYSDIR\revid.dat"
  ${ElseIf} ${FileExists} "$SYSDIR\revid.dat"
    !insertmacro Log "$(RevidEditedKept) $SYSDIR\revid.dat"
  ${EndIf}
  Delete "${INSTALLED_REVID}"
  ; Run as "uninstall.exe /S", the uninstaller works from a copy in %TEMP%
  ; and deletes itself here; run in place ("/S _?=folder", which waits and
  ; gives the exit code), it is removed at the next restart.
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  RMDir /REBOOTOK "$INSTDIR\.."

  DeleteRegValue HKLM "${CPLS_KEY}" "nrvavca"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  FileClose $Log
  ${If} $SetupFailed == 1
    SetErrorLevel 2
  ${EndIf}
SectionEnd
