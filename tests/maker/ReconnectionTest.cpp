// Bringing a lost connection back: the rounds of tries, a connection's status before the
// library has taken it over, a write when the connection closes, a round under way when the
// host chooses another port, and an open whose connection is reset as soon as it is made.
#include <gtest/gtest.h>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>
#include "maker/comm/PrinterLink.h"
#include "maker/comm/Reconnector.h"
#include "tests/maker/CommFixture.h"

using namespace qk::comm;
using qk::test::PumpUntil;

namespace {

TEST(Reconnector, EveryRequestIsServedByATryThatStartsAfterIt) {
    std::atomic<int> tries{0};
    Reconnector* self = nullptr;
    // The first try finds the connection there and says so; the connection is lost right
    // after it looked, and its reader asks again while the try is still under way.
    Reconnector reconnector([&] {
        if (++tries == 1)
            self->Request();
        return true;
    });
    self = &reconnector;
    reconnector.Request();
    EXPECT_TRUE(PumpUntil([&] { return tries >= 2; }, 5000)) << "tries: " << tries;

    // A request just after a round has ended starts the next round, every time.
    for (int round = 3; round < 13; ++round) {
        ASSERT_TRUE(PumpUntil([&] { return tries >= round - 1; }, 5000));
        reconnector.Request();
        ASSERT_TRUE(PumpUntil([&] { return tries >= round; }, 5000)) << "round " << round;
    }
    reconnector.Stop();
}

struct LinkEvents {
    std::mutex mutex;
    std::vector<std::array<uint8_t, 4>> status;
    std::atomic<int> lost{0};

    std::size_t StatusCount() {
        std::lock_guard lock(mutex);
        return status.size();
    }
};

// A round trip behind everything the printer sent before: once it is back, the reader has
// handed over all that came earlier.
uint8_t AskStatusByte(PrinterLink& link) {
    const uint8_t request[] = {0x10, 0x04, 0x01};
    uint8_t answer = 0;
    std::size_t got = 0;
    EXPECT_EQ(kQkcOk, link.Write(request, sizeof(request), 3000));
    EXPECT_EQ(kQkcOk, link.Read(&answer, 1, got, 3000));
    return answer;
}

class LinkOverSimulator : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Start()); }
    qk::test::SimulatorProcess sim;
};

TEST_F(LinkOverSimulator, StatusWaitsUntilTheLinkIsTakenOver) {
    LinkEvents events;
    PrinterLink link(
        [&](const std::array<uint8_t, 4>& packet) {
            std::lock_guard lock(events.mutex);
            events.status.push_back(packet);
        },
        [&] { ++events.lost; }, nullptr);
    ASSERT_EQ(kQkcOk, link.Connect(sim.Endpoint(), 3000));
    ASSERT_EQ(kQkcOk, link.EnableAutomaticStatus(2000));
    ASSERT_EQ("OK", sim.Control("cover open"));
    AskStatusByte(link);
    AskStatusByte(link);
    EXPECT_EQ(0u, events.StatusCount()) << "status of a link nobody has taken over";

    ASSERT_TRUE(link.Adopt());
    ASSERT_TRUE(PumpUntil([&] { return events.StatusCount() > 0; }, 3000));
    {
        std::lock_guard lock(events.mutex);
        EXPECT_EQ(1u, events.status.size()) << "only the newest of what was held";
        EXPECT_NE(0, events.status.back()[0] & 0x08) << "cover open";
    }
    // Taken over, every flip goes out.
    ASSERT_EQ("OK", sim.Control("cover closed"));
    EXPECT_TRUE(PumpUntil([&] { return events.StatusCount() == 2; }, 3000));
    link.Close();
    EXPECT_EQ(0, events.lost) << "closed on purpose";
}

