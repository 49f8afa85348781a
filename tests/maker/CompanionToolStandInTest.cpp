// The stand-ins of the add-port dialog's companion tools, run as the dialog runs them: each
// records its run; the Bluetooth connector also leaves the paired port where the dialog reads
// it.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

std::wstring FreshFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::DeleteFileW((folder + L"runs.log").c_str());
    ::DeleteFileW((folder + L"QKBTSetting.ini").c_str());
    ::RemoveDirectoryW(folder.c_str());
    return folder;
}

std::string FileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a staged tool with the environment entries; answers its exit code (-1: did not end).
long RunTool(const wchar_t* exe, const std::vector<std::wstring>& environment) {
    ProcessRunner tool;
    if (!tool.Start(StageDir() + exe, L"", L"", environment))
        return -2;
    if (!tool.Wait(20000)) {
        tool.Kill();
        return -1;
    }
    return static_cast<long>(tool.ExitCode());
}

TEST(CompanionToolStandIns, EachRecordsItsRunUnderItsOwnName) {
    const std::wstring log = FreshFolder(L"qktools");
    for (const wchar_t* exe : {L"TNConfig.exe", L"TarCa.exe"})
        EXPECT_EQ(RunTool(exe, {L"QKTOOLS_DATA_DIR=" + log}), 0) << exe;
    const std::string text = FileText(log + L"runs.log");
    const size_t network = text.find("TNConfig.exe 20");
    const size_t ports = text.find("TarCa.exe 20");
    EXPECT_NE(network, std::string::npos) << text;
    EXPECT_NE(ports, std::string::npos) << text;
    EXPECT_LT(network, ports) << "lines are appended in run order";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

TEST(CompanionToolStandIns, ConnectorLeavesThePairedPort) {
    const std::wstring log = FreshFolder(L"qktools-bt-log");
    const std::wstring settings = FreshFolder(L"qktools-bt");
    EXPECT_EQ(RunTool(L"QKBluetoothConnector.exe",
                      {L"QKTOOLS_DATA_DIR=" + log, L"QKBT_DATA_DIR=" + settings,
                       L"QKBT_PAIRED_PORT=COM9"}),
              0);
    wchar_t port[32] = {};
    ::GetPrivateProfileStringW(L"Setting", L"VirtualComPort", L"", port, 32,
                               (settings + L"QKBTSetting.ini").c_str());
    EXPECT_STREQ(port, L"COM9");
    EXPECT_NE(FileText(log + L"runs.log").find("QKBluetoothConnector.exe "), std::string::npos);

    EXPECT_EQ(RunTool(L"QKBluetoothConnector.exe",
                      {L"QKTOOLS_DATA_DIR=" + log, L"QKBT_DATA_DIR=" + settings}),
              0);
    ::GetPrivateProfileStringW(L"Setting", L"VirtualComPort", L"", port, 32,
                               (settings + L"QKBTSetting.ini").c_str());
    EXPECT_STREQ(port, L"COM5") << "without a named port the default map's Bluetooth port";
}

} // namespace
} // namespace qk::test
