#include "tests/app/PrinterSelectWorld.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>
#include "app/connection/PortRecordText.h"
#include "platform/Text.h"

namespace qk::test {
namespace {

constexpr DWORD kStartMs = 15000;

std::wstring TempRoot() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    static int counter = 0;
    return std::wstring(folder) + L"qkselect-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L"\\";
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool ReadSmallFile(const std::wstring& path, std::string& text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[256];
    DWORD got = 0;
    bool ok = ::ReadFile(file, buffer, sizeof(buffer) - 1, &got, nullptr) && got > 0;
    ::CloseHandle(file);
    text.assign(buffer, ok ? got : 0);
    return ok;
}

void SetSlot(char16_t* slot, const std::wstring& text) {
    app::SetSlotText(slot, FromWide(text));
}

} // namespace

std::wstring U16ToWide(const std::u16string& text) {
    return ToWide(text);
}

bool SelectTestPrinter::Start(const std::wstring& model) {
    const std::wstring portFile = TempRoot() + L"ports.txt";
    ::CreateDirectoryW(portFile.substr(0, portFile.rfind(L'\\')).c_str(), nullptr);
    std::wstring arguments = L"--port 0 --control-port 0 --port-file \"" + portFile + L"\"";
    if (!model.empty())
        arguments += L" --model " + model;
    if (!m_process.Start(StageDir() + L"QKPrinterSim.exe", arguments))
        return false;
    std::string text;
    bool ready = PumpUntil(
        [&] {
            return ReadSmallFile(portFile, text) &&
                   std::sscanf(text.c_str(), "%hu %hu", &m_dataPort, &m_controlPort) == 2;
        },
        kStartMs);
    RemoveTree(portFile.substr(0, portFile.rfind(L'\\') + 1));
    return ready;
}

void SelectTestPrinter::Stop() {
    if (!m_process.Handle())
        return;
    if (m_controlPort)
        Control(L"quit");
    if (!m_process.Wait(5000))
        m_process.Kill();
    m_controlPort = 0;
}

bool SelectTestPrinter::Control(const std::wstring& command) {
    ProcessRunner client;
    if (!client.Start(StageDir() + L"QKPrinterSim.exe",
                      L"--control " + std::to_wstring(m_controlPort) + L" " + command))
        return false;
    return client.Wait(10000) && client.ExitCode() == 0;
}

SelectWorld::SelectWorld() : m_root(TempRoot()), m_context(std::make_unique<UtilContext>()) {
    std::memset(m_context.get(), 0, sizeof(UtilContext));
    ::CreateDirectoryW(m_root.c_str(), nullptr);
    ::CreateDirectoryW(ProgramFolder().c_str(), nullptr);
    ::CreateDirectoryW((m_root + L"comm").c_str(), nullptr);
    m_context->languageId = 0x409;
    SetSlot(m_context->languageText, L"0409");
    SetSlot(m_context->programFolder, ProgramFolder());
    SetSlot(m_context->languageFolder, StageDir() + L"LANG");
    m_context->dataManager = &store;
    ::SetEnvironmentVariableW(L"QKCOMM_DATA_DIR", (m_root + L"comm").c_str());
}

SelectWorld::~SelectWorld() {
    if (m_library.IsBound())
        m_library.Record()->QKC_Close();
    printerA.Stop();
    printerB.Stop();
    RemoveTree(m_root);
}

bool SelectWorld::UseLibrary(const std::string& deviceMap) {
    std::string text = deviceMap;
    auto replace = [&](const std::string& mark, uint16_t port) {
        for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark))
            text.replace(at, mark.size(), "127.0.0.1:" + std::to_string(port));
    };
    replace("{A}", printerA.DataPort());
    replace("{B}", printerB.DataPort());
    HANDLE file = ::CreateFileW((m_root + L"comm\\DeviceMap.ini").c_str(), GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool complete =
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    ::CloseHandle(file);
    if (!complete)
        return false;
    if (!m_library.IsBound())
        m_library.Bind((StageDir() + L"QKComm.dll").c_str());
    return m_library.IsBound();
}

int32_t SelectWorld::Register(const std::u16string& keyword, const std::u16string& portName,
                              const std::u16string& deviceName) {
    comm::PortRecord record;
    std::memset(&record, 0, sizeof(record));
    app::SetSlotText(record.interfaceKeyword, keyword);
    app::SetSlotText(record.portName, portName);
    app::SetSlotText(record.deviceName, deviceName);
    record.reserved1040 = -1;
    record.reserved1044 = -1;
    return m_library.Record()->QKC_AddPort(&record);
}

std::vector<comm::PortRecord> SelectWorld::Registered() {
    int32_t count = 0;
    if (m_library.Record()->QKC_EnumPort(nullptr, 0, &count) != 0 || count <= 0)
        return {};
    std::vector<comm::PortRecord> records(count);
    std::memset(records.data(), 0, records.size() * sizeof(comm::PortRecord));
    m_library.Record()->QKC_EnumPort(records.data(), count, &count);
    return records;
}

std::wstring SelectWorld::SavedLanguage() const {
    wchar_t value[64] = {};
    ::GetPrivateProfileStringW(L"LANGUAGE", L"LANGID", L"<none>", value, 64,
                               (ProgramFolder() + L"SETTING.INI").c_str());
    return value;
}

std::vector<std::vector<std::wstring>> ListRows(HWND dialog) {
    HWND list = ::GetDlgItem(dialog, app::CPrinterSelectDlg::kPortList);
    std::vector<std::vector<std::wstring>> rows;
    int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < 4; ++column) {
            wchar_t text[300] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 300;
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

void SelectListRow(HWND dialog, int row) {
    HWND list = ::GetDlgItem(dialog, app::CPrinterSelectDlg::kPortList);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    ::SendMessageW(list, LVM_SETITEMSTATE, row >= 0 ? row : static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&item));
}

void Click(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

} // namespace qk::test
