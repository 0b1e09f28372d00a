; kvMidi's installer, built by tools/package.sh with makensis:
;   makensis -DVERSION=1.2.0 -DSTAGE=<win32 folder> -DICON=<.ico> -DOUTFILE=<setup.exe> kvMidi.nsi
; A 32-bit setup that installs the i686 program on every Windows (into the 32-bit Program Files
; on 64-bit Windows): it runs everywhere, and it is the build the maker's KvCom.dll fits.
; The settings in the all-users application-data folder (Karvo\cfg) belong to the users: the
; setup creates that folder so that every user may change the files in it, and the
; uninstaller never touches it.
Unicode true
; Windows treats a program named "...setup.exe" as an installer; ours asks for administrator
; rights in its manifest anyway.
!pragma warning disable 9000
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kvMidi"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Every running kvMidi owns one hidden window of this class; WM_CLOSE to it ends that copy as
; the tray menu's Exit does.
!define TRAY_CLASS "kvMidiTray"
; Modify rights for the Users group, inherited by the folders and files below.
!define USERS_MAY_MODIFY "D:(A;OICI;0x1301bf;;;BU)"

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

Var EndedCopies

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartThroughShell
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The registry's native view, where an installation by an earlier 64-bit setup is found too.
!macro UseNativeView
    SetShellVarContext all
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
!macroend

!macro EndRunningCopies un
; Asks every running kvMidi to end and waits up to 15 s until none runs and the installed
; program can be replaced; otherwise stops with exit code 2 before any file is touched.
Function ${un}EndRunningCopies
    ${For} $R1 1 75
        ; Every window of the class, each time round: a copy whose window comes later is asked too.
        StrCpy $R0 0
        StrCpy $R3 0
        ${Do}
            FindWindow $R0 "${TRAY_CLASS}" "" 0 $R0
            ${IfThen} $R0 == 0 ${|} ${ExitDo} ${|}
            System::Call 'user32::PostMessageW(p R0, i ${WM_CLOSE}, p 0, p 0)'
            StrCpy $R3 1
            StrCpy $EndedCopies 1
        ${Loop}
        ${If} $R3 == 0
            ${IfNot} ${FileExists} "$INSTDIR\kvMidi.exe"
                Return
            ${EndIf}
            ; A running program cannot be opened for writing.
            ClearErrors
            FileOpen $R2 "$INSTDIR\kvMidi.exe" a
            ${IfNot} ${Errors}
                FileClose $R2
                Return
            ${EndIf}
        ${EndIf}
        Sleep 200
    ${Next}
    MessageBox MB_OK|MB_ICONSTOP "kvMidi is still running. End it with Exit in its tray menu, then try again." /SD IDOK
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro EndRunningCopies ""
!insertmacro EndRunningCopies "un."

!macro Release pointer
    ${If} ${pointer} P<> 0
        System::Call '${pointer}->2()'
    ${EndIf}
!macroend

; Starts the installed kvMidi as the desktop's shell would on a double click: the setup runs
; elevated, and a program it started itself would be too, owning the settings it creates.
; The shell's own ShellExecute is reached through the desktop window's folder view.
Function StartThroughShell
    StrCpy $1 0
    StrCpy $3 0
    StrCpy $4 0
    StrCpy $5 0
    StrCpy $6 0
    StrCpy $7 0
    StrCpy $8 0
    StrCpy $9 0
    System::Call '*(l 0, l 0) p .r2'   ; an empty VARIANT
    System::Call 'ole32::CoCreateInstance(g "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}", p 0, i 4, g "{85CB6900-4D95-11CF-960C-0080C7F4EE85}", *p .r1) i .r0'
    ${If} $0 == 0
        ; IShellWindows::FindWindowSW(SWC_DESKTOP, SWFO_NEEDDISPATCH)
        System::Call '$1->15(p r2, p r2, i 8, *i .r0, i 1, *p .r3) i .r0'
    ${EndIf}
    ${If} $0 == 0
        ; IServiceProvider, then SID_STopLevelBrowser's IShellBrowser
        System::Call '$3->0(g "{6D5140C1-7436-11CE-8034-00AA006009FA}", *p .r4) i .r0'
    ${EndIf}
    ${If} $0 == 0
        System::Call '$4->3(g "{4C96BE40-915C-11CF-99D3-00AA004AE837}", g "{000214E2-0000-0000-C000-000000000046}", *p .r5) i .r0'
    ${EndIf}
    ${If} $0 == 0
        ; IShellBrowser::QueryActiveShellView, IShellView::GetItemObject(SVGIO_BACKGROUND, IDispatch)
        System::Call '$5->15(*p .r6) i .r0'
    ${EndIf}
    ${If} $0 == 0
        System::Call '$6->15(i 0, g "{00020400-0000-0000-C000-000000000046}", *p .r7) i .r0'
    ${EndIf}
    ${If} $0 == 0
        ; IShellFolderViewDual::get_Application, then its IShellDispatch2
        System::Call '$7->0(g "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}", *p .r8) i .r0'
    ${EndIf}
    ${If} $0 == 0
        System::Call '$8->7(*p .r9) i .r0'
    ${EndIf}
    ${If} $0 == 0
        !insertmacro Release $3
        System::Call '$9->0(g "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}", *p .r3) i .r0'
    ${EndIf}
    ${If} $0 == 0
        ; ShellExecute(file, arguments, folder, verb, SW_SHOWNORMAL): VARIANTs by value, 16 bytes each
        System::Call 'oleaut32::SysAllocString(w "$INSTDIR\kvMidi.exe") p .R4'
        System::Call '$3->31(p R4, l 0, l 0, l 0, l 0, l 0, l 0, l 3, l 1) i .r0'
        System::Call 'oleaut32::SysFreeString(p R4)'
    ${EndIf}
    ${If} $0 == 0
        DetailPrint "kvMidi started through the desktop's shell"
    ${Else}
        ; Nothing else is tried: whatever the setup starts itself runs elevated.
        DetailPrint "kvMidi not started: the desktop's shell did not answer ($0)"
    ${EndIf}
    !insertmacro Release $9
    !insertmacro Release $8
    !insertmacro Release $7
    !insertmacro Release $6
    !insertmacro Release $5
    !insertmacro Release $4
    !insertmacro Release $3
    !insertmacro Release $1
    System::Free $2
