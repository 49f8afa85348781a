// The command emulator's electronic journal for one port: while the port is routed through
// the emulator (bit 24 of TarDM in the Windows port registry) and a section of the emulator's
// settings file names the port ("Port", or the port's TarID) with "JournalEnable=1", every line
// printed on the port is appended to that section's journal. The settings and the routing are
// read again for every piece of print data, as the emulator follows the utility's changes.
#pragma once
#include <mutex>
#include <string>
#include "maker/emulator/JournalLines.h"

namespace qk::emulator {

class EmulatorJournal {
public:
    explicit EmulatorJournal(std::wstring portName) : port_(std::move(portName)) {}

    // Takes print data from any thread.
    void Keep(const std::string& printData);

    // The section of the settings file that journals the port now; empty when none does
    // (the port not routed, no section for it, or its journal switched off).
    std::wstring JournalSection() const;

private:
    std::wstring port_;
    std::mutex mutex_;
    JournalLines lines_;
};

} // namespace qk::emulator
