// One running copy per settings file. The first copy on a file owns a named mutex made from
// the file's full path and publishes its controller window in a small named memory beside it;
// a later copy on the same file finds the mutex owned, hands over to that window and ends.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "framework/win_handles.h"

class InstanceClaim {
public:
    // Claims the INI file; false when another running copy holds it, also one that runs with
    // other rights (elevated), whose claim this copy may not even open. A claim that cannot
    // be made at all (no kernel objects left) lets this copy run.
    bool Take(const std::string& iniFile);
    // Where a later copy on the same file finds this one.
    void Publish(HWND controller);
    // Gives the claim up, so that a copy started now (a restart) takes it.
    void Release();

private:
    UniqueKernelHandle m_mutex;
    UniqueKernelHandle m_mapping;
    UniqueMappedView m_view;
};

// Takes the claim on the INI file, or finds the controller window of the copy that holds it,
// trying again until the deadline: a copy that is starting publishes its window soon, one
// that is ending has taken its window back and gives the claim up soon. True when taken;
// otherwise holder is that copy's window, or null when neither came in time.
bool TakeClaimOrFindHolder(InstanceClaim& claim, const std::string& iniFile, std::chrono::milliseconds deadline,
                           HWND& holder);
