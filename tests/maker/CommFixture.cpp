#include "tests/maker/CommFixture.h"
#include "framework/comm/ProcAddress.h"
#include "maker/common/WinText.h"

namespace qk::test {

bool BindCommLibrary(comm::QkcBinding& binding) {
    binding = comm::QkcBinding{};
    HMODULE module = LoadLibraryW((StageDir() + L"QKComm.dll").c_str());
    if (!module)
        return false;
    binding.module = module;
#define BIND(name) binding.QKC_##name = comm::GetProcAs<comm::PFN_QKC_##name>(module, "QKC_" #name);
    QKC_ENTRY_POINTS(BIND)
#undef BIND
    return comm::IsBound(&binding);
}

void UnbindCommLibrary(comm::QkcBinding& binding) {
    if (binding.module) {
        if (binding.QKC_Terminate)
            binding.QKC_Terminate();
        FreeLibrary(static_cast<HMODULE>(binding.module));
    }
    binding = comm::QkcBinding{};
}

std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring FromSlot(const char16_t* slot) {
    return win::FromU16(slot, comm::kPortTextChars);
}

comm::PortRecord MakePortRecord(const std::u16string& keyword, const std::u16string& name) {
    comm::PortRecord record{};
    keyword.copy(record.interfaceKeyword, comm::kPortTextChars - 1);
    name.copy(record.portName, comm::kPortTextChars - 1);
    record.reserved1040 = -1;
    record.reserved1044 = -1;
    std::u16string model = u"QK-R40";
    model.copy(record.deviceName, comm::kPortTextChars - 1);
    return record;
}

std::string StandardDeviceMap() {
    return "[COM]\nCOM1={SIM}\nCOM2=127.0.0.1:1\n[LPT]\nLPT1={SIM}\n[USB]\n001={SIM}\n"
           "[NET]\n127.0.0.1={SIM}\n[BT]\nCOM7={SIM}\n[Features]\n2=1\n3=0\n"
           "[Commands]\n6,10=0\n";
}

bool CommFixture::SetUp(const std::string& deviceMap) {
    if (!sim.Start())
        return false;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    dataFolder = std::wstring(temp) + L"qkcomm-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter) + L"\\";
    win::CreateFolders(dataFolder);
    // A folder of an earlier run under a process id used again may still hold its files.
    DeleteFileW((dataFolder + L"Ports.ini").c_str());
    DeleteFileW((dataFolder + L"Connectors.ini").c_str());
    std::string map = deviceMap;
    for (std::size_t at; (at = map.find("{SIM}")) != std::string::npos;)
        map.replace(at, 5, sim.Endpoint());
    if (!win::WriteFileText(dataFolder + L"DeviceMap.ini", map))
        return false;
    SetEnvironmentVariableW(L"QKCOMM_DATA_DIR", dataFolder.c_str());
    return BindCommLibrary(qkc);
}

void CommFixture::TearDown() {
    UnbindCommLibrary(qkc);
    sim.Stop();
    DeleteFileW((dataFolder + L"Ports.ini").c_str());
    DeleteFileW((dataFolder + L"DeviceMap.ini").c_str());
    DeleteFileW((dataFolder + L"Connectors.ini").c_str());
    RemoveDirectoryW(dataFolder.c_str());
}

} // namespace qk::test
