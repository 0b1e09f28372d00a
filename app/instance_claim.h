// The name under which one running copy claims its settings file. Platform-free: the caller
// hands over the file's full path.
#pragma once

#include <string>
#include <string_view>

// The same name for the same file whatever the case of its path's letters, a different one
// for another file; fit for a named kernel object (no backslash, far below the length limit).
// Only the letters A-Z are folded here; the caller folds the rest of its code page first.
std::string InstanceClaimName(std::string_view fullIniPath);
