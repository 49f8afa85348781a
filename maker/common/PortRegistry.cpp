#include "maker/common/PortRegistry.h"

namespace qk::ports {

namespace {

class Key {
public:
    Key(const std::wstring& path, REGSAM access) {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key() {
        if (key_)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

    bool ReadText(const wchar_t* name, std::wstring& text) const {
        wchar_t buffer[512] = {};
        DWORD type = 0, size = sizeof(buffer) - sizeof(wchar_t);
        if (!key_ ||
            RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return false;
        text = buffer;
        return true;
    }
    bool ReadNumber(const wchar_t* name, DWORD& value) const {
        DWORD type = 0, size = sizeof(value);
        return key_ &&
               RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                &size) == ERROR_SUCCESS &&
               type == REG_DWORD;
    }

private:
    HKEY key_ = nullptr;
};

std::vector<std::wstring> Subkeys() {
    std::vector<std::wstring> names;
    Key root(kPortsKey, KEY_ENUMERATE_SUB_KEYS);
    if (!root)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD length = 256;
        if (RegEnumKeyExW(root.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(std::wstring(kPortsKey) + L"\\" + name);
    }
    return names;
}

// Where a value of the entry lives: "Device Parameters" when the value is there, else the
// subkey when it is there; for a new value "Device Parameters" when that key exists.
std::wstring ValueHome(const PortEntry& entry, const wchar_t* value) {
    DWORD number = 0;
    Key parameters(entry.valuesKey, KEY_QUERY_VALUE);
    if (parameters && parameters.ReadNumber(value, number))
        return entry.valuesKey;
    if (Key(entry.key, KEY_QUERY_VALUE).ReadNumber(value, number))
        return entry.key;
    return entry.valuesKey;
}

} // namespace

std::vector<PortEntry> FindPortEntries(const std::wstring& name) {
    std::vector<PortEntry> found;
    if (name.empty())
        return found;
    for (const std::wstring& key : Subkeys()) {
        const std::wstring parametersPath = key + L"\\Device Parameters";
        Key parameters(parametersPath, KEY_QUERY_VALUE);
        std::wstring portName;
        if (!parameters.ReadText(L"PortName", portName) &&
            !Key(key, KEY_QUERY_VALUE).ReadText(L"PortName", portName))
            continue;
        if (portName == name)
            found.push_back({key, parameters ? parametersPath : key});
    }
    return found;
}

bool IsRouted(const std::wstring& name) {
    for (const PortEntry& entry : FindPortEntries(name)) {
        DWORD flags = 0;
        if (Key(ValueHome(entry, L"TarDM"), KEY_QUERY_VALUE).ReadNumber(L"TarDM", flags) &&
            (flags & kRoutedBit))
            return true;
    }
    return false;
}

int SetRouted(const std::wstring& name, bool routed) {
    int changed = 0;
    for (const PortEntry& entry : FindPortEntries(name)) {
        Key home(ValueHome(entry, L"TarDM"), KEY_QUERY_VALUE | KEY_SET_VALUE);
        DWORD flags = 0;
        home.ReadNumber(L"TarDM", flags);
        flags = routed ? (flags | kRoutedBit) : (flags & ~kRoutedBit);
        if (!home ||
            RegSetValueExW(home.get(), L"TarDM", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&flags), sizeof(flags)) != ERROR_SUCCESS)
            return -1;
        ++changed;
    }
    return changed;
}

std::wstring DeviceId(const std::wstring& name) {
    for (const PortEntry& entry : FindPortEntries(name)) {
        std::wstring id;
        if (Key(entry.valuesKey, KEY_QUERY_VALUE).ReadText(L"TarID", id) && !id.empty())
            return id;
    }
    return {};
}

} // namespace qk::ports
