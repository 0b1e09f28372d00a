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
    // Claims the INI file; false when another running copy holds it. A claim that cannot be
    // made at all (no kernel objects left) lets this copy run.
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

// The controller window of the copy that holds the claim on the INI file, once it has
// published it; null when none shows within the deadline (that copy may still be starting).
HWND FindClaimHolder(const std::string& iniFile, std::chrono::milliseconds deadline);
