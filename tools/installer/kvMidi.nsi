; kvMidi's installer, built by tools/package.sh with makensis:
;   makensis -DVERSION=1.2.0 -DSTAGE64=<folder> -DSTAGE32=<folder> -DICON=<.ico> -DOUTFILE=<setup.exe> kvMidi.nsi
; The setup is a 32-bit program so that it runs on every Windows; on 64-bit Windows it
; installs the 64-bit files into the 64-bit Program Files. -DAMD64 makes a 64-bit setup of the
; same script, for the test under a Wine that runs 64-bit programs only.
; The settings in the all-users application-data folder (Karvo\cfg) belong to the user: the
; uninstaller never touches them.
Unicode true
!ifdef AMD64
    Target amd64-unicode
    ; ${RunningX64} is always true there, which leaves LogicLib labels unused.
    !pragma warning disable 6012
!endif
; Windows treats a program named "...setup.exe" as an installer; ours asks for administrator
; rights in its manifest anyway.
!pragma warning disable 9000
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kvMidi"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "kvMidi ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
BrandingText "kvMidi ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "kvMidi"
VIAddVersionKey /LANG=1033 "FileDescription" "kvMidi ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "kvMidi"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\kvMidi.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The 64-bit registry view and Program Files on 64-bit Windows; /D=<folder> keeps its folder.
!macro UseNativeView
    SetShellVarContext all
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
!macroend

Function .onInit
    !insertmacro UseNativeView
    ${If} $INSTDIR == ""
        ${If} ${RunningX64}
            StrCpy $INSTDIR "$PROGRAMFILES64\kvMidi"
        ${Else}
            StrCpy $INSTDIR "$PROGRAMFILES\kvMidi"
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro UseNativeView
FunctionEnd

Section "kvMidi" SectionProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File "${STAGE64}/kvMidi.exe" "${STAGE64}/KvCom.dll" "${STAGE64}/kvlisten.exe"
    ${Else}
        File "${STAGE32}/kvMidi.exe" "${STAGE32}/KvCom.dll" "${STAGE32}/kvlisten.exe"
    ${EndIf}
    File "${STAGE64}/readme.txt"
    SetOutPath "$INSTDIR\guide"
    File "${STAGE64}/guide/*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\kvMidi.lnk" "$INSTDIR\kvMidi.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "kvMidi"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kvMidi.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start kvMidi with Windows" SectionRun
    WriteRegStr HKLM "${RUN_KEY}" "kvMidi" '"$INSTDIR\kvMidi.exe"'
SectionEnd

Section "Uninstall"
    DeleteRegValue HKLM "${RUN_KEY}" "kvMidi"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$SMPROGRAMS\kvMidi.lnk"
    Delete "$INSTDIR\kvMidi.exe"
    Delete "$INSTDIR\KvCom.dll"
    Delete "$INSTDIR\kvlisten.exe"
    Delete "$INSTDIR\readme.txt"
    RMDir /r "$INSTDIR\guide"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: a folder the user chose may hold files of their own.
    RMDir "$INSTDIR"
SectionEnd
