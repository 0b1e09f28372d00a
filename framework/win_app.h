// CWinApp: the one application object. The framework's WinMain calls InitInstance, runs the
// message loop only when InitInstance returned TRUE, and always ends with ExitInstance.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* pszAppName);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";   // the text after the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;

private:
    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
// The application's main window, or null when there is none.
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();

// The body of WinMain, for the program's entry point and for tests.
int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);
