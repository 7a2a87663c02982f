; The Tarvo installer: vintrel.exe, lindle.dll and Tarvo.chm (on 64-bit Windows also
; lindle64.dll and its host lindle64host.exe), the installation values the programs read,
; the Start-menu entry, the start at log-on and the uninstaller.
;
;   makensis -DVERSION=2.0.4 -DBIN_DIR=<folder of the files> -DOUT_FILE=<setup.exe>
;            tarvo.nsi
;
; Command line of the result: /S silent, /D=<folder> (last, unquoted), /NOTOOLBAR (the
; push-button layout, for silent installs). The uninstaller takes /S and then keeps the
; user's shortcuts.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include x64.nsh

!ifndef VERSION | BIN_DIR | OUT_FILE
  !error "Define VERSION, BIN_DIR and OUT_FILE"
!endif

!define PRODUCT "Tarvo"
!define COMPANY "Vellora"
!define STORE_KEY "Software\Vellora\Tarvo"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The store's format version: 2.0 with the release's build in the low byte, which the
; programs accept (upper 16 bits at most 2, bits 8 to 15 clear).
!define STORE_VERSION 0x00020004

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${COMPANY}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "${PRODUCT}-${VERSION}-setup.exe"

!define MUI_ICON "${__FILEDIR__}\..\editor\resources\tarvo.ico"
!define MUI_UNICON "${__FILEDIR__}\..\editor\resources\tarvo.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\welcome.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\welcome.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${__FILEDIR__}\header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${__FILEDIR__}\header.bmp"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_CUSTOMFUNCTION_GUIINIT PicturesForDpi
!define MUI_CUSTOMFUNCTION_UNGUIINIT un.PicturesForDpi

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, the system-wide hotkey launcher, on this computer.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup ends it before replacing its files. Your shortcuts and settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} is installed. It runs in the notification area of the taskbar; double-click its icon to edit your shortcuts.$\r$\n$\r$\nClick Finish to close Setup."
!define MUI_FINISHPAGE_RUN "$INSTDIR\vintrel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.ShortcutsPage un.ShortcutsPageLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------------------
; Shared by the installer and the uninstaller.

; Ends every running editor: "vintrel quit" posts the end to each window captioned
; "Vintrel" and returns at once, so wait until those windows have gone.
!macro EndRunningEditors un
Function ${un}EndRunningEditors
  Exch $0  ; the folder holding vintrel.exe, with a trailing backslash
  Push $1
  Push $2
  ${If} ${FileExists} "$0vintrel.exe"
    ExecWait '"$0vintrel.exe" quit'
  ${EndIf}
  ${For} $2 1 100
    FindWindow $1 "#32770" "Vintrel"
    ${IfThen} $1 = 0 ${|} ${Break} ${|}
    Sleep 100
  ${Next}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndRunningEditors ""
!insertmacro EndRunningEditors "un."

; Deletes a file; when the system refuses because the file is still mapped (lindle.dll is
; loaded into every process its hooks reached), renames it aside and deletes it at restart.
!macro RemoveFile un
Function ${un}RemoveFile
  Exch $0  ; the file
  Push $1
  ClearErrors
  Delete "$0"
  ${If} ${FileExists} "$0"
    GetTempFileName $1 "$INSTDIR"
    Delete "$1"
    ClearErrors
    Rename "$0" "$1"
    ${If} ${Errors}
      DetailPrint "Could not remove $0"
    ${Else}
      Delete /REBOOTOK "$1"
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RemoveFile ""
!insertmacro RemoveFile "un."

; Sets $0 to 1 when the key holds a value of that name, of any type, else 0.
Function ValueExists
  Exch $1  ; value name
  Exch
  Exch $2  ; key under HKEY_CURRENT_USER
  Push $3
  Push $4
  StrCpy $0 0
  StrCpy $4 0
  ${Do}
    ClearErrors
    EnumRegValue $3 HKCU "$2" $4
    ${If} ${Errors}
    ${OrIf} $3 == ""
      ${Break}
    ${EndIf}
    ${If} $3 == $1
      StrCpy $0 1
      ${Break}
    ${EndIf}
    IntOp $4 $4 + 1
  ${Loop}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Writes a DWORD setting of the user's store only where the store has no value of that name.
