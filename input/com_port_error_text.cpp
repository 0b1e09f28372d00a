#include "com_port_error_text.h"

#include "framework/text.h"

std::string UnableToOpenText(std::string_view pattern, std::string_view portName)
{
    return FillPlaceholders(pattern, { { '%', "%" }, { 's', portName, true } });
}
