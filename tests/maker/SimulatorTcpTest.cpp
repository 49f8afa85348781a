// The simulator as a program: its printer port and control channel over loopback TCP.
#include "tests/maker/SimulatorProcess.h"
#include <gtest/gtest.h>
#include <windows.h>

using qk::test::PrinterConnection;
using qk::test::SimulatorProcess;
using Bytes = std::vector<uint8_t>;

class SimulatorTcp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Start()); }
    SimulatorProcess sim;
};

TEST_F(SimulatorTcp, AnswersStatusAndIdentityOverTheWire) {
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    ASSERT_EQ("OK", sim.Control("cover open"));
    ASSERT_TRUE(printer.Send({0x10, 0x04, 0x02, 0x1D, 0x49, 0x43}));
    Bytes expected = {0x16, 0x5F, 'Q', 'K', '-', 'R', '4', '0', 0x00};
    EXPECT_EQ(expected, printer.ReadExactly(expected.size()));
    EXPECT_EQ("OK 1", sim.Control("get connections"));
}

TEST_F(SimulatorTcp, AutomaticStatusFollowsEveryFlip) {
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    ASSERT_TRUE(printer.Send({0x1D, 0x61, 0xFF}));
    EXPECT_EQ((Bytes{0x10, 0, 0, 0}), printer.ReadExactly(4));
    ASSERT_EQ("OK", sim.Control("paper out"));
    EXPECT_EQ((Bytes{0x18, 0, 0x0F, 0}), printer.ReadExactly(4));
    ASSERT_EQ("OK", sim.Control("ink near2"));
    EXPECT_EQ((Bytes{0x18, 0, 0x0F, 7}), printer.ReadExactly(4));
    // A command that changes nothing sends nothing: the next status read is the next flip's.
    ASSERT_EQ("OK", sim.Control("ink near2"));
    ASSERT_EQ("OK", sim.Control("online"));
    EXPECT_EQ((Bytes{0x10, 0, 0, 0}), printer.ReadExactly(4));
}

TEST_F(SimulatorTcp, SilentPrinterTakesDataButNeverAnswers) {
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    ASSERT_EQ("OK", sim.Control("silent on"));
    ASSERT_TRUE(printer.Send({'A', 'B', 0x10, 0x04, 0x01, 0x1D, 0x49, 0x43, 0x1D, 0x61, 0x01}));
    // All of it taken (the simulator counts the printed bytes as it reads them).
    EXPECT_TRUE(qk::test::PumpUntil([&] { return sim.Control("get printed") == "OK 2"; }, 5000))
        << sim.Control("get printed");
    // Speaking again, it reports its status since automatic status is on; the questions it
    // took while silent are never answered, then or later.
    ASSERT_EQ("OK", sim.Control("silent off"));
    EXPECT_EQ((Bytes{0x10, 0, 0, 0}), printer.ReadExactly(4));
    ASSERT_TRUE(printer.Send({0x10, 0x04, 0x04}));
    EXPECT_EQ((Bytes{0x12}), printer.ReadExactly(1));
}

// Late, yet whole and in order (how late is maker_comm_bench's figure).
TEST_F(SimulatorTcp, SlowPrinterStillAnswersEveryQuestionInOrder) {
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    ASSERT_EQ("OK", sim.Control("delay 700"));
    ASSERT_TRUE(printer.Send({0x10, 0x04, 0x01, 0x1D, 0x49, 0x43}));
    EXPECT_EQ((Bytes{0x12, 0x5F, 'Q', 'K', '-', 'R', '4', '0', 0x00}),
              printer.ReadExactly(9, 5000));
}

TEST_F(SimulatorTcp, DropEndsTheConnectionAndTheNextOneIsServed) {
    PrinterConnection first;
    ASSERT_TRUE(first.Connect(sim.DataPort()));
    ASSERT_TRUE(first.Send({0x10, 0x04, 0x01}));
    ASSERT_EQ((Bytes{0x12}), first.ReadExactly(1));
    ASSERT_EQ("OK", sim.Control("drop"));
    EXPECT_TRUE(first.WaitClosed(3000));
    PrinterConnection second;
    ASSERT_TRUE(second.Connect(sim.DataPort()));
    ASSERT_TRUE(second.Send({0x10, 0x04, 0x01}));
    EXPECT_EQ((Bytes{0x12}), second.ReadExactly(1));
}

