#include "kvmidi_app.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>

#include "app/common_appdata_win.h"
#include "app/config_location.h"
#include "app/create_path_directories_win.h"
#include "app/kvmidi_dlg.h"
#include "framework/afx_functions.h"
#include "res/resource.h"

SettingNameTable g_settingNameTable;

namespace {
CkvMidiApp theApp;
// How long a start waits for a copy on the same INI file that is starting (until its window
// shows) or ending (until it gives the claim up).
constexpr std::chrono::seconds kClaimWait{ 10 };
}

CkvMidiApp& TheApp() { return theApp; }

CkvMidiApp::CkvMidiApp() : CWinApp("kvMidi") {}

BOOL CkvMidiApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_WIN95_CLASSES };
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    char modulePath[kMaxPathBuffer] = {};
    ::GetModuleFileNameA(nullptr, modulePath, static_cast<DWORD>(sizeof modulePath));
    modulePath[sizeof modulePath - 1] = '\0';
    m_strProgramPath = modulePath;
    m_strProgramDir = DirectoryOfPath(m_strProgramPath);

    ConfigLocation location;
    std::string appData = CommonAppDataFolder();
    if (!appData.empty()) {
        location.baseDir = appData + "\\";
        location.dataDir = location.baseDir + "Karvo\\";
        CreatePathDirectories(location.dataDir);
    } else {
        // Without the look-up, or when it fails, the program's own folder holds the settings.
        location.baseDir = m_strProgramDir;
        location.dataDir = m_strProgramDir;
    }
    UseDataDirectory(location, CreatePathDirectories);
    ApplyCommandLine(m_lpCmdLine, location, CreatePathDirectories);
    m_strConfigDir = location.configDir;
    m_strIniFile = location.iniFile;
    m_strStartProfile = location.startProfile;

    HWND runningCopy = nullptr;
    if (!TakeClaimOrFindHolder(m_instanceClaim, m_strIniFile, kClaimWait, runningCopy)) {
        HandOverTo(runningCopy);
        return FALSE;
    }
    g_settingNameTable.BuildSettingNameTable();

    if (!AfxSocketInit()) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED, MB_OK);
        return FALSE;
    }

    m_bRestart = 0;
    {
        CkvMidiDlg controller;
        m_pMainWnd = &controller;
        if (!m_strStartProfile.empty())
            controller.m_strStartProfile = m_strStartProfile;
        controller.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

void CkvMidiApp::HandOverTo(HWND running)
{
    // Another copy runs on this INI file: its settings dialog opens (or comes forward), and
    // this copy ends without opening a device.
    if (!running)
        return;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(running, &processId);
    // The user started this copy, so it may hand the foreground on to the one that answers.
    ::AllowSetForegroundWindow(processId);
    ::PostMessageA(running, WM_COMMAND, ID_SETTINGS, 0);
}

int CkvMidiApp::ExitInstance()
{
    int exitCode = CWinApp::ExitInstance();
    // Released before the new copy starts, which would otherwise find this one's claim.
    m_instanceClaim.Release();
    // The new copy gets no arguments: it always starts from the default location.
    if (m_bRestart)
        ::ShellExecuteA(nullptr, "open", m_strProgramPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return exitCode;
}
