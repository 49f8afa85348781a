// The simulated printer's command handling, driven in-process byte by byte.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <string>
#include <vector>
#include "maker/printer/CommandInterpreter.h"
#include "maker/printer/ControlCommand.h"
#include "maker/printer/StatusBytes.h"

using qk::sim::CommandInterpreter;
using qk::sim::ControlCommand;
using qk::sim::PrinterState;
using qk::sim::SetupMemory;
using Bytes = std::vector<uint8_t>;

namespace {

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
    PrinterState state;
    SetupMemory memory;
    CommandInterpreter interpreter{state, memory};
    ControlCommand control{state, memory};

    Bytes Send(const Bytes& bytes) {
        Bytes answers;
        interpreter.Feed(bytes.data(), bytes.size(), answers);
        return answers;
    }
    // The same bytes one at a time, as a slow line would deliver them.
    Bytes SendSplit(const Bytes& bytes) {
        Bytes answers;
        for (uint8_t b : bytes)
            interpreter.Feed(&b, 1, answers);
        return answers;
    }
};

const Bytes kEnter = {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 'I', 'N'};
const Bytes kLeave = {0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 'O', 'U', 'T'};

} // namespace

TEST(SimulatorStatus, RealTimeAnswersFollowEveryState) {
    struct Case {
        const char* command;
        uint8_t printer, offlineCause, errorCause, paper;
    };
    const Case cases[] = {
        {"online", 0x12, 0x12, 0x12, 0x12},       {"offline", 0x1A, 0x12, 0x12, 0x12},
        {"cover open", 0x1A, 0x16, 0x12, 0x12},   {"paper out", 0x1A, 0x32, 0x12, 0x7E},
        {"paper near", 0x12, 0x12, 0x12, 0x1E},   {"fatal on", 0x1A, 0x52, 0x32, 0x12},
        {"error cutter", 0x1A, 0x52, 0x1A, 0x12}, {"error recoverable", 0x1A, 0x52, 0x16, 0x12},
        {"error auto", 0x1A, 0x52, 0x52, 0x12},   {"ink out1", 0x12, 0x12, 0x12, 0x12},
    };
    for (const Case& c : cases) {
        Printer p;
        ASSERT_EQ("OK", p.control.Execute(c.command)) << c.command;
        Bytes answers = p.Send({0x10, 0x04, 1, 0x10, 0x04, 2, 0x10, 0x04, 3, 0x10, 0x04, 4});
        EXPECT_EQ((Bytes{c.printer, c.offlineCause, c.errorCause, c.paper}), answers) << c.command;
    }
}

TEST(SimulatorStatus, AutomaticStatusCarriesEveryCondition) {
    Printer p;
    EXPECT_EQ((std::array<uint8_t, 4>{0x10, 0, 0, 0}),
              qk::sim::AutomaticStatus(p.state.Conditions()));
    p.control.Execute("cover open");
    p.control.Execute("paper near");
    p.control.Execute("ink cleaning");
    EXPECT_EQ((std::array<uint8_t, 4>{0x38, 0, 0x03, 5}),
              qk::sim::AutomaticStatus(p.state.Conditions()));
    p.control.Execute("online");
    p.control.Execute("paper out");
    p.control.Execute("fatal on");
    EXPECT_EQ((std::array<uint8_t, 4>{0x18, 0x20, 0x0F, 0}),
              qk::sim::AutomaticStatus(p.state.Conditions()));
}

TEST(SimulatorStatus, EnablingAutomaticStatusIsAnsweredWithTheStatusAtOnce) {
    Printer p;
    p.control.Execute("cover open");
    const Bytes status = {0x38, 0, 0, 0};
    // Between two answers, in the order of the commands.
    EXPECT_EQ(Cat({{0x1A}, status, {0x1A}}),
              p.Send({0x10, 0x04, 0x01, 0x1D, 0x61, 0xFF, 0x10, 0x04, 0x01}));
    EXPECT_EQ(0xFF, p.interpreter.AutomaticStatusMask());
    EXPECT_EQ(p.interpreter.TakeAnsweredStatus(), (std::array<uint8_t, 4>{0x38, 0, 0, 0}));
    EXPECT_FALSE(p.interpreter.TakeAnsweredStatus());
    EXPECT_TRUE(p.Send({0x1D, 0x61, 0x00}).empty());
    EXPECT_EQ(0, p.interpreter.AutomaticStatusMask());
    EXPECT_FALSE(p.interpreter.TakeAnsweredStatus());
}

