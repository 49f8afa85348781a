// The information read (1D 49 n, answered 5F, text, 00): on any bytes it ends at the
// terminator or at the first byte that cannot belong to an answer, and goes on only while the
// bytes can still become one; the text is the bytes between header and terminator. What the
// printer simulator answers for its firmware, maker, model, serial number and fonts reads back
// whole, and a garbled, half or over-long answer to the question asked is never a text.
#include <cstdio>
#include "maker/comm/InformationAnswer.h"
#include "maker/printer/CommandInterpreter.h"
#include "maker/printer/ControlCommand.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::comm::InformationAnswer;
using Step = InformationAnswer::Step;

namespace {

Step Read(const std::vector<uint8_t>& bytes, std::string& text, std::size_t& taken) {
    InformationAnswer answer(text);
    Step step = Step::More;
    for (taken = 0; taken < bytes.size() && step == Step::More; ++taken)
        step = answer.Take(bytes[taken]);
    return step;
}

// The first `n` bytes start an answer: the header, then text bytes, at most the longest text.
bool StartsAnswer(const std::vector<uint8_t>& bytes, std::size_t n) {
    if (n == 0)
        return true;
    if (bytes[0] != 0x5F || n - 1 > InformationAnswer::kMaxText)
        return false;
    return std::all_of(bytes.begin() + 1, bytes.begin() + n, [](uint8_t b) { return b >= 0x20; });
}

void CheckAnyBytes(qk::fuzz::Input& in) {
    const std::vector<uint8_t> bytes = in.Bytes(in.Byte());
    std::string text = "left over";
    std::size_t taken = 0;
    const Step step = Read(bytes, text, taken);
    switch (step) {
    case Step::Done:
        QK_FUZZ_CHECK(bytes[taken - 1] == 0x00 && StartsAnswer(bytes, taken - 1));
        QK_FUZZ_CHECK(text == std::string(bytes.begin() + 1, bytes.begin() + taken - 1));
        break;
    case Step::Bad:
        QK_FUZZ_CHECK(bytes[taken - 1] != 0x00 || taken == 1);
        QK_FUZZ_CHECK(StartsAnswer(bytes, taken - 1) && !StartsAnswer(bytes, taken));
        break;
    case Step::More:
        QK_FUZZ_CHECK(taken == bytes.size() && StartsAnswer(bytes, taken));
        QK_FUZZ_CHECK(text == std::string(bytes.begin() + (taken ? 1 : 0), bytes.end()));
        break;
    }
}

std::string PrintableText(qk::fuzz::Input& in) {
    std::string text;
    for (std::size_t n = in.Byte() % (InformationAnswer::kMaxText + 1); n > 0; --n)
        text += static_cast<char>(0x20 + in.Byte() % 0xE0);
    return text;
}

void CheckPrinterAnswers(qk::fuzz::Input& in) {
    qk::sim::PrinterState state;
    qk::sim::SetupMemory memory;
    qk::sim::ControlCommand control{state, memory};
    std::string* fields[5];
    qk::sim::PrinterIdentity identity;
    fields[0] = &identity.firmware, fields[1] = &identity.maker, fields[2] = &identity.model;
    fields[3] = &identity.serial, fields[4] = &identity.fonts;
    for (std::string* field : fields)
        *field = PrintableText(in);
    state.UpdateIdentity([&](qk::sim::PrinterIdentity& id) { id = identity; });

    const uint8_t n = static_cast<uint8_t>(65 + in.Byte() % 5);
    // The fault goes to this question or to another one, which leaves this one alone.
    const uint8_t faulted = in.Byte() & 1 ? n : static_cast<uint8_t>(65 + (n - 64) % 5);
    enum Fault { None, Noise, Garbage, Half, OverLong } fault = static_cast<Fault>(in.Byte() % 5);
    char question[16];
    std::snprintf(question, sizeof question, "1D49%02X", faulted);
    if (fault == Noise)
        control.Execute("garbage on");
    else if (fault != None)
        QK_FUZZ_CHECK(control.Execute(std::string("answer ") + question +
                                      (fault == Garbage ? " garbage"
                                       : fault == Half  ? " truncate"
                                                        : " long")) == "OK");
    if (fault != Noise && faulted != n)
        fault = None;

    qk::sim::CommandInterpreter interpreter{state, memory};
    const uint8_t ask[] = {0x1D, 0x49, n};
    std::vector<uint8_t> answer;
    interpreter.Feed(ask, sizeof ask, answer);
    std::string text;
    std::size_t taken = 0;
    const Step step = Read(answer, text, taken);
    if (fault == None) {
        QK_FUZZ_CHECK(step == Step::Done && taken == answer.size());
        QK_FUZZ_CHECK(text == *fields[n - 65]);
    } else {
        QK_FUZZ_CHECK(step != Step::Done);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    CheckAnyBytes(in);
    CheckPrinterAnswers(in);
    return 0;
}
