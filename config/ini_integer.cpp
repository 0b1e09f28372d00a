#include "ini_integer.h"

#include "framework/text.h"

int ParseIniInteger(std::string_view text) { return ParseIntegerPrefix(text).value; }
