// A serial port for tests under Wine: COM<n> of the running prefix linked, for as long as the
// object lives, to the Linux pseudo-terminal multiplexer. Wine opens it like any port and
// accepts its line settings; it has no modem lines, so every status read of it fails.
#pragma once

#include <string>

class PseudoTerminalPort {
public:
    explicit PseudoTerminalPort(int number);
    ~PseudoTerminalPort();   // removes the link
    PseudoTerminalPort(const PseudoTerminalPort&) = delete;
    PseudoTerminalPort& operator=(const PseudoTerminalPort&) = delete;

    // Waits until the port opens; false when it did not.
    bool WaitUntilReady() const;
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    std::string m_link;   // the link's Linux path, quoted for the shell's command line
};

// The first port number from `first` up that no device of the prefix answers to, or 0.
int UnusedComPortNumber(int first);