TEST(SimulatorStatus, RecoveryRequestClearsOnlyARecoverableError) {
    Printer p;
    p.control.Execute("error recoverable");
    p.Send({0x10, 0x05, 0x01});
    EXPECT_EQ(qk::sim::ErrorKind::None, p.state.Conditions().error);
    p.control.Execute("fatal on");
    p.Send({0x10, 0x05, 0x02});
    EXPECT_EQ(qk::sim::ErrorKind::Fatal, p.state.Conditions().error);
}

TEST(SimulatorIdentity, AnswersIdsAndInformationForms) {
    Printer p;
    EXPECT_EQ((Bytes{0x40, 0x02, 0x21}), p.Send({0x1D, 0x49, 1, 0x1D, 0x49, 2, 0x1D, 0x49, 3}));
    EXPECT_EQ(Cat({{0x5F}, Text("TARROW"), {0}}), p.Send({0x1D, 0x49, 66}));
    EXPECT_EQ(Cat({{0x5F}, Text("QK-R40"), {0}}), p.SendSplit({0x1D, 0x49, 67}));
    EXPECT_EQ(Cat({{0x5F}, Text("QK4A000001"), {0}}), p.Send({0x1D, 0x49, 68}));
    EXPECT_EQ(Cat({{0x5F}, Text("1.40 QK"), {0}}), p.Send({0x1D, 0x49, 65}));
    EXPECT_EQ(Cat({{0x5F}, Text("ANK"), {0}}), p.Send({0x1D, 0x49, 69}));
    EXPECT_TRUE(p.Send({0x1D, 0x49, 70}).empty());
    EXPECT_EQ("OK", p.control.Execute("model QK-T99 II"));
    EXPECT_EQ(Cat({{0x5F}, Text("QK-T99 II"), {0}}), p.Send({0x1D, 0x49, 67}));
}

TEST(SimulatorIdentity, GarbageAndTruncatedAnswersBreakTheFormat) {
    Printer p;
    p.control.Execute("truncate on");
    Bytes cut = p.Send({0x1D, 0x49, 67});
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(0x5F, cut[0]);
    EXPECT_NE(0, cut.back());
    EXPECT_TRUE(p.Send({0x1D, 0x49, 1}).empty());
    p.control.Execute("truncate off");
    p.control.Execute("garbage on");
    Bytes noise = p.Send({0x1D, 0x49, 67});
    ASSERT_FALSE(noise.empty());
    EXPECT_NE(0x5F, noise[0]);
}

TEST(SimulatorSetup, MemorySwitchesAndCustomValuesRoundTrip) {
    Printer p;
    // Outside user setting mode the setup functions are ignored.
    p.Send({0x1D, 0x28, 0x45, 0x04, 0x00, 0x05, 0x03, 0x02, 0x00});
    EXPECT_EQ("OK none", p.control.Execute("get custom 3"));

    EXPECT_EQ((Bytes{0x37, 0x20, 0x00}), p.SendSplit(kEnter));
    EXPECT_EQ("OK 1", p.control.Execute("get usermode"));
    // Memory switch 6: seven "keep", last bit set.
    p.Send(Cat({{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x06}, Text("22222221")}));
    p.Send(Cat({{0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x06}, Text("10222222")}));
    EXPECT_EQ("OK 10000001", p.control.Execute("get msw 6"));
    EXPECT_EQ(Cat({{0x37, 0x21}, Text("10000001"), {0}}),
              p.Send({0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, 0x06}));
    // Customized values, two in one command, value low byte first.
    p.SendSplit({0x1D, 0x28, 0x45, 0x07, 0x00, 0x05, 0x03, 0x02, 0x00, 0x64, 0x2C, 0x01});
    EXPECT_EQ("OK 2", p.control.Execute("get custom 3"));
    EXPECT_EQ("OK 300", p.control.Execute("get custom 100"));
    EXPECT_EQ(Cat({{0x37, 0x27},
                   Text("100\x1F"
                        "300"),
                   {0}}),
              p.Send({0x1D, 0x28, 0x45, 0x02, 0x00, 0x06, 0x64}));
    p.Send(kLeave);
    EXPECT_EQ("OK 0", p.control.Execute("get usermode"));
}

