; The QK-R40 Utility's Windows installer.
; makensis -DSTAGE=<program folder> -DOUTFILE=<setup.exe> -DVERSION=1.40 -DTARGET=x86-unicode
;          [-DCOMPRESSOR=zlib] QK40UTL.nsi
; Silent deployment: setup.exe /S [/SIMULATOR] [/D=C:\folder]  (/D last, without quotes).
; Uninstalling keeps the data folder (the printer list and settings files).

!ifndef STAGE | OUTFILE | VERSION | TARGET
  !error "STAGE, OUTFILE, VERSION and TARGET must be defined"
!endif

Unicode true
Target ${TARGET}
!ifdef COMPRESSOR
  SetCompressor /SOLID ${COMPRESSOR}
!else
  SetCompressor /SOLID lzma
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "QK-R40 Utility"
!define MAKER "TARROW"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QK40UTL"
!define SETTINGS_KEY "Software\${MAKER}\QK40Utl"
!define MENU_FOLDER "$SMPROGRAMS\${MAKER}"

Name "${PRODUCT} Ver.${VERSION}"
OutFile "${OUTFILE}"
; A 64-bit installer's $PROGRAMFILES is the 64-bit one, so one line serves both builds.
InstallDir "$PROGRAMFILES\${MAKER}\QK40Utl"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallDir"
; The utility itself needs administrator rights, and the uninstall entry is machine-wide.
RequestExecutionLevel admin
BrandingText "${MAKER} ${PRODUCT} Ver.${VERSION}"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\QK40UTL.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Japanese"

LangString DescUtility ${LANG_ENGLISH} "The utility, its plug-ins, language and menu files."
LangString DescUtility ${LANG_GERMAN} "Das Dienstprogramm mit seinen Plug-ins, Sprach- und Menüdateien."
LangString DescUtility ${LANG_JAPANESE} "ユーティリティ本体、プラグイン、言語ファイルとメニューファイル。"
LangString DescSimulator ${LANG_ENGLISH} "Try the utility without a printer: a simulated QK-R40 and the printer maker's libraries and tools as stand-ins."
LangString DescSimulator ${LANG_GERMAN} "Das Dienstprogramm ohne Drucker ausprobieren: ein simulierter QK-R40 und Ersatz für die Bibliotheken und Werkzeuge des Druckerherstellers."
LangString DescSimulator ${LANG_JAPANESE} "プリンターなしでユーティリティを試す: QK-R40 のシミュレーターと、プリンターメーカーのライブラリとツールの代替。"
LangString NameSimulator ${LANG_ENGLISH} "Printer simulator"
LangString NameSimulator ${LANG_GERMAN} "Druckersimulator"
LangString NameSimulator ${LANG_JAPANESE} "プリンターシミュレーター"

; The stand-ins for the printer maker's files, named once for installing and removing.
!macro StandIns ACTION
  !insertmacro ${ACTION} "QKComm.dll"
  !insertmacro ${ACTION} "PrinfoLib.dll"
  !insertmacro ${ACTION} "ProbeEngine.dll"
  !insertmacro ${ACTION} "ProbeEngine.ini"
  !insertmacro ${ACTION} "PortCfgLib.DLL"
  !insertmacro ${ACTION} "PortCfgLib.ini"
  !insertmacro ${ACTION} "QKPrinterSim.exe"
  !insertmacro ${ACTION} "QKRestoreApp.exe"
  !insertmacro ${ACTION} "QKRestoreAppStop.exe"
  !insertmacro ${ACTION} "TNConfig.exe"
  !insertmacro ${ACTION} "TarCa.exe"
  !insertmacro ${ACTION} "QKBluetoothConnector.exe"
  !insertmacro ${ACTION} "TarrowPA.exe"
  !insertmacro ${ACTION} "PortCommunicationService.exe"
  !insertmacro ${ACTION} "JrnlView.exe"
!macroend
!macro PutFile NAME
  File "${STAGE}/${NAME}"
!macroend
!macro DropFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

Section "${PRODUCT}" SecUtility
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/QK40UTL.exe"
  File "${STAGE}/QKU*.dll"
  File "${STAGE}/MENUITEM*.DAT"
  ; The operator's language choice lives in SETTING.INI: an upgrade keeps it.
  SetOverwrite off
  File "${STAGE}/SETTING.INI"
  SetOverwrite on
  SetOutPath "$INSTDIR\LANG"
  File "${STAGE}/LANG/*.DAT"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\QK40UTL.exe"

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QK40UTL.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(NameSimulator)" SecSimulator
  SetOutPath "$INSTDIR"
  !insertmacro StandIns PutFile
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\QK-R40 Printer Simulator.lnk" "$INSTDIR\QKPrinterSim.exe"
SectionEnd

Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUtility} $(DescUtility)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSimulator} $(DescSimulator)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  SetShellVarContext all
  ; /SIMULATOR chooses the optional component in a silent deployment.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SIMULATOR" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSimulator}
  ${EndIf}
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

; Removes the program files only: the data folder under the all-users application data,
; with the printer list and the printers' settings files, stays for a later installation.
Section "Uninstall"
  Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\QK-R40 Printer Simulator.lnk"
  RMDir "${MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\${MAKER}"

  ; The program folder last: its going marks the end for a caller that waits on it.
  Delete "$INSTDIR\QK40UTL.exe"
  Delete "$INSTDIR\QKU*.dll"
  Delete "$INSTDIR\MENUITEM*.DAT"
  Delete "$INSTDIR\SETTING.INI"
  Delete "$INSTDIR\LANG\*.DAT"
  RMDir "$INSTDIR\LANG"
  !insertmacro StandIns DropFile
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES\${MAKER}"
SectionEnd
