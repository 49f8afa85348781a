#include "maker/emulator/EmulatorFiles.h"
#include "maker/common/ToolRunLog.h"

namespace qk::emulator {

std::wstring EmulatorFolder() {
    return qk::tools::DataFolder(L"QKEMU_DATA_DIR", L"TARROW\\QKCommandEmulator");
}

std::wstring ParserIniPath() {
    return EmulatorFolder() + L"CMDSETParser.ini";
}

std::wstring JournalPath(const std::wstring& section) {
    std::wstring name = section;
    for (wchar_t& c : name)
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c))
            c = L'_';
    return EmulatorFolder() + L"Journal_" + name + L".txt";
}

} // namespace qk::emulator
