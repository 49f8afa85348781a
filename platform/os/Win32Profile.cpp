#include "platform/os/Win32Profile.h"
#include <windows.h>
#include <vector>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

wchar_t* Wide(char16_t* p) {
    return reinterpret_cast<wchar_t*>(p);
}

// Below three characters the platform writes before the buffer; never pass such sizes.
uint32_t TooSmall(char16_t* buffer, uint32_t size) {
    for (uint32_t i = 0; i < size; ++i) {
        buffer[i] = 0;
    }
    return 0;
}

} // namespace

std::u16string Win32Profile::GetString(const std::u16string& file, const std::u16string& section,
                                       const std::u16string& key, const std::u16string& def) {
    // A full buffer answers size - 1; a quoted value that fills it exactly answers size - 2
    // with its last character lost. Either way: read again with more room.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = GetPrivateProfileStringW(WidePtr(section), WidePtr(key), WidePtr(def),
                                                 buffer.data(), size, WidePtr(file));
        if (n + 2 < size || size >= (1u << 24)) {
            return FromWide(std::wstring_view(buffer.data(), n));
        }
        buffer.assign(buffer.size() * 4, 0);
    }
}

int Win32Profile::GetInt(const std::u16string& file, const std::u16string& section,
                         const std::u16string& key, int def) {
    return static_cast<int>(
        GetPrivateProfileIntW(WidePtr(section), WidePtr(key), def, WidePtr(file)));
}

bool Win32Profile::WriteString(const std::u16string& file, const std::u16string& section,
                               const std::u16string& key, const std::u16string& value) {
    return WritePrivateProfileStringW(WidePtr(section), WidePtr(key), WidePtr(value),
                                      WidePtr(file)) != FALSE;
}

bool Win32Profile::DeleteKey(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key) {
    // A null value deletes the key.
    return WritePrivateProfileStringW(WidePtr(section), WidePtr(key), nullptr, WidePtr(file)) !=
           FALSE;
}

bool Win32Profile::DeleteSection(const std::u16string& file, const std::u16string& section) {
    // A null key deletes the section.
    return WritePrivateProfileStringW(WidePtr(section), nullptr, nullptr, WidePtr(file)) != FALSE;
}

uint32_t Win32Profile::GetSectionRaw(const std::u16string& file, const std::u16string& section,
                                     char16_t* buffer, uint32_t size) {
    if (size < 3) {
        return TooSmall(buffer, size);
    }
    return GetPrivateProfileSectionW(WidePtr(section), Wide(buffer), size, WidePtr(file));
}

uint32_t Win32Profile::GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                          uint32_t size) {
    if (size < 3) {
        return TooSmall(buffer, size);
    }
    return GetPrivateProfileSectionNamesW(Wide(buffer), size, WidePtr(file));
}

IProfile& RealProfile() {
    static Win32Profile profile;
    return profile;
}

} // namespace qk::os
