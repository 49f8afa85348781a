#include "tests/app/JournalPortRun.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"
#include "plugins/journal/JournalBlock.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kPortsKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
constexpr wchar_t kDriverKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                 L"{6F1D2A47-3B8C-4E95-A0D2-5C7B9E41F803}";

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    return ::GetEnvironmentVariableW(name, value, MAX_PATH) ? value : L"";
}

std::wstring EmulatorFolder() {
    const std::wstring data = ToWide(UtilityRun::DataFolder());
    return data.substr(0, data.rfind(L'\\')) + L"\\QKCommandEmulator";
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

void JournalPortRun::SetUp() {
    ASSERT_NO_FATAL_FAILURE(UtilityRun::SetUp());
    const std::wstring pid = std::to_wstring(::GetCurrentProcessId());
    port = L"COMQKJ" + pid;
    section = L"QKJ" + pid;
    entry_ = std::wstring(kPortsKey) + L"\\QKJTEST" + pid;
    UsePortName(port);
    ASSERT_NO_FATAL_FAILURE(RegisterPortEntry());
    ASSERT_NO_FATAL_FAILURE(RegisterDriver());
    ASSERT_NO_FATAL_FAILURE(Place(L"TarrowPA.exe", L"QKCOMUSB"));
    ASSERT_NO_FATAL_FAILURE(Place(L"JrnlView.exe", L"QKCommandEmulator"));
}

void JournalPortRun::TearDown() {
    UtilityRun::TearDown();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, entry_.c_str());
    if (ownDriverEntry_)
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDriverKey);
    ::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, ParserIni().c_str());
    std::error_code error;
    fs::remove(fs::path(JournalFile()), error);
    for (const std::wstring& file : placed_)
        fs::remove(fs::path(file), error);
}

void JournalPortRun::RegisterPortEntry() {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (entry_ + L"\\Device Parameters").c_str(), 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    SetString(key, L"PortName", port);
    SetString(key, L"TarID", section);
    const DWORD mode = 0;
    ::RegSetValueExW(key, L"TarDM", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode),
                     sizeof mode);
    ::RegCloseKey(key);
}

void JournalPortRun::RegisterDriver() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ::RegCloseKey(key);
        return; // `make run` registered it in this prefix
    }
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ownDriverEntry_ = true;
    SetString(key, L"DisplayName", L"TARROW Virtual Port Driver");
    SetString(key, L"DisplayVersion", L"8.0.0");
    ::RegCloseKey(key);
}

std::vector<std::wstring> JournalPortRun::ProgramFolders() {
    std::vector<std::wstring> folders{EnvironmentValue(L"ProgramFiles")};
    const std::wstring native = EnvironmentValue(L"ProgramW6432");
    if (!native.empty() && native != folders.front())
        folders.push_back(native);
    return folders;
}

void JournalPortRun::Place(const std::wstring& file, const std::wstring& subfolder) {
    for (const std::wstring& folder : ProgramFolders()) {
        const fs::path target = fs::path(folder + L"\\TARROW\\" + subfolder) / file;
        if (fs::exists(target))
            continue; // `make run` put it there; it stays
        std::error_code error;
        fs::create_directories(target.parent_path(), error);
        fs::copy_file(fs::path(StageDir() + file), target, error);
        ASSERT_FALSE(error) << target.string();
        placed_.push_back(target.wstring());
    }
}

void JournalPortRun::StartPrinterKeepingTheJournal() {
    ASSERT_NO_FATAL_FAILURE(StartPrinter(L"--emulator-port " + port));
}

std::vector<std::wstring> JournalPortRun::ToolsEnvironment() const {
    return {L"QKTOOLS_DATA_DIR=" + Folder() + L"\\tools"};
}

void JournalPortRun::StartWithTools(HWND& frame, bool settle) {
    fs::create_directories(fs::path(Folder() + L"\\tools"));
    RegisterSelectablePort();
    ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame, ToolsEnvironment(), settle));
}

std::wstring JournalPortRun::ParserIni() const {
    return EmulatorFolder() + L"\\CMDSETParser.ini";
}

std::wstring JournalPortRun::JournalFile() const {
    return EmulatorFolder() + L"\\Journal_" + section + L".txt";
}

std::wstring JournalPortRun::ToolsLog() const {
    return Folder() + L"\\tools\\runs.log";
}

std::wstring JournalPortRun::SectionValue(const wchar_t* key) const {
    wchar_t value[260] = {};
    ::GetPrivateProfileStringW(section.c_str(), key, L"(none)", value, 260, ParserIni().c_str());
    return value;
}

void JournalPortRun::ForgetSectionAndRouting() {
    ::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, ParserIni().c_str());
    SetRoutingMode(0);
}

DWORD JournalPortRun::RoutingMode() const {
    DWORD mode = 0;
    DWORD size = sizeof mode;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, (entry_ + L"\\Device Parameters").c_str(), L"TarDM",
                   RRF_RT_REG_DWORD, nullptr, &mode, &size);
    return mode;
}

void JournalPortRun::SetRoutingMode(DWORD mode) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, (entry_ + L"\\Device Parameters").c_str(),
                                L"TarDM", REG_DWORD, &mode, sizeof mode),
              ERROR_SUCCESS);
}

int JournalPortRun::ToolRuns(const std::wstring& arguments) const {
    const std::string wanted(arguments.begin(), arguments.end());
    std::istringstream lines(ReadBytes(ToolsLog()));
    int runs = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("TarrowPA.exe", 0) == 0 &&
            line.find(" " + wanted + " 0") != std::string::npos)
            ++runs;
    return runs;
}

int32_t JournalPortRun::SavedJournalFlag() const {
    PluginDataMgr store;
    store.LoadPrinterList(DataFolder().c_str());
    const std::u16string path = store.SettingsPathOf(u"QK-R40", FromWide(port));
    journal::JournalBlock block{};
    if (path.empty() || store.LoadSettingsFile(path.c_str()) != 0 ||
        store.ReadBlock(journal::kJournalBlockKey, &block, sizeof block) != 0)
        return -1;
    return block.journalFlag;
}

std::string JournalPortRun::ReadBytes(const std::wstring& path) {
    std::ifstream file(fs::path(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace qk::test
