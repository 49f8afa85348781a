#include "maker/emulator/EmulatorJournal.h"
#include <windows.h>
#include <vector>
#include "maker/common/PortRegistry.h"
#include "maker/common/WinText.h"
#include "maker/emulator/EmulatorFiles.h"

namespace qk::emulator {

namespace {

std::vector<std::wstring> SectionNames(const std::wstring& ini) {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   ini.c_str());
    std::vector<std::wstring> names;
    for (DWORD at = 0; at < n && buffer[at];) {
        names.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

std::wstring Value(const std::wstring& ini, const std::wstring& section, const wchar_t* key) {
    wchar_t value[261] = {};
    GetPrivateProfileStringW(section.c_str(), key, L"", value, 261, ini.c_str());
    return value;
}

bool AppendLines(const std::wstring& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok =
                WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == text.size();
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return false;
        Sleep(20);
    }
    return false;
}

} // namespace

std::wstring EmulatorJournal::JournalSection() const {
    if (!qk::ports::IsRouted(port_))
        return {};
    const std::wstring ini = ParserIniPath();
    const std::wstring deviceId = qk::ports::DeviceId(port_);
    for (const std::wstring& section : SectionNames(ini)) {
        const std::wstring port = Value(ini, section, L"Port");
        const bool ours = _wcsicmp(port.c_str(), port_.c_str()) == 0 ||
                          (!deviceId.empty() && (_wcsicmp(port.c_str(), deviceId.c_str()) == 0 ||
                                                 _wcsicmp(section.c_str(), deviceId.c_str()) == 0));
        if (ours && Value(ini, section, L"JournalEnable") == L"1")
            return section;
    }
    return {};
}

void EmulatorJournal::Keep(const std::string& printData) {
    std::lock_guard lock(mutex_);
    std::vector<std::string> lines;
    lines_.Feed(printData, lines);
    if (lines.empty())
        return;
    const std::wstring section = JournalSection();
    if (!section.empty() && qk::win::CreateFolders(EmulatorFolder()))
        AppendLines(JournalPath(section), lines);
}

} // namespace qk::emulator
