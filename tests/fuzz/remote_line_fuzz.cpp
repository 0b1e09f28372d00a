// Any texts in the settings and any bytes from a device: the command text and the REMOTE line
// are built without a crash, and the texts arrive in them unchanged, never read as a format.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

#include "remote/command_text.h"
#include "ui/settings_validation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::string textCommand = input.ConsumeRandomLengthString(1100);
    std::string applicationId = input.ConsumeRandomLengthString(1100);
    std::string destination = input.ConsumeRandomLengthString(1100);
    int device = input.ConsumeIntegral<int>();
    int status = input.ConsumeIntegralInRange(0, 255);
    int data1 = input.ConsumeIntegralInRange(0, 255);
    int data2 = input.ConsumeIntegralInRange(0, 255);

    std::string command = FormatCommandText(textCommand, device, status, data1, data2);
    if (!textCommand.empty() && command.compare(0, textCommand.size(), textCommand) != 0)
        std::abort();
    std::string line = FormatRemoteLine(applicationId, destination, command);
    if (line.find(command) == std::string::npos || line.find(destination) == std::string::npos)
        std::abort();
    std::string question = FormatBroadcastQuestion(textCommand, applicationId);
    (void)question;
    return 0;
}
