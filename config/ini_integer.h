#pragma once

#include <string_view>

// The integer value of an INI text: leading white space, an optional sign, then the decimal
// digits up to the first other character; no digits give 0. Values past the int range
// saturate (the platform's own conversion leaves them undefined).
int ParseIniInteger(std::string_view text);