TEST_F(LinkOverSimulator, ALinkLostBeforeItIsTakenOverSaysSoAndReportsNothing) {
    LinkEvents events;
    PrinterLink link(
        nullptr, [&] { ++events.lost; }, nullptr);
    ASSERT_EQ(kQkcOk, link.Connect(sim.Endpoint(), 3000));
    ASSERT_EQ("OK", sim.Control("drop"));
    ASSERT_TRUE(PumpUntil([&] { return !link.Alive(); }, 5000));
    EXPECT_FALSE(link.Adopt());
    EXPECT_EQ(0, events.lost);
}

// A peer that takes the connection and never reads, so that a large write waits for room.
class DeafPeer {
public:
    bool Listen() {
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        return listener_ != INVALID_SOCKET &&
               bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
               listen(listener_, 4) == 0 &&
               getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
               (port_ = ntohs(address.sin_port)) != 0;
    }
    bool Accept() {
        accepted_ = qk::net::TcpSocket(accept(listener_, nullptr, nullptr));
        return accepted_.Valid();
    }
    // True when a connection waits to be accepted.
    bool Pending(uint32_t timeoutMs) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        timeval wait{0, static_cast<long>(timeoutMs) * 1000};
        return select(0, &readable, nullptr, nullptr, &wait) == 1;
    }
    std::string Endpoint() const { return "127.0.0.1:" + std::to_string(port_); }
    qk::net::TcpSocket& Accepted() { return accepted_; }
    ~DeafPeer() {
        if (listener_ != INVALID_SOCKET)
            closesocket(listener_);
    }

private:
    qk::net::WinsockSession winsock_;
    SOCKET listener_ = INVALID_SOCKET;
    uint16_t port_ = 0;
    qk::net::TcpSocket accepted_;
};

struct BlockedWrite {
    PrinterLink* link = nullptr;
    std::vector<uint8_t> data = std::vector<uint8_t>(32 * 1024 * 1024, 'x');
    std::atomic<int32_t> result{-1};

    static DWORD WINAPI Run(void* parameter) {
        auto* write = static_cast<BlockedWrite*>(parameter);
        write->result = write->link->Write(write->data.data(), write->data.size(), 30000);
        return 0;
    }
};

TEST(PrinterLinkClose, EndsAWriteUnderWayAndNoLaterSocketGetsItsBytes) {
    DeafPeer first, second;
    ASSERT_TRUE(first.Listen());
    ASSERT_TRUE(second.Listen());
    PrinterLink link(nullptr, nullptr, nullptr);
    ASSERT_EQ(kQkcOk, link.Connect(first.Endpoint(), 3000));
    ASSERT_TRUE(first.Accept());
    BlockedWrite write;
    write.link = &link;
    HANDLE writer = CreateThread(nullptr, 0, &BlockedWrite::Run, &write, 0, nullptr);
    ASSERT_NE(nullptr, writer);
    ASSERT_TRUE(first.Accepted().WaitReadable(5000)) << "the write has begun";

    link.Close();
    // A connection made right after the close may get the closed socket's handle.
    qk::net::TcpSocket later;
    std::string host;
    uint16_t port = 0;
    ASSERT_TRUE(qk::net::ParseEndpoint(second.Endpoint(), host, port));
    ASSERT_EQ(qk::net::TcpSocket::Result::Ok, later.Connect(host, port, 3000));
    ASSERT_TRUE(second.Accept());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(writer, 20000));
    CloseHandle(writer);
    EXPECT_EQ(kQkcConnectionLost, write.result.load());
    EXPECT_FALSE(second.Accepted().WaitReadable(300)) << "the write went on on another socket";
}

class LibraryReconnection : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fx.SetUp(qk::test::StandardDeviceMap())); }
    void TearDown() override { fx.TearDown(); }

    int32_t Status() {
        int32_t status = -1;
        EXPECT_EQ(kQkcOk, fx.qkc.QKC_GetStatus(&status));
        return status;
    }
    int32_t Select(const std::u16string& keyword, const std::u16string& name) {
        PortRecord record = qk::test::MakePortRecord(keyword, name);
        return fx.qkc.QKC_SetPort(&record);
    }

    qk::test::CommFixture fx;
};