TEST(SimulatorSetup, LogoSettingsAndGraphicsAreKept) {
    Printer p;
    p.Send({0x1C, 0x28, 0x45, 0x06, 0x00, 0x3E, 0x02, 'A', 'B', '1', 0x00});
    p.Send({0x1C, 0x28, 0x45, 0x05, 0x00, 0x3F, 0x02, 'C', 'D', '2'});
    p.Send({0x1C, 0x28, 0x45, 0x04, 0x00, 0x40, 0x02, 0x30, '1'});
    EXPECT_EQ("OK 65 66 49", p.control.Execute("get logo top"));
    EXPECT_EQ("OK 67 68 50", p.control.Execute("get logo bottom"));
    EXPECT_EQ("OK 49", p.control.Execute("get logoopt 48"));
    p.Send(Cat({{0x1C, 0x28, 0x45, 0x06, 0x00, 0x3C, 0x02, '0'}, Text("CLR")}));
    EXPECT_EQ("OK none", p.control.Execute("get logo top"));
    EXPECT_EQ("OK 67 68 50", p.control.Execute("get logo bottom"));

    // Define two graphics (8 x 2 dots, one colour), short and long forms.
    Bytes define = {0x1D, 0x28, 0x4C, 0x0C, 0x00, 0x30, 0x43, 0x30, 'G',
                    '1',  0x01, 0x08, 0x00, 0x02, 0x00, 0x31, 0xAA, 0x55};
    define[4] = 0x00;
    define[3] = static_cast<uint8_t>(define.size() - 5);
    p.SendSplit(define);
    Bytes longForm = {0x1D, 0x38, 0x4C, 0,    0,    0,    0,    0x30, 0x43, 0x30,
                      'G',  '2',  0x01, 0x08, 0x00, 0x01, 0x00, 0x31, 0xFF};
    longForm[3] = static_cast<uint8_t>(longForm.size() - 7);
    p.Send(longForm);
    EXPECT_EQ("OK 2 G1:8x2 G2:8x1", p.control.Execute("get graphics"));
    EXPECT_EQ(Cat({{0x37, 0x72}, Text("G1G2"), {0}}),
              p.Send(Cat({{0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x40}, Text("KC")})));
    p.Send({0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x42, 'G', '1'});
    EXPECT_EQ("OK 1 G2:8x1", p.control.Execute("get graphics"));
    // Delete all needs "CLR".
    p.Send(Cat({{0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30, 0x41}, Text("XXX")}));
    EXPECT_EQ("OK 1 G2:8x1", p.control.Execute("get graphics"));
    p.Send(Cat({{0x1D, 0x28, 0x4C, 0x05, 0x00, 0x30, 0x41}, Text("CLR")}));
    EXPECT_EQ("OK 0", p.control.Execute("get graphics"));

    // Old-style bit images: two images of 1 x 1 (8 bytes each).
    Bytes images = {0x1C, 0x71, 0x02, 1, 0, 1, 0};
    images.resize(images.size() + 8, 0x11);
    images.insert(images.end(), {1, 0, 1, 0});
    images.resize(images.size() + 8, 0x22);
    p.SendSplit(images);
    EXPECT_EQ("OK 2", p.control.Execute("get bitimages"));
    EXPECT_EQ(0u, p.interpreter.Pending());
}

TEST(SimulatorData, PrintDataIsCountedAndCommandsAreNot) {
    Printer p;
    p.Send(Cat(
        {Text("Hello\n"), {0x10, 0x04, 0x01}, Text("World\n"), {0x1D, 0x56, 0x00}, Text("!!")}));
    EXPECT_EQ("OK 14", p.control.Execute("get printed"));
    // An incomplete command waits for the rest instead of being counted.
    p.Send({0x1D, 0x49});
    EXPECT_EQ("OK 14", p.control.Execute("get printed"));
    EXPECT_EQ((Bytes{0x40}), p.Send({0x01}));
}

TEST(SimulatorData, OversizedGraphicsAreSkippedWithoutBuffering) {
    Printer p;
    const uint32_t length = 9u * 1024 * 1024;
    Bytes header = {0x1D,
                    0x38,
                    0x4C,
                    static_cast<uint8_t>(length),
                    static_cast<uint8_t>(length >> 8),
                    static_cast<uint8_t>(length >> 16),
                    static_cast<uint8_t>(length >> 24)};
    p.Send(header);
    Bytes chunk(64 * 1024, 0x1D);
    for (uint32_t sent = 0; sent < length; sent += static_cast<uint32_t>(chunk.size()))
        p.Send(chunk);
    EXPECT_EQ(0u, p.interpreter.Pending());
    EXPECT_EQ((Bytes{0x12}), p.Send({0x10, 0x04, 0x01}));
}

TEST(SimulatorControl, RejectsUnknownCommandsAndBadArguments) {
    Printer p;
    EXPECT_EQ(0u, p.control.Execute("fly away").rfind("ERR", 0));
    EXPECT_EQ(0u, p.control.Execute("delay -5").rfind("ERR", 0));
    EXPECT_EQ(0u, p.control.Execute("ink purple").rfind("ERR", 0));
    EXPECT_EQ(0u, p.control.Execute("").rfind("ERR", 0));
    EXPECT_EQ("OK", p.control.Execute("delay 250\r"));
    EXPECT_EQ(250u, p.state.Behaviour().delayMs);
    EXPECT_NE(std::string::npos, p.control.Execute("status").find("delay=250"));
}

