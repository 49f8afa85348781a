// The simulated printer reading a connection's bytes: commands split over any number of reads
// give the same answers and the same printer as the bytes in one read, and every byte is
// either taken by a command, printed, or still waiting for the rest of its command.
#include "maker/printer/CommandInterpreter.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::sim::CommandInterpreter;
using qk::sim::PrinterState;
using qk::sim::SetupMemory;

namespace {

struct Printer {
    PrinterState state;
    SetupMemory memory;
    CommandInterpreter interpreter{state, memory};
    std::vector<uint8_t> answers;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t step = 1 + data[0] % 13;
    const uint8_t* stream = data + 1;
    const std::size_t length = size - 1;

    Printer whole;
    whole.interpreter.Feed(stream, length, whole.answers);
    QK_FUZZ_CHECK(whole.state.Printed() + whole.interpreter.Pending() <= length);

    Printer split;
    for (std::size_t pos = 0; pos < length; pos += step)
        split.interpreter.Feed(stream + pos, std::min(step, length - pos), split.answers);
    QK_FUZZ_CHECK(split.answers == whole.answers);
    QK_FUZZ_CHECK(split.interpreter.Pending() == whole.interpreter.Pending());
    QK_FUZZ_CHECK(split.state.Printed() == whole.state.Printed());
    QK_FUZZ_CHECK(split.memory.Describe() == whole.memory.Describe());
    QK_FUZZ_CHECK(split.interpreter.AutomaticStatusMask() ==
                  whole.interpreter.AutomaticStatusMask());
    return 0;
}
