// The printer's answers to the paper page's user setting commands: any bytes end an answer
// only at its NUL and within the longest answer, and what the page writes to the printer
// (customized values, memory switches) it reads back from the printer's own answers.
#include "framework/comm/UserSetupCommands.h"
#include "tests/support/SimulatedPrinter.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::comm;

namespace {

SetupAnswer Ask(qk::test::SimulatedPrinter& printer, const Bytes& question) {
    SetupAnswer answer;
    printer.DiscardAnswers();
    printer.Send(question);
    uint8_t byte = 0;
    while (!answer.Complete() && printer.Receive(byte, 0))
        answer.Add(byte);
    return answer;
}

void CheckAnyBytes(qk::fuzz::Input& in) {
    SetupAnswer answer;
    std::size_t taken = 0;
    uint8_t last = 0xFF;
    for (std::size_t n = in.Byte(); n > 0 && !answer.Complete(); --n) {
        last = in.Byte();
        answer.Add(last);
        ++taken;
    }
    // An answer ends at its NUL, or one byte beyond the longest answer as none at all.
    const bool tooLong = taken == SetupAnswer::kMaxAnswer + 1;
    if (answer.Complete())
        QK_FUZZ_CHECK((last == 0x00 && taken <= SetupAnswer::kMaxAnswer) || tooLong);
    if (!answer.Complete() || tooLong)
        QK_FUZZ_CHECK(!answer.CustomValue(in.Byte()) && !answer.MemorySwitch() &&
                      !answer.EnteredUserSettingMode());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    CheckAnyBytes(in);

    qk::test::SimulatedPrinter printer;
    QK_FUZZ_CHECK(Ask(printer, EnterUserSettingMode()).EnteredUserSettingMode());
    const uint8_t number = in.Byte();
    const uint16_t value = static_cast<uint16_t>(in.Byte() | in.Byte() << 8);
    const std::optional<uint16_t> before = Ask(printer, AskCustomValue(number)).CustomValue(number);
    printer.Send(SetCustomValue(number, value));
    const std::optional<uint16_t> after = Ask(printer, AskCustomValue(number)).CustomValue(number);
    // A value the printer has takes what was set, or refuses it and keeps its own.
    if (before)
        QK_FUZZ_CHECK(after && (*after == value || *after == *before));

    const uint8_t memorySwitch = static_cast<uint8_t>(1 + in.Byte() % 8);
    const std::optional<std::string> old =
        Ask(printer, AskMemorySwitch(memorySwitch)).MemorySwitch();
    char bits[8];
    for (char& bit : bits)
        bit = static_cast<char>('0' + in.Byte() % 3);
    printer.Send(SetMemorySwitch(memorySwitch, bits));
    const std::optional<std::string> now =
        Ask(printer, AskMemorySwitch(memorySwitch)).MemorySwitch();
    if (old) {
        QK_FUZZ_CHECK(now && now->size() == 8);
        for (int i = 0; i < 8; ++i)
            QK_FUZZ_CHECK((*now)[i] == (bits[i] == '2' ? (*old)[i] : bits[i]));
    }
    printer.Send(LeaveUserSettingMode());
    QK_FUZZ_CHECK(printer.Control("get usermode") == "OK 0");
    return 0;
}
