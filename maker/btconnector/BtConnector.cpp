// QKBluetoothConnector.exe: the maker's Bluetooth connector, reduced to what the add-port
// dialog relies on: it records that it ran and, as after a pairing, leaves the virtual serial
// port in key "VirtualComPort" of section "Setting" of QKBTSetting.ini in
// %ProgramData%\TARROW\QKBTConnector\ (or in the folder that QKBT_DATA_DIR names). The port
// is the one QKBT_PAIRED_PORT names, else COM5, the default device map's Bluetooth port.
// Windowless. Exit code 3: the settings file could not be written.
#include "maker/common/ToolRunLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const int result = qk::tools::RecordRun();
    wchar_t port[64] = L"COM5";
    if (GetEnvironmentVariableW(L"QKBT_PAIRED_PORT", port, 64) == 0 || port[0] == L'\0')
        wcscpy(port, L"COM5");
    const std::wstring folder = qk::tools::DataFolder(L"QKBT_DATA_DIR", L"TARROW\\QKBTConnector");
    qk::tools::HoldIfAsked();
    if (folder.empty() || !qk::win::CreateFolders(folder) ||
        !WritePrivateProfileStringW(L"Setting", L"VirtualComPort", port,
                                    (folder + L"QKBTSetting.ini").c_str()))
        return 3;
    return result;
}
