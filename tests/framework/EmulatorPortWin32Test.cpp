// The command emulator's port operations over the real platform under Wine: the service
// manager's spooler stopped and started again within the limits, a port entry of the
// machine's port list found by name, and the real profile writing the emulator's section.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "framework/system/EmulatorPort.h"
#include "platform/Text.h"

namespace qk::test {
namespace {

TEST(EmulatorPortWin32, SpoolerIsStoppedAndStartedThroughTheServiceManager) {
    sys::CEmulatorPort emulator;
    struct Restart {
        ~Restart() { sys::CEmulatorPort().EnsureServiceState(sys::kServiceRunning, u"spooler"); }
    } restart;
    ASSERT_TRUE(emulator.EnsureServiceState(sys::kServiceRunning, u"spooler"));
    EXPECT_TRUE(emulator.EnsureServiceState(sys::kServiceStopped, u"spooler"));
    EXPECT_EQ(os::RealServiceControl().Query(u"spooler"), os::ServiceState::Stopped);
    EXPECT_TRUE(emulator.EnsureServiceState(sys::kServiceRunning, u"spooler"));
    EXPECT_EQ(os::RealServiceControl().Query(u"spooler"), os::ServiceState::Running);
    EXPECT_FALSE(emulator.EnsureServiceState(sys::kServiceRunning, u"QkNoSuchService"));
}

// A port entry of the test's own under the machine's port list, removed at the end.
class PortEntry {
public:
    PortEntry(const std::wstring& name, const wchar_t* portName, const wchar_t* id, DWORD mode)
        : path_(L"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS\\" + name) {
        HKEY key = nullptr;
        ok_ = RegCreateKeyExW(HKEY_LOCAL_MACHINE, (path_ + L"\\Device Parameters").c_str(), 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (!ok_)
            return;
        RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName),
                       static_cast<DWORD>((wcslen(portName) + 1) * 2));
        RegSetValueExW(key, L"TarID", 0, REG_SZ, reinterpret_cast<const BYTE*>(id),
                       static_cast<DWORD>((wcslen(id) + 1) * 2));
        RegSetValueExW(key, L"TarDM", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode),
                       sizeof mode);
        RegCloseKey(key);
    }
    ~PortEntry() {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (path_ + L"\\Device Parameters").c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, path_.c_str());
    }
    bool Ok() const { return ok_; }

private:
    std::wstring path_;
    bool ok_ = false;
};

TEST(EmulatorPortWin32, PortListEntriesAreFoundByPortName) {
    const std::wstring unique = std::to_wstring(GetCurrentProcessId());
    PortEntry entry(L"QKTEST" + unique, L"COM231", L"RSDPRT231", 0x1000000);
    ASSERT_TRUE(entry.Ok());
    sys::CEmulatorPort emulator;
    std::u16string id;
    EXPECT_TRUE(emulator.FindPortDeviceId(u"COM231", id));
    EXPECT_EQ(id, u"RSDPRT231");
    sys::EmulatorPortSettings record;
    record.virtualPort = u"COM231";
    bool routed = false;
    EXPECT_TRUE(emulator.IsEmulatorRouted(record, routed));
    EXPECT_TRUE(routed);
    // No DOS device of that name: a name nothing serves counts as virtual.
    EXPECT_TRUE(emulator.IsVirtualComPort(u"COM231"));
}

// The viewer's folder is the machine's own: the 64-bit view of the registry names the native
// program files folder (the only one on a 32-bit system), and an environment variable that
// names another folder changes nothing.
TEST(EmulatorPortWin32, ViewerFolderIsTheMachinesWhateverTheEnvironmentSays) {
    std::u16string folder;
    ASSERT_TRUE(os::RealRegistry().ReadString(os::RegRoot::LocalMachine64, sys::kCurrentVersionKey,
                                              u"ProgramFilesDir", folder));
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder.substr(1, 2), u":\\");
    EXPECT_TRUE(os::RealFileSystem().IsDirectory(folder));
    struct Restore {
        wchar_t old[MAX_PATH] = {};
        DWORD had = GetEnvironmentVariableW(L"ProgramW6432", old, MAX_PATH);
        ~Restore() { SetEnvironmentVariableW(L"ProgramW6432", had ? old : nullptr); }
    } restore;
    ASSERT_TRUE(SetEnvironmentVariableW(L"ProgramW6432", L"C:\\users\\Public"));
    EXPECT_EQ(sys::CEmulatorPort().ViewerPath(),
              folder + u"\\TARROW\\QKCommandEmulator\\JrnlView.exe");
}

} // namespace
} // namespace qk::test
