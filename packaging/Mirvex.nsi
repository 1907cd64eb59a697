; Mirvex's per-user installer. Built by packaging/make_dist.py (the CMake
; target dist), which passes the version, the names, the exit code the
; package managers' manifests name, and the files to install:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3.4 -DPRODUCT=Mirvex -DPUBLISHER=...
;            -DEXIT_MIRVEX_RUNNING=2 -DMAIN_EXE=... -DSERVICE_EXE=...
;            -DICON=... -DOUTFILE=... [-DSIGN_COMMAND=...] Mirvex.nsi
; SIGN_COMMAND, when given, is a shell command that signs the file named by
; its last argument in place.
;
; Mirvex keeps its record list beside the program, so the program folder must
; be writable by the user: the installer puts it under the user's own
; %LOCALAPPDATA%\Programs and needs no administrator rights. The user's data,
; Mirvex.lst and the settings under HKCU\Software\Norvale\Mirvex, are never
; written or removed here, neither by an installation over an earlier one nor
; by the uninstaller.

!ifndef VERSION | PRODUCT | PUBLISHER | EXIT_MIRVEX_RUNNING | MAIN_EXE | SERVICE_EXE | ICON | OUTFILE
  !error "VERSION, PRODUCT, PUBLISHER, EXIT_MIRVEX_RUNNING, MAIN_EXE, SERVICE_EXE, ICON and OUTFILE must be defined"
!endif

; The programs are 64-bit, so the installer is too.
Target amd64-unicode
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user
; The installer's bytes must not depend on when its files were built: it
; stores no file times, and the installed files get the time of installing.
SetDateSave off

!ifdef SIGN_COMMAND
  ; The uninstaller is signed before it is stored, so the one the installer
  ; writes carries the signature. A failed signing stops the build.
  !uninstfinalize `${SIGN_COMMAND} "%1"` = 0
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MAIN_FILE "Mirvex.exe"
!define SERVICE_FILE "MirvexService.exe"
; Named after the product: a folder that another product shares may hold
; that product's own "Uninstall.exe".
!define UNINSTALLER_FILE "Uninstall ${PRODUCT}.exe"
; The launcher's argument that lets it start Mirvex after its update check.
!define SERVICE_ARGUMENTS "/inst"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; Its name is the ProductCode by which package managers find the installation.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; What shows that Mirvex or its launcher runs: their single-instance mutexes,
; nothing else (other programs' windows may share the main window's class
; name).
!define MAIN_MUTEX "MirvexMutex"
!define SERVICE_MUTEX "MirvexServiceMutex"
; The programs' own single-instance check opens the mutex with this access;
; so does the installer, to see a running copy the way they do.
!define MUTEX_ALL_ACCESS 0x001F0001
!define ERROR_ACCESS_DENIED 5

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An installation over an earlier one goes where that one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE WaitForMirvexToEnd
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page starts Mirvex the way the shortcut does: through the launcher.
!define MUI_FINISHPAGE_RUN "$INSTDIR\${SERVICE_FILE}"
!define MUI_FINISHPAGE_RUN_PARAMETERS "${SERVICE_ARGUMENTS}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for every user language without its own.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Korean"

LangString MirvexRunning ${LANG_ENGLISH} "Mirvex is running.$\r$\n$\r$\nClose Mirvex, then choose Retry to go on, or choose Cancel to stop."
LangString MirvexRunning ${LANG_KOREAN} "Mirvex가 실행 중입니다.$\r$\n$\r$\nMirvex를 닫은 뒤 [다시 시도]를 눌러 계속하거나 [취소]를 눌러 멈추십시오."
LangString ShortcutDescription ${LANG_ENGLISH} "Clicks the mouse for you"
LangString ShortcutDescription ${LANG_KOREAN} "마우스를 대신 클릭해 주는 프로그램"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "© ${PUBLISHER}"

; Asks the user to close Mirvex for as long as it runs. Cancel (and /S, which
; answers Cancel) ends the program with EXIT_MIRVEX_RUNNING (NSIS's own code
; for "ended by the script") before anything is changed. Defined once for the installer and once for the uninstaller.
;
; Mirvex or its launcher runs while its mutex exists. A mutex that may not be
; opened ("access denied") belongs to a copy running with other rights, such
; as an elevated one: that copy runs too.
!macro WAIT_FOR_MIRVEX_TO_END PREFIX
  ; Pushes 1 when the mutex named on the stack exists, 0 otherwise.
  Function ${PREFIX}MutexExists
    Exch $0 ; the name
    Push $1
    Push $2
    System::Call 'kernel32::OpenMutexW(i ${MUTEX_ALL_ACCESS}, i 0, w r0) p .r1 ?e'
    Pop $2 ; the last error
    StrCpy $0 0
    ${If} $1 != 0
      System::Call 'kernel32::CloseHandle(p r1)'
      StrCpy $0 1
    ${ElseIf} $2 = ${ERROR_ACCESS_DENIED}
      StrCpy $0 1
    ${EndIf}
    Pop $2
    Pop $1
    Exch $0
  FunctionEnd

  Function ${PREFIX}IsMirvexRunning
    Push $0
    Push "${MAIN_MUTEX}"
    Call ${PREFIX}MutexExists
    Pop $0
    ${If} $0 == 0
      Push "${SERVICE_MUTEX}"
      Call ${PREFIX}MutexExists
      Pop $0
    ${EndIf}
    Exch $0
  FunctionEnd

  Function ${PREFIX}WaitForMirvexToEnd
    Push $0
    ${Do}
      Call ${PREFIX}IsMirvexRunning
      Pop $0
      ${IfThen} $0 == 0 ${|} ${Break} ${|}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MirvexRunning)" /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_MIRVEX_RUNNING}
      Quit
      retry:
    ${Loop}
    Pop $0
  FunctionEnd
!macroend
!insertmacro WAIT_FOR_MIRVEX_TO_END ""
!insertmacro WAIT_FOR_MIRVEX_TO_END "un."

Function .onInit
  Call WaitForMirvexToEnd
FunctionEnd

Function un.onInit
  Call un.WaitForMirvexToEnd
FunctionEnd

Section "Install"
  ; Also the shortcut's working folder, and the folder the finish page's
  ; start runs in.
  SetOutPath "$INSTDIR"
  File "/oname=${MAIN_FILE}" "${MAIN_EXE}"
  File "/oname=${SERVICE_FILE}" "${SERVICE_EXE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER_FILE}"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\${SERVICE_FILE}" "${SERVICE_ARGUMENTS}" \
      "$INSTDIR\${MAIN_FILE}" 0 SW_SHOWNORMAL "" "$(ShortcutDescription)"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${MAIN_FILE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\${MAIN_FILE}"
  Delete "$INSTDIR\${SERVICE_FILE}"
  Delete "$INSTDIR\${UNINSTALLER_FILE}"
  ; Removed only when empty: a record list keeps the folder and itself.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
