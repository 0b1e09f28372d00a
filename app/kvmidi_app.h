// The application object: start-up, the configuration location, and the restart on exit.
#pragma once

#include <string>

#include "app/instance_claim_win.h"
#include "config/setting_names.h"
#include "framework/win_app.h"

class CkvMidiApp : public CWinApp {
public:
    CkvMidiApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    int m_bRestart = 0;
    std::string m_strIniFile;
    std::string m_strProgramDir;
    std::string m_strProgramPath;
    std::string m_strConfigDir;
    // Held from start-up until exit: one running copy per INI file.
    InstanceClaim m_instanceClaim;

private:
    void HandOverTo(HWND running);

    std::string m_strStartProfile;
};

// Built once at start-up; every INI access names its keys through it.
extern SettingNameTable g_settingNameTable;

CkvMidiApp& TheApp();
