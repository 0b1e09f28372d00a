// Any command line: the options never crash, and a path the program would use always fits
// the system's limit.
#include <cstdint>
#include <cstdlib>

#include "app/config_location.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ConfigLocation location;
    location.baseDir = "C:\\ProgramData\\";
    location.dataDir = "C:\\ProgramData\\Karvo\\";
    UseDataDirectory(location, [](const std::string&) {});
    ApplyCommandLine(std::string_view(reinterpret_cast<const char*>(data), size), location,
                     [](const std::string& path) {
                         if (path.size() >= kMaxPathBuffer)
                             std::abort();
                     });
    if (location.iniFile.size() >= kMaxPathBuffer || location.configDir.size() >= kMaxPathBuffer)
        std::abort();
    return 0;
}
