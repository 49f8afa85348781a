// The control channel's language: one line in, one line out ("OK ..." or "ERR ..."). Flips the
// printer's state while it runs and reads back what it was sent.
#pragma once
#include <string>
#include <vector>
#include "maker/printer/PrinterState.h"
#include "maker/printer/SetupMemory.h"

namespace qk::sim {

class ControlCommand {
public:
    ControlCommand(PrinterState& state, SetupMemory& memory) : state_(state), memory_(memory) {}

    std::string Execute(const std::string& line);

    // The command summary answered by "help".
    static const char* Help();

private:
    std::string SetQuestionFault(const std::vector<std::string>& words);
    std::string Get(const std::string& what, const std::string& argument);
    std::string Status() const;

    PrinterState& state_;
    SetupMemory& memory_;
};

} // namespace qk::sim
