// The simulated printer's paper, driven in-process: the code tables' characters through the
// platform's code pages (Win32 only), the character sets' replacements, the wrap at the paper's
// width and the maintenance counters.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "maker/printer/CodeTableText.h"
#include "maker/printer/CommandInterpreter.h"
#include "maker/printer/ControlCommand.h"
#include "maker/printer/ReceiptText.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct Printer {
    qk::sim::PrinterState state;
    qk::sim::SetupMemory memory;
    qk::sim::CommandInterpreter interpreter{state, memory};
    qk::sim::ControlCommand control{state, memory};

    Bytes Send(const Bytes& bytes) {
        Bytes answers;
        interpreter.Feed(bytes.data(), bytes.size(), answers);
        return answers;
    }
    Bytes SendSplit(const Bytes& bytes) {
        Bytes answers;
        for (uint8_t b : bytes)
            interpreter.Feed(&b, 1, answers);
        return answers;
    }
};

} // namespace

TEST(SimulatorPaper, PrintsTheCodeTablesCharactersAndCountsItsWear) {
    Printer p;
    qk::sim::SetHighByteRenderer(&qk::sim::CodeTableCharacter);
    // ESC t 16 (WPC1252), ESC t 1 (katakana), ESC @ back to the held PC437, ESC R 3 (UK).
    p.SendSplit(Cat({{0x1B, 't', 16, 0xE9, '\n', 0x1B, 't', 1, 0xB1, '\n', 0x1B, '@', 0x80},
                     Text(" #\n"),
                     {0x1B, 'R', 3},
                     Text("#\n"),
                     {0x1D, 'V', 66, 3}}));
    qk::sim::SetHighByteRenderer(nullptr);
    EXPECT_EQ(p.control.Execute("get receipt"), "OK 1 | é | ｱ | Ç # | £");
    EXPECT_EQ(p.control.Execute("get counters"), "OK fed=4/4 head=96/96 cuts=1/1");
    // The counters' answers: 5F, decimal digits, 00; an unknown counter is not answered.
    EXPECT_EQ(p.Send({0x1D, 0x67, 0x32, 0x00, 178, 0x00}), (Bytes{0x5F, '1', 0x00}));
    EXPECT_EQ(p.Send({0x1D, 0x67, 0x32, 0x00, 99, 0x00}), Bytes{});
    // A line longer than the paper wraps at its 48 columns.
    p.Send(Cat({Text(std::string(50, 'x') + "\n"), {0x1D, 'V', 0}}));
    EXPECT_EQ(p.control.Execute("get receipt"), "OK 2 | " + std::string(48, 'x') + " | xx");
}

TEST(SimulatorPaper, BarCodesFeedsSizesAndGraphicsAsThePrinterPrintsThem) {
    Printer p;
    // CODE39 ends in NUL and may come in pieces; one longer than a bar code can be is data.
    p.SendSplit(Cat({{0x1D, 'k', 4}, Text("AB12"), {0x00}}));
    // ESC d 2 feeds two lines; a stored graphic that is not there prints nothing.
    p.Send(Cat({Text("x"), {0x1B, 'd', 2, 0x1D, '(', 'L', 6, 0, 0x30, 0x45, 'Z', 'Z', 1, 1}}));
    // Double width: 24 characters fill the 48 columns.
    p.Send(Cat({{0x1D, '!', 0x10}, Text(std::string(25, 'w') + "\n"), {0x1D, 'V', 1}}));
    EXPECT_EQ(p.control.Execute("get receipt"),
              "OK 1 | [bar code CODE39 AB12] | x |  | " + std::string(24, 'w') + " | w");
    Bytes noEnd = {0x1D, 'k', 4};
    noEnd.resize(noEnd.size() + 300, 'A');
    p.Send(noEnd);
    EXPECT_EQ(p.interpreter.Pending(), 0u) << "an unended bar code is not waited for forever";
}
