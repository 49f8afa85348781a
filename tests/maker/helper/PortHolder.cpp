// A second application for the exclusive-open test: opens a port through QKComm.dll and holds
// it until it is ended. Arguments: program folder (no trailing backslash), interface, port
// name, ready file.
// Exit code: the QKC_Open result when it failed (the ready file then holds it too).
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "framework/comm/ProcAddress.h"
#include "framework/comm/QkcBinding.h"

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 5)
        return 2;
    HMODULE module = LoadLibraryW((std::wstring(argv[1]) + L"\\QKComm.dll").c_str());
    if (!module)
        return 3;
    auto setPort = qk::comm::GetProcAs<qk::comm::PFN_QKC_SetPort>(module, "QKC_SetPort");
    auto open = qk::comm::GetProcAs<qk::comm::PFN_QKC_Open>(module, "QKC_Open");
    if (!setPort || !open)
        return 4;
    qk::comm::PortRecord record{};
    std::wstring keyword = argv[2], name = argv[3];
    for (std::size_t i = 0; i < keyword.size(); ++i)
        record.interfaceKeyword[i] = static_cast<char16_t>(keyword[i]);
    for (std::size_t i = 0; i < name.size(); ++i)
        record.portName[i] = static_cast<char16_t>(name[i]);
    int32_t rc = setPort(&record);
    if (rc == 0)
        rc = open(1);
    std::string text = std::to_string(rc);
    HANDLE ready = CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(ready, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(ready);
    }
    if (rc != 0)
        return 5;
    Sleep(60000); // held until the test ends the process
    return 0;
}