TEST(SimulatorControl, CountsQuestionsNotCommandsAndResets) {
    Printer p;
    EXPECT_EQ("OK 0 0 -1", p.control.Execute("get requests"));
    const Bytes askName = {0x1D, 0x49, 0x43};
    const Bytes askCustom3 = {0x1D, 0x28, 0x45, 0x02, 0x00, 0x06, 0x03};
    p.Send(askName);
    p.SendSplit(askName); // the same question again, split
    p.Send(Cat({kEnter, askCustom3, {0x1D, 0x28, 0x45, 0x02, 0x00, 0x06, 0x06}}));
    p.Send({0x10, 0x04, 0x02});
    // Neither print data, automatic status, setting values nor leaving the mode is a question.
    p.Send(Cat({Text("text\n"), {0x1D, 0x61, 0xFF}, kLeave}));
    p.Send({0x1D, 0x28, 0x45, 0x07, 0x00, 0x05, 0x03, 0x02, 0x00, 0x06, 0x01, 0x00});
    const std::string tally = p.control.Execute("get requests");
    EXPECT_EQ(0u, tally.rfind("OK 6 5 ", 0)) << tally;
    EXPECT_EQ("OK 1D4943", p.control.Execute("get repeats"));
    EXPECT_EQ("OK", p.control.Execute("requests reset"));
    EXPECT_EQ("OK 0 0 -1", p.control.Execute("get requests"));
    EXPECT_EQ("OK", p.control.Execute("get repeats"));
    p.Send(askCustom3); // outside user setting mode: asked, not answered
    EXPECT_EQ(0u, p.control.Execute("get requests").rfind("OK 1 1 ", 0));
    EXPECT_EQ(0u, p.control.Execute("requests clear").rfind("ERR", 0));
}

// One row per fault of a chosen question: the answer as it leaves, and the other questions'
// answers untouched. The questions: an information form, and the automatic status switch-on,
// whose answer is the status.
TEST(CommandInterpreter, AQuestionFaultSpoilsOnlyThatQuestionsAnswer) {
    const Bytes status = {0x10, 0x04, 0x01}; // answered with one byte
    struct Question {
        const char* hex;
        Bytes command;
    };
    const Question questions[] = {
        {"1D4943", {0x1D, 0x49, 0x43}}, // answered 5F "QK-R40" 00
        {"1d61", {0x1D, 0x61, 0x0F}},   // answered 10 00 00 00
    };
    struct Row {
        const char* fault;
        bool (*holds)(const Bytes& clean, const Bytes& faulted);
        bool timed;
    };
    const Row rows[] = {
        {"garbage",
         [](const Bytes& c, const Bytes& f) {
             return f.size() == c.size() && f != c && std::find(f.begin(), f.end(), 0) == f.end();
         },
         false},
        {"truncate",
         [](const Bytes& c, const Bytes& f) {
             return f.size() == c.size() / 2 && std::equal(f.begin(), f.end(), c.begin());
         },
         false},
        {"long",
         [](const Bytes& c, const Bytes& f) {
             return f.size() == c.size() + 300 && f.back() == c.back() && f.front() == c.front();
         },
         false},
        {"late 500", [](const Bytes& c, const Bytes& f) { return f == c; }, true},
        {"trickle 10", [](const Bytes& c, const Bytes& f) { return f == c; }, true},
    };
    for (const Question& question : questions) {
        Printer clean;
        const Bytes cleanAnswer = clean.Send(question.command);
        ASSERT_FALSE(cleanAnswer.empty()) << question.hex;
        const Bytes cleanStatus = clean.Send(status);
        for (const Row& row : rows) {
            const std::string command = std::string("answer ") + question.hex + " " + row.fault;
            Printer printer;
            ASSERT_EQ("OK", printer.control.Execute(command)) << command;
            EXPECT_TRUE(row.holds(cleanAnswer, printer.Send(question.command))) << command;
            EXPECT_EQ(row.timed, printer.interpreter.TakeTimedFault()) << command;
            EXPECT_EQ(cleanStatus, printer.Send(status)) << command;
            EXPECT_FALSE(printer.interpreter.TakeTimedFault()) << command;
            ASSERT_EQ("OK", printer.control.Execute("answer off"));
            EXPECT_EQ(cleanAnswer, printer.Send(question.command)) << command;
        }
    }
    Printer printer;
    for (const char* bad : {"answer", "answer 1D4 garbage", "answer XY garbage", "answer 1D late",
                            "answer 1D wobble", "answer 1D garbage 5"})
        EXPECT_EQ(0u, printer.control.Execute(bad).rfind("ERR", 0)) << bad;
}
