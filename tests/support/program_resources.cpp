#include "program_resources.h"

#include "tests/support/kvmidi_process.h"

ProgramResources::ProgramResources()
{
    std::string exe = BinaryDirectory() + "kvMidi.exe";
    m_hModule = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m_hModule)
        return;
    if (!AfxGetApp())
        m_pOwnApp = std::make_unique<CWinApp>("kvMidi");
    m_hPreviousInstance = AfxGetApp()->m_hInstance;
    AfxGetApp()->m_hInstance = m_hModule;
}

ProgramResources::~ProgramResources()
{
    if (!m_hModule)
        return;
    if (m_pOwnApp)
        m_pOwnApp.reset();
    else if (AfxGetApp())
        AfxGetApp()->m_hInstance = m_hPreviousInstance;
    ::FreeLibrary(m_hModule);
}
