#include "tests/platform/os/OsWorlds.h"
#include <windows.h>
#include <cstdio>
#include <type_traits>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::test {
namespace {

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

} // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH, base);
    std::wstring folder(base, n);
    if (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    static unsigned counter = 0;
    for (;;) {
        wchar_t name[64];
        swprintf(name, 64, L"\\qkos_%lu_%u", GetCurrentProcessId(), ++counter);
        if (CreateDirectoryW((folder + name).c_str(), nullptr)) {
            path_ = FromWide(folder + name);
            return;
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTree(ToWide(path_));
}

template <typename Call> auto ImageEachCallProfile::Pass(Call call) {
    os::FileImageProfile image(inner_, files_);
    auto answer = call(image);
    const bool committed = image.Commit();
    if constexpr (std::is_same_v<decltype(answer), bool>)
        return answer && committed;
    else
        return answer;
}

std::u16string ImageEachCallProfile::GetString(const std::u16string& file,
                                               const std::u16string& section,
                                               const std::u16string& key,
                                               const std::u16string& def) {
    return Pass([&](os::IProfile& p) { return p.GetString(file, section, key, def); });
}

int ImageEachCallProfile::GetInt(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key, int def) {
    return Pass([&](os::IProfile& p) { return p.GetInt(file, section, key, def); });
}

bool ImageEachCallProfile::WriteString(const std::u16string& file, const std::u16string& section,
                                       const std::u16string& key, const std::u16string& value) {
    return Pass([&](os::IProfile& p) { return p.WriteString(file, section, key, value); });
}

bool ImageEachCallProfile::DeleteKey(const std::u16string& file, const std::u16string& section,
                                     const std::u16string& key) {
    return Pass([&](os::IProfile& p) { return p.DeleteKey(file, section, key); });
}

bool ImageEachCallProfile::DeleteSection(const std::u16string& file,
                                         const std::u16string& section) {
    return Pass([&](os::IProfile& p) { return p.DeleteSection(file, section); });
}

uint32_t ImageEachCallProfile::GetSectionRaw(const std::u16string& file,
                                             const std::u16string& section, char16_t* buffer,
                                             uint32_t size) {
    return Pass([&](os::IProfile& p) { return p.GetSectionRaw(file, section, buffer, size); });
}

uint32_t ImageEachCallProfile::GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                                  uint32_t size) {
    return Pass([&](os::IProfile& p) { return p.GetSectionNamesRaw(file, buffer, size); });
}

RealWorld::RealWorld() = default;

os::IProfile& RealWorld::Profile() {
    return os::RealProfile();
}

os::IFileSystem& RealWorld::Files() {
    return os::RealFileSystem();
}

void RealWorld::PutBytes(const std::u16string& path, const std::vector<uint8_t>& data) {
    HANDLE file = CreateFileW(WidePtr(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
}

void RealWorld::PutText(const std::u16string& path, const std::u16string& text,
                        TextEncoding encoding) {
    PutBytes(path, EncodeText(text, encoding));
}

std::vector<uint8_t> RealWorld::Bytes(const std::u16string& path) {
    std::vector<uint8_t> data;
    HANDLE file = CreateFileW(WidePtr(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return data;
    }
    uint8_t chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        data.insert(data.end(), chunk, chunk + got);
    }
    CloseHandle(file);
    return data;
}

void RealWorld::SetReadOnly(const std::u16string& path, bool readOnly) {
    SetFileAttributesW(WidePtr(path), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

bool RealWorld::ReadOnlyIsEnforced(const std::u16string& path) {
    HANDLE file = CreateFileW(WidePtr(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(file);
    return false;
}

std::vector<std::u16string> RealWorld::Entries(const std::u16string& folder) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((ToWide(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(FromWide(name));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

FakeWorld::FakeWorld() : root_(u"C:\\qkos"), profile_(files_) {
    files_.AddFolder(root_);
}

void FakeWorld::PutBytes(const std::u16string& path, const std::vector<uint8_t>& data) {
    if (files_.ParentFolderExists(path)) {
        files_.AddFile(path, data);
    }
}

void FakeWorld::PutText(const std::u16string& path, const std::u16string& text,
                        TextEncoding encoding) {
    PutBytes(path, EncodeText(text, encoding));
}

std::vector<uint8_t> FakeWorld::Bytes(const std::u16string& path) {
    std::vector<uint8_t> data;
    files_.ReadFile(path, data);
    return data;
}

void FakeWorld::SetReadOnly(const std::u16string& path, bool readOnly) {
    files_.SetReadOnly(path, readOnly);
}

std::vector<std::u16string> FakeWorld::Entries(const std::u16string& folder) {
    std::vector<std::u16string> names;
    const std::u16string key = FakeFileSystem::Normalize(folder);
    for (const std::u16string& path : files_.AllPaths()) {
        if (FakeFileSystem::Normalize(FakeFileSystem::ParentOf(path)) == key) {
            names.push_back(path.substr(path.find_last_of(u'\\') + 1));
        }
    }
    return names;
}

std::string Show(const char16_t* buffer, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        const char16_t c = buffer[i];
        if (c == 0) {
            out += "\\0";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

std::string Show(const std::u16string& text) {
    return Show(text.data(), text.size());
}

} // namespace qk::test
