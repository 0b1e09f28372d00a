// The program's own dialogs and strings for tests outside the program: kvMidi.exe beside the
// test is loaded as a data file and made the framework's resource module while this lives.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/win_app.h"

class ProgramResources {
public:
    ProgramResources();
    ~ProgramResources();
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    bool IsLoaded() const { return m_hModule != nullptr; }

private:
    HMODULE m_hModule = nullptr;
    std::unique_ptr<CWinApp> m_pOwnApp;   // only when the test binary has no application object
    HINSTANCE m_hPreviousInstance = nullptr;
};