TEST_F(SimulatorTcp, ServesOneConnectionAtATime) {
    PrinterConnection first, second;
    ASSERT_TRUE(first.Connect(sim.DataPort()));
    ASSERT_TRUE(first.Send({0x10, 0x04, 0x01}));
    ASSERT_EQ((Bytes{0x12}), first.ReadExactly(1));
    // The second waits in line, unanswered, until the first leaves.
    ASSERT_TRUE(second.Connect(sim.DataPort()));
    ASSERT_TRUE(second.Send({0x10, 0x04, 0x01}));
    // The first is still served after the second asked; the second has had no answer.
    ASSERT_TRUE(first.Send({0x10, 0x04, 0x01}));
    ASSERT_EQ((Bytes{0x12}), first.ReadExactly(1));
    EXPECT_TRUE(second.ReadAvailable(50).empty());
    first.Socket().Close();
    EXPECT_EQ((Bytes{0x12}), second.ReadExactly(1, 3000));
}

TEST_F(SimulatorTcp, RefusedConnectionsAreRefusedAndComeBack) {
    ASSERT_EQ("OK", sim.Control("refuse on"));
    qk::net::TcpSocket socket;
    // Refused, not a wait that ran out (how fast is maker_comm_bench's figure).
    EXPECT_EQ(qk::net::TcpSocket::Result::Refused,
              socket.Connect("127.0.0.1", sim.DataPort(), 3000));
    ASSERT_EQ("OK", sim.Control("refuse off"));
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    ASSERT_TRUE(printer.Send({0x10, 0x04, 0x04}));
    EXPECT_EQ((Bytes{0x12}), printer.ReadExactly(1));
}

TEST_F(SimulatorTcp, CommandLineClientFlipsTheState) {
    qk::test::ProcessRunner client;
    ASSERT_TRUE(
        client.Start(qk::test::StageDir() + L"QKPrinterSim.exe",
                     L"--control " + std::to_wstring(sim.ControlPort()) + L" model QK-R40 II"));
    ASSERT_TRUE(client.Wait(15000));
    EXPECT_EQ(0u, client.ExitCode());
    EXPECT_NE(std::string::npos, sim.Control("status").find("model=QK-R40 II"));
    qk::test::ProcessRunner bad;
    ASSERT_TRUE(bad.Start(qk::test::StageDir() + L"QKPrinterSim.exe",
                          L"--control " + std::to_wstring(sim.ControlPort()) + L" fly"));
    ASSERT_TRUE(bad.Wait(15000));
    EXPECT_EQ(1u, bad.ExitCode());
}

TEST_F(SimulatorTcp, ALateOrTricklingAnswerStillArrivesWhole) {
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    const Bytes expected = {0x5F, 'Q', 'K', '-', 'R', '4', '0', 0x00};
    for (const char* fault : {"answer 1D4943 late 300", "answer 1D4943 trickle 30"}) {
        ASSERT_EQ("OK", sim.Control(fault));
        ASSERT_TRUE(printer.Send({0x1D, 0x49, 0x43}));
        EXPECT_EQ(expected, printer.ReadExactly(expected.size(), 5000)) << fault;
    }
    // Another question is answered as ever.
    ASSERT_TRUE(printer.Send({0x10, 0x04, 0x01}));
    EXPECT_EQ(1u, printer.ReadExactly(1).size());
}

// The status that answers the switch-on is the one a fault spoils: it is not sent again clean
// behind the spoiled one, nor early; the next flip sends the status whole.
TEST_F(SimulatorTcp, AFaultOnTheAutomaticStatusSwitchOnSpoilsTheStatusItAnswers) {
    PrinterConnection printer;
    ASSERT_TRUE(printer.Connect(sim.DataPort()));
    ASSERT_EQ("OK", sim.Control("answer 1D61 truncate"));
    ASSERT_TRUE(printer.Send({0x1D, 0x61, 0x0F}));
    EXPECT_EQ((Bytes{0x10, 0}), printer.ReadExactly(2));
    EXPECT_TRUE(printer.ReadAvailable(500).empty());
    ASSERT_EQ("OK", sim.Control("answer 1D61 late 700"));
    ASSERT_TRUE(printer.Send({0x1D, 0x61, 0x0F}));
    EXPECT_TRUE(printer.ReadAvailable(250).empty());
    EXPECT_EQ((Bytes{0x10, 0, 0, 0}), printer.ReadExactly(4, 3000));
    ASSERT_EQ("OK", sim.Control("answer off"));
    ASSERT_EQ("OK", sim.Control("cover open"));
    EXPECT_EQ((Bytes{0x38, 0, 0, 0}), printer.ReadExactly(4));
}
