// What the tests of the maker's tool stand-ins share: private folders, running a staged
// program with a time limit, and port entries of their own in the Windows port registry.
#pragma once
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

namespace qk::test {

// A folder under the temporary folder named for this process, emptied of earlier files
// (trailing backslash).
std::wstring FreshFolder(const wchar_t* name);
std::string FileText(const std::wstring& path);
std::string Narrow(const std::wstring& text);
int CountLines(const std::string& text);

// Runs a program of the program folder and answers its exit code; -1 when it did not end
// within 60 seconds (the utility waits as long for the port tool) (it is ended then), -2 when it
// did not start.
long RunStaged(const wchar_t* exe, const std::wstring& arguments,
               const std::vector<std::wstring>& environment = {});

// A port name no other test process uses: prefix and a number from this process's id.
std::wstring UniquePortName(const wchar_t* prefix, int index);

// One entry under HKLM\...\Enum\Root\PORTS for the length of a test, values in its
// "Device Parameters" key or in the entry itself; removed at the end.
class TestPortEntry {
public:
    TestPortEntry(const std::wstring& suffix, const std::wstring& portName,
                  const std::wstring& deviceId, std::optional<DWORD> tarDM, bool deviceParameters);
    ~TestPortEntry();
    TestPortEntry(const TestPortEntry&) = delete;
    TestPortEntry& operator=(const TestPortEntry&) = delete;

    // TarDM wherever the entry keeps it (0xFFFFFFFF when it has none).
    DWORD TarDM() const;
    bool TarDMInDeviceParameters() const;

private:
    std::wstring key_;
    std::wstring valuesKey_;
};

} // namespace qk::test