!macro SetDefaultDword name value
  Push "${STORE_KEY}"
  Push "${name}"
  Call ValueExists
  ${If} $0 = 0
    WriteRegDWORD HKCU "${STORE_KEY}" "${name}" ${value}
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------------------
; Installer.

Section "-${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"

  ; Editors of an earlier installation in another folder, then of this one.
  ReadRegStr $R0 HKLM "${STORE_KEY}" "Installation path"
  ${If} $R0 != ""
    Push $R0
    Call EndRunningEditors
  ${EndIf}
  Push "$INSTDIR\"
  Call EndRunningEditors

  ${ForEach} $R1 0 2 + 1
    ${Select} $R1
      ${Case} 0
        StrCpy $R2 "vintrel.exe"
      ${Case} 1
        StrCpy $R2 "lindle.dll"
      ${Case} 2
        StrCpy $R2 "Tarvo.chm"
    ${EndSelect}
    Push "$INSTDIR\$R2"
    Call RemoveFile
  ${Next}
  File "${BIN_DIR}\vintrel.exe"
  File "${BIN_DIR}\lindle.dll"
  File "${BIN_DIR}\Tarvo.chm"
  ; The 64-bit engine for 64-bit programs, on 64-bit Windows only. A file in use (the library
  ; stays mapped into the 64-bit programs its hooks reached) is replaced at the next restart.
  ${If} ${RunningX64}
    File "/oname=$INSTDIR\lindle64.dll.new" "${BIN_DIR}\lindle64.dll"
    Delete "$INSTDIR\lindle64.dll"
    Rename /REBOOTOK "$INSTDIR\lindle64.dll.new" "$INSTDIR\lindle64.dll"
    File "/oname=$INSTDIR\lindle64host.exe.new" "${BIN_DIR}\lindle64host.exe"
    Delete "$INSTDIR\lindle64host.exe"
    Rename /REBOOTOK "$INSTDIR\lindle64host.exe.new" "$INSTDIR\lindle64host.exe"
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Machine-wide: the programs append file names straight to the path.
  WriteRegStr HKLM "${STORE_KEY}" "Installation path" "$INSTDIR\"

  ; The user's store: only what is missing, so an upgrade keeps every existing value.
  !insertmacro SetDefaultDword "Version" ${STORE_VERSION}
  !insertmacro SetDefaultDword "Do not remove keystroke" 0
  !insertmacro SetDefaultDword "Beep after keystroke" 0
  !insertmacro SetDefaultDword "Beep type" 48

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vintrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  IntFmt $R0 "0x%08X" $R0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

Section "Start-menu entry" SecStartMenu
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\vintrel.exe" "" "$INSTDIR\vintrel.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\Tarvo.chm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

Section "Start Tarvo when I log on" SecLogOn
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\vintrel.exe"'
SectionEnd

Section /o "Use push buttons instead of the toolbar" SecNoToolbar
SectionEnd

; Choices left out on this run undo what an earlier installation set up.
Section "-Settings"
  SetShellVarContext all
  ${IfNot} ${SectionIsSelected} ${SecStartMenu}
    RMDir /r "$SMPROGRAMS\${PRODUCT}"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecLogOn}
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecNoToolbar}
    WriteRegDWORD HKLM "${STORE_KEY}" "No toolbar" 1
  ${Else}
    DeleteRegValue HKLM "${STORE_KEY}" "No toolbar"
  ${EndIf}
SectionEnd

