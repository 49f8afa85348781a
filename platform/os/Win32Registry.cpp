#include "platform/os/Win32Registry.h"
#include <windows.h>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

// An open key, closed at the end of the scope.
class Key {
public:
    Key(RegRoot root, const std::u16string& subKey) {
        HKEY base = root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        REGSAM access = KEY_READ;
        if (root == RegRoot::LocalMachine64) {
            access |= KEY_WOW64_64KEY;
        }
        if (RegOpenKeyExW(base, WidePtr(subKey), 0, access, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~Key() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Reads a value of any type; false when it is missing.
bool QueryValue(HKEY key, const std::u16string& name, DWORD& type, std::vector<BYTE>& data) {
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, WidePtr(name), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls; ask again with the new size.
    for (int attempt = 0; attempt < 4 && result == ERROR_SUCCESS; ++attempt) {
        data.assign(size + sizeof(wchar_t), 0);
        DWORD got = size;
        result = RegQueryValueExW(key, WidePtr(name), nullptr, &type, data.data(), &got);
        if (result == ERROR_SUCCESS) {
            data.resize(got);
            return true;
        }
        if (result == ERROR_MORE_DATA) {
            size = got;
            result = ERROR_SUCCESS;
        }
    }
    return false;
}

} // namespace

bool Win32Registry::KeyExists(RegRoot root, const std::u16string& subKey) {
    return Key(root, subKey).get() != nullptr;
}

bool Win32Registry::ReadString(RegRoot root, const std::u16string& subKey,
                               const std::u16string& valueName, std::u16string& value) {
    Key key(root, subKey);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key.get() || !QueryValue(key.get(), valueName, type, data) ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    std::u16string text(reinterpret_cast<const char16_t*>(data.data()), data.size() / 2);
    // Stored strings usually end in a NUL, but need not.
    while (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    value = text;
    return true;
}

bool Win32Registry::ReadDword(RegRoot root, const std::u16string& subKey,
                              const std::u16string& valueName, uint32_t& value) {
    Key key(root, subKey);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key.get() || !QueryValue(key.get(), valueName, type, data) || type != REG_DWORD ||
        data.size() != sizeof(DWORD)) {
        return false;
    }
    value = static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
            (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
    return true;
}

std::vector<std::u16string> Win32Registry::SubKeys(RegRoot root, const std::u16string& subKey) {
    std::vector<std::u16string> names;
    Key key(root, subKey);
    if (!key.get()) {
        return names;
    }
    wchar_t name[256]; // key names have at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.push_back(FromWide(std::wstring_view(name, length)));
    }
    return names;
}

std::vector<std::u16string> Win32Registry::ValueNames(RegRoot root, const std::u16string& subKey) {
    std::vector<std::u16string> names;
    Key key(root, subKey);
    if (!key.get()) {
        return names;
    }
    std::vector<wchar_t> name(16384); // value names have at most 16383 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.push_back(FromWide(std::wstring_view(name.data(), length)));
    }
    return names;
}

IRegistry& RealRegistry() {
    static Win32Registry registry;
    return registry;
}

} // namespace qk::os
