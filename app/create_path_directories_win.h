#pragma once

#include <string>

// Creates every missing folder along a path that ends with "\"; the text after the last
// backslash is never created. The drive root is not touched. Failures are silent, and a path
// that does not fit the system's limit is left alone rather than cut.
void CreatePathDirectories(const std::string& path);
