#pragma once

#include <string>

// The application-data folder common to all users, without trailing "\", as SHFOLDER.DLL
// reports it. Empty when the library, its function or the look-up itself fails.
std::string CommonAppDataFolder();
