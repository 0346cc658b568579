; Lumetta's per-user installer: no administrator rights, the program in the user's own programs
; folder and one Apps & features entry under HKCU. tools/make-dist gives the defines VERSION,
; BUILD, PUBLISHER, EXE, ICON, OUTFILE and, when signing, SIGN_COMMAND.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
; A program file that cannot be written fails the install (silent: cancels it) rather than
; leaving the old one behind under the new version's entry.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

; Names the program itself uses: the card's window class and its start-at-login values.
!define CARD_CLASS "LumettaMonitorWindow"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define LOGIN_VALUE "Lumetta"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumetta"
!define SHORTCUT "$SMPROGRAMS\Lumetta.lnk"
!define SYNCHRONIZE 0x00100000
; How long the card gets to handle WM_CLOSE, then to end its process.
!define CLOSE_SEND_MS 5000
!define CLOSE_WAIT_MS 10000

Name "Lumetta"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lumetta"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Lumetta ${VERSION}"

VIProductVersion "${VERSION}.${BUILD}"
VIFileVersion "${VERSION}.${BUILD}"
VIAddVersionKey /LANG=0 "ProductName" "Lumetta"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "Lumetta Setup"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}.${BUILD}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!ifdef SIGN_COMMAND
  !finalize '${SIGN_COMMAND} "%1"'
  !uninstfinalize '${SIGN_COMMAND} "%1"'
!endif

Var CardWasRunning

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "$(Welcome)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\lumetta.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartLumetta)"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(KeepsData)"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(KeptData)"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString Welcome ${LANG_ENGLISH} "Setup will install Lumetta ${VERSION} for you alone, in $INSTDIR. It needs no administrator rights.$\r$\n$\r$\nA running Lumetta is closed and started again afterwards; your settings are kept.$\r$\n$\r$\nClick Install to start the installation."
LangString Welcome ${LANG_JAPANESE} "Lumetta ${VERSION} をあなた専用に $INSTDIR へインストールします。管理者の権限は要りません。$\r$\n$\r$\n動いている Lumetta はいったん終了し、インストール後にもう一度起動します。設定はそのまま残ります。$\r$\n$\r$\n[インストール] をクリックすると始まります。"
LangString StartLumetta ${LANG_ENGLISH} "Start Lumetta"
LangString StartLumetta ${LANG_JAPANESE} "Lumetta を起動する"
LangString StillRunning ${LANG_ENGLISH} "Lumetta is still running. Close it, then choose Retry."
LangString StillRunning ${LANG_JAPANESE} "Lumetta がまだ動いています。終了してから [再試行] を選んでください。"
LangString KeepsData ${LANG_ENGLISH} "Lumetta will be removed from this computer. Your settings and logs in $LOCALAPPDATA\Lumetta are kept; delete that folder to remove them too."
LangString KeepsData ${LANG_JAPANESE} "Lumetta をこのコンピューターから削除します。$LOCALAPPDATA\Lumetta の設定とログは残ります。それらも消すにはこのフォルダーを削除してください。"
LangString KeptData ${LANG_ENGLISH} "Lumetta has been removed. Your settings and logs are kept in $LOCALAPPDATA\Lumetta; delete that folder to remove them too."
LangString KeptData ${LANG_JAPANESE} "Lumetta を削除しました。設定とログは $LOCALAPPDATA\Lumetta に残しています。それらも消すにはこのフォルダーを削除してください。"

; Closes a running card so that its files can be replaced or removed: WM_CLOSE to its window,
; which ends its process, then a bounded wait for that. $0 is 1 when a card was running. A card
; that does not end leaves the choice to the user (silent: the install or uninstall is cancelled).
!macro CLOSE_CARD un
Function ${un}CloseCard
  StrCpy $0 0
  retry:
  FindWindow $1 "${CARD_CLASS}"
  ${If} $1 == 0
    Return
  ${EndIf}
  StrCpy $0 1
  System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2) i'
  System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r3'
  SendMessage $1 ${WM_CLOSE} 0 0 $4 /TIMEOUT=${CLOSE_SEND_MS}
  ${If} $3 != 0
    System::Call 'kernel32::WaitForSingleObject(p r3, i ${CLOSE_WAIT_MS}) i .r4'
    System::Call 'kernel32::CloseHandle(p r3)'
    ${If} $4 == 0  ; WAIT_OBJECT_0
      Return
    ${EndIf}
  ${Else}
    ; Without a handle on the process, its window going away is the sign.
    StrCpy $4 0
    ${DoWhile} $4 < ${CLOSE_WAIT_MS}
      IsWindow $1 0 done
      Sleep 100
      IntOp $4 $4 + 100
    ${Loop}
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
  Abort "$(StillRunning)"
  done:
FunctionEnd
!macroend
!insertmacro CLOSE_CARD ""
!insertmacro CLOSE_CARD "un."

Section
  Call CloseCard
  StrCpy $CardWasRunning $0
  SetOutPath "$INSTDIR"
  File "/oname=lumetta.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\lumetta.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lumetta"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumetta.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1

  ; A card that was running when the upgrade began runs again, silent or not.
  ${If} $CardWasRunning == 1
    Exec '"$INSTDIR\lumetta.exe"'
  ${EndIf}
SectionEnd

; The finish page offers to start Lumetta, unless the card was restarted already.
Function FinishShow
  ${If} $CardWasRunning == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

; Settings and logs stay: a reinstall finds them as they were.
Section "Uninstall"
  Call un.CloseCard
  Delete "$INSTDIR\lumetta.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${LOGIN_VALUE}"
  DeleteRegValue HKCU "${APPROVED_KEY}" "${LOGIN_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "$(KeptData)"
SectionEnd
