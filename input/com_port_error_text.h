// The first line of the port error dialog.
#pragma once

#include <string>
#include <string_view>

// The pattern (string 111, "Unable to open %s.") with the port name in place of its first %s
// and %% read as %. The port name is copied as it is: a name such as "COM%n" is never taken
// for a format.
std::string UnableToOpenText(std::string_view pattern, std::string_view portName);