FunctionEnd

; The settings folder, with modify rights for every user: whoever runs kvMidi first, elevated
; or not, creates an INI that the others can save. Rights already there stay.
Function CreateSettingsFolder
    CreateDirectory "$APPDATA\Karvo\cfg"
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${USERS_MAY_MODIFY}", i 1, *p .r1, p 0) i .r0'
    ${If} $0 != 0
        System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r2, *p .r3, *i .r4) i .r0'
        ; SE_FILE_OBJECT; DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION keeps the inherited rules
        System::Call 'advapi32::SetNamedSecurityInfoW(w "$APPDATA\Karvo\cfg", i 1, i 0x20000004, p 0, p 0, p r3, p 0) i .r0'
        DetailPrint "Settings folder $APPDATA\Karvo\cfg: rights set ($0)"
        System::Call 'kernel32::LocalFree(p r1)'
    ${EndIf}
FunctionEnd

Function .onInit
    !insertmacro UseNativeView
    ; /D=<folder> sets $INSTDIR before this; an upgrade without it keeps the installed folder.
    ${If} $INSTDIR == ""
        ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $INSTDIR == ""
        StrCpy $INSTDIR "$PROGRAMFILES\kvMidi"
    ${EndIf}
FunctionEnd

; A silent upgrade that ended kvMidi starts it again, as the user's own program.
Function .onInstSuccess
    ${If} ${Silent}
    ${AndIf} $EndedCopies == 1
        Call StartThroughShell
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro UseNativeView
FunctionEnd

Section "kvMidi" SectionProgram
    SectionIn RO
    Call EndRunningCopies
    Call CreateSettingsFolder
    SetOutPath "$INSTDIR"
    File "${STAGE}/kvMidi.exe" "${STAGE}/KvCom.dll" "${STAGE}/kvlisten.exe" "${STAGE}/readme.txt"
    SetOutPath "$INSTDIR\guide"
    File "${STAGE}/guide/*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\kvMidi.lnk" "$INSTDIR\kvMidi.exe"
    CreateShortcut "$SMPROGRAMS\kvMidi user guide.lnk" "$INSTDIR\guide\user-guide.html"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "kvMidi"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "kvMidi"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kvMidi.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start kvMidi with Windows" SectionRun
    WriteRegStr HKLM "${RUN_KEY}" "kvMidi" '"$INSTDIR\kvMidi.exe"'
SectionEnd

Section "Uninstall"
    Call un.EndRunningCopies
    DeleteRegValue HKLM "${RUN_KEY}" "kvMidi"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$SMPROGRAMS\kvMidi.lnk"
    Delete "$SMPROGRAMS\kvMidi user guide.lnk"
    Delete "$INSTDIR\kvMidi.exe"
    Delete "$INSTDIR\KvCom.dll"
    Delete "$INSTDIR\kvlisten.exe"
    Delete "$INSTDIR\readme.txt"
    RMDir /r "$INSTDIR\guide"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: a folder the user chose may hold files of their own.
    RMDir "$INSTDIR"
SectionEnd
