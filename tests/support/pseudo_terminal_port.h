// A serial port for tests under Wine: COM<n> of the running prefix linked to a Linux
// pseudo-terminal, which a small Linux helper holds open for as long as the object lives.
// Wine opens it like any port and accepts its line settings; its modem lines cannot be
// driven, so a monitor on it sees no switch change. Wine does not refuse a second unshared
// open of a device, so whether the port is held is read from the Linux side instead.
#pragma once

#include <string>

#include "tests/support/temp_directory.h"

class PseudoTerminalPort {
public:
    explicit PseudoTerminalPort(int number);
    ~PseudoTerminalPort();   // removes the link, then lets the helper end
    PseudoTerminalPort(const PseudoTerminalPort&) = delete;
    PseudoTerminalPort& operator=(const PseudoTerminalPort&) = delete;

    // Waits until the port can be opened and no one has it open; false when the helper did
    // not get that far.
    bool WaitUntilReady() const;
    // Wait until someone has the port open, or until no one has; false when that did not come.
    bool WaitUntilHeld() const;
    bool WaitUntilReleased() const;
    const std::string& Name() const { return m_name; }

private:
    TempDirectory m_folder;   // the helper's script and its ready, stop and done marks
    std::string m_name;
    bool m_bStarted = false;
};

// The first port number from `first` up that no device of the prefix answers to, or 0.
int UnusedComPortNumber(int first);