; The pictures are drawn for 100, 150 and 200 %. Setup is DPI-aware, so its pages fit
; their pictures to controls measured at the screen's DPI: the drawing nearest to that
; DPI replaces the 100 % one before the pages load it, so that it is not enlarged from 100 %.
!macro PicturesForDpi UN
Function ${UN}PicturesForDpi
  System::Call 'user32::GetDC(p 0) p .r1'
  System::Call 'gdi32::GetDeviceCaps(p r1, i 90) i .r0'  ; LOGPIXELSY
  System::Call 'user32::ReleaseDC(p 0, p r1)'
  ${If} $0 >= 168
    File "/oname=$PLUGINSDIR\modern-header.bmp" "${__FILEDIR__}\header200.bmp"
    !if "${UN}" == ""
      File "/oname=$PLUGINSDIR\modern-wizard.bmp" "${__FILEDIR__}\welcome200.bmp"
    !endif
  ${ElseIf} $0 >= 120
    File "/oname=$PLUGINSDIR\modern-header.bmp" "${__FILEDIR__}\header150.bmp"
    !if "${UN}" == ""
      File "/oname=$PLUGINSDIR\modern-wizard.bmp" "${__FILEDIR__}\welcome150.bmp"
    !endif
  ${Else}
    Return
  ${EndIf}
  SetBrandingImage /IMGID=1046 /RESIZETOFIT "$PLUGINSDIR\modern-header.bmp"
FunctionEnd
!macroend
!insertmacro PicturesForDpi ""
!insertmacro PicturesForDpi "un."

Function .onInit
  ; An upgrade keeps the folder and the layout of the installation it replaces.
  ReadRegStr $0 HKLM "${STORE_KEY}" "Installation path"
  ${If} $0 != ""
  ${AndIf} $INSTDIR == "$PROGRAMFILES\${PRODUCT}"
    StrCpy $INSTDIR $0 -1  ; without the trailing backslash
  ${EndIf}
  ClearErrors
  ReadRegDWORD $0 HKLM "${STORE_KEY}" "No toolbar"
  ${IfNot} ${Errors}
  ${AndIf} $0 <> 0
    !insertmacro SelectSection ${SecNoToolbar}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOTOOLBAR" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecNoToolbar}
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------
; Uninstaller.

; "no" once the user chose to remove the shortcuts; a silent uninstall keeps them.
Var KeepShortcuts
Var RemoveChoice

; The question is a page of its own rather than a message box, before the confirmation.
Function un.ShortcutsPage
  !insertmacro MUI_HEADER_TEXT "Your shortcuts" "Choose whether to keep your shortcuts and settings."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "Your shortcuts and keystroke settings belong to your Windows account. Keep them if you may install ${PRODUCT} again: it then finds them as you left them."
  Pop $0
  ${NSD_CreateRadioButton} 10u 40u 90% 12u "&Keep my shortcuts and settings"
  Pop $1
  ${NSD_CreateRadioButton} 10u 56u 90% 12u "&Remove my shortcuts and settings from this computer"
  Pop $RemoveChoice
  ${If} $KeepShortcuts == "no"
    ${NSD_Check} $RemoveChoice
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.ShortcutsPageLeave
  ${NSD_GetState} $RemoveChoice $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $KeepShortcuts "no"
  ${Else}
    StrCpy $KeepShortcuts ""
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Push "$INSTDIR\"
  Call un.EndRunningEditors

  ${ForEach} $R1 0 3 + 1
    ${Select} $R1
      ${Case} 0
        StrCpy $R2 "vintrel.exe"
      ${Case} 1
        StrCpy $R2 "lindle.dll"
      ${Case} 2
        StrCpy $R2 "Tarvo.chm"
      ${Case} 3
        StrCpy $R2 "uninstall.exe"
    ${EndSelect}
    Push "$INSTDIR\$R2"
    Call un.RemoveFile
  ${Next}
  ; The 64-bit engine's files; one in use goes at the next restart.
  Delete "$INSTDIR\lindle64.dll.new"
  Delete /REBOOTOK "$INSTDIR\lindle64.dll"
  Delete "$INSTDIR\lindle64host.exe.new"
  Delete /REBOOTOK "$INSTDIR\lindle64host.exe"
  ; Files renamed aside go at restart, and the folder with them.
  RMDir /REBOOTOK "$INSTDIR"

  RMDir /r "$SMPROGRAMS\${PRODUCT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${STORE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\${COMPANY}"

  ${If} $KeepShortcuts == "no"
    DeleteRegKey HKCU "${STORE_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  ${EndIf}

  ; Last, so that whoever waits for the uninstaller can wait for this entry to go.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
