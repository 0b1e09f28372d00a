// Text helpers of the framework that need no Windows: the %1 placeholders of its standard
// messages and the integer scan of dialog data exchange.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Replaces %1 … %9 by the arguments; the pattern is ours, the arguments may be anything, so
// nothing in an argument is ever interpreted.
std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string_view> args);

// Reads a whole edit text as a decimal integer: blanks around it, an optional sign, at least
// one digit, nothing else. Values beyond the int range saturate, so that a range check that
// follows reports them as out of range rather than as wrapped numbers.
bool ScanDialogInteger(std::string_view text, int& value);
