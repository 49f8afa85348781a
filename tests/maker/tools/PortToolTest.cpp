// The command emulator's port tool, run as the utility runs it: routing sets and clears bit 24
// of TarDM in the Windows port registry where the utility reads it, keeps the other bits, and
// every run leaves its line in the tools' log.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/maker/tools/ToolTestSupport.h"

namespace qk::test {
namespace {

constexpr DWORD kRouted = 0x1000000;

TEST(PortTool, RoutesAndUnroutesEveryEntryOfThePortAndRecordsEachRun) {
    const std::wstring log = FreshFolder(L"qktools-pa");
    const std::wstring port = UniquePortName(L"COM", 0);
    const std::wstring other = UniquePortName(L"COM", 1);
    // One entry keeps its values in "Device Parameters", an older one in the entry itself.
    TestPortEntry modern(L"A", port, L"RSDPRT41", 0x11, true);
    TestPortEntry older(L"B", port, L"", 0x2, false);
    TestPortEntry unrelated(L"C", other, L"", 0x3, true);
    const std::vector<std::wstring> env = {L"QKTOOLS_DATA_DIR=" + log};

    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"-RE1:" + port, env), 0);
    EXPECT_EQ(modern.TarDM(), 0x11 | kRouted);
    EXPECT_EQ(older.TarDM(), 0x2 | kRouted);
    EXPECT_EQ(unrelated.TarDM(), 0x3u) << "another port is left alone";

    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"-RE0:" + port, env), 0);
    EXPECT_EQ(modern.TarDM(), 0x11u);
    EXPECT_EQ(older.TarDM(), 0x2u);

    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"-Reload", env), 0);
    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"-RE1:" + UniquePortName(L"LPT", 2), env), 4)
        << "a port without a registry entry";
    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"-RE1:", env), 3);
    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"/route", env), 3);

    const std::string text = FileText(log + L"runs.log");
    const std::string name = Narrow(port);
    const std::size_t on = text.find(" -RE1:" + name + " 0\r\n");
    const std::size_t off = text.find(" -RE0:" + name + " 0\r\n");
    EXPECT_NE(on, std::string::npos) << text;
    EXPECT_LT(on, off) << text;
    EXPECT_NE(text.find("TarrowPA.exe 20"), std::string::npos) << text;
    EXPECT_NE(text.find(" -Reload 0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" -RE1: 3\r\n"), std::string::npos) << text;
    EXPECT_EQ(CountLines(text), 6);
}

TEST(PortTool, RoutingAPortWithoutTarDMCreatesTheValueWhereTheUtilityReadsIt) {
    const std::wstring port = UniquePortName(L"COM", 3);
    TestPortEntry entry(L"D", port, L"", std::nullopt, true);
    EXPECT_EQ(RunStaged(L"TarrowPA.exe", L"-RE1:" + port,
                        {L"QKTOOLS_DATA_DIR=" + FreshFolder(L"qktools-pa2")}),
              0);
    EXPECT_EQ(entry.TarDM(), kRouted);
    EXPECT_TRUE(entry.TarDMInDeviceParameters());
}

} // namespace
} // namespace qk::test