TEST_F(LibraryReconnection, ARoundUnderWayNeverConnectsAPortChosenAfterIt) {
    ASSERT_EQ(kQkcOk, Select(u"NET", u"127.0.0.1"));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Open(1));
    ASSERT_TRUE(PumpUntil([&] { return Status() == kStatusOnline; }, 5000));
    ASSERT_EQ("OK", fx.sim.Control("refuse on"));
    ASSERT_EQ("OK", fx.sim.Control("drop"));
    ASSERT_TRUE(PumpUntil([&] { return Status() == kStatusNoStatus; }, 5000));
    // The host chooses another port (the same printer) and has not opened it.
    ASSERT_EQ(kQkcOk, Select(u"COM", u"COM1"));
    ASSERT_EQ("OK", fx.sim.Control("refuse off"));
    // Longer than the longest pause between tries and one try.
    EXPECT_FALSE(PumpUntil([&] { return fx.sim.Control("get connections") != "OK 1"; }, 6000))
        << "connected to a port nobody opened, without holding it";
    int32_t written = -1;
    EXPECT_EQ(kQkcNotOpen, fx.qkc.QKC_Write("x", 1, &written, 500));
    // Opened, it connects (the simulator counts the connection when its accept comes round,
    // which may be after the open has returned).
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_Open(1));
    EXPECT_TRUE(PumpUntil([&] { return fx.sim.Control("get connections") == "OK 2"; }, 5000))
        << fx.sim.Control("get connections");
}

// A printer that takes every connection and resets it at once, as one that is switched off or
// starts refusing just after the connection was made.
class ResettingPeer {
public:
    bool Start() {
        if (!peer_.Listen())
            return false;
        accepter_ = std::thread([this] {
            while (!stop_) {
                if (!peer_.Pending(50) || !peer_.Accept())
                    continue;
                const linger reset{1, 0};
                setsockopt(peer_.Accepted().Handle(), SOL_SOCKET, SO_LINGER,
                           reinterpret_cast<const char*>(&reset), sizeof(reset));
                peer_.Accepted().Close();
                ++connections_;
            }
        });
        return true;
    }
    ~ResettingPeer() {
        stop_ = true;
        if (accepter_.joinable())
            accepter_.join();
    }
    std::string Endpoint() const { return peer_.Endpoint(); }
    int Connections() const { return connections_; }

private:
    DeafPeer peer_;
    std::thread accepter_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
};

// Reset before automatic status could be asked for, or just after: either way the port stays
// the one the host opened and the library tries it again (the strip's "Cannot Get Status" is
// the end-to-end tests'). The reset and the library's request race, so the port is opened
// several times.
TEST(LibraryOpen, AConnectionResetAsSoonAsItIsMadeIsTriedAgain) {
    ResettingPeer peer;
    ASSERT_TRUE(peer.Start());
    qk::test::CommFixture fx;
    ASSERT_TRUE(fx.SetUp("[COM]\nCOM9=" + peer.Endpoint() + "\n"));
    PortRecord record = qk::test::MakePortRecord(u"COM", u"COM9");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
    for (int round = 0; round < 3; ++round) {
        const int connected = peer.Connections();
        const int32_t opened = fx.qkc.QKC_Open(1);
        EXPECT_TRUE(opened == kQkcOk || opened == kQkcConnectionLost) << opened;
        // A round of tries still under way from before may be in its longest pause (4 s).
        EXPECT_TRUE(PumpUntil([&] { return peer.Connections() >= connected + 2; }, 6000))
            << "round " << round << ": the library gave the port up";
        EXPECT_EQ(kQkcOk, fx.qkc.QKC_Close());
    }
    fx.TearDown();
}

} // namespace
