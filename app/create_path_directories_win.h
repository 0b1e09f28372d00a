#pragma once

#include <string>

// Creates every missing folder along a path that ends with "\" (FoldersAlongPath says which),
// each with a rule that lets every user of the PC modify the settings in it;
// the text after the last backslash is never created. Failures are silent: a save into a
// folder that could not be made is reported when it fails.
void CreatePathDirectories(const std::string& path);
