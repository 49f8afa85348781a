// Registry reads: the same cases against the fake and the real registry. The real world
// lays out its keys under HKEY_CURRENT_USER with the registry functions themselves (the seam
// only reads) and removes them at the end.
#include <windows.h>
#include <gtest/gtest.h>
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/platform/os/OsWorlds.h"
#include "tests/support/fakes/FakeRegistry.h"

namespace qk::test {
namespace {

using os::RegRoot;

class RealRegistryWorld {
public:
    static constexpr const char* kName = "Real";
    RealRegistryWorld() {
        wchar_t name[64];
        swprintf(name, 64, L"Software\\QkOsTests\\%lu_%u", GetCurrentProcessId(), ++counter_);
        base_ = FromWide(name);
    }
    ~RealRegistryWorld() {
        RegDeleteTreeW(HKEY_CURRENT_USER, WidePtr(base_));
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QkOsTests");
    }
    os::IRegistry& Registry() { return os::RealRegistry(); }
    const std::u16string& Base() const { return base_; }
    void AddKey(const std::u16string& subKey) { Close(Open(subKey)); }
    void SetString(const std::u16string& subKey, const std::u16string& name,
                   const std::u16string& value, DWORD type = REG_SZ) {
        HKEY key = Open(subKey);
        RegSetValueExW(key, WidePtr(name), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * 2));
        Close(key);
    }
    void SetDword(const std::u16string& subKey, const std::u16string& name, uint32_t value) {
        HKEY key = Open(subKey);
        DWORD v = value;
        RegSetValueExW(key, WidePtr(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4);
        Close(key);
    }
    void SetBinary(const std::u16string& subKey, const std::u16string& name,
                   const std::vector<uint8_t>& value) {
        HKEY key = Open(subKey);
        RegSetValueExW(key, WidePtr(name), 0, REG_BINARY, value.data(),
                       static_cast<DWORD>(value.size()));
        Close(key);
    }

private:
    HKEY Open(const std::u16string& subKey) {
        HKEY key = nullptr;
        const std::u16string path = subKey.empty() ? base_ : base_ + u"\\" + subKey;
        RegCreateKeyExW(HKEY_CURRENT_USER, WidePtr(path), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        return key;
    }
    static void Close(HKEY key) {
        if (key) {
            RegCloseKey(key);
        }
    }
    std::u16string base_;
    static inline unsigned counter_ = 0;
};

class FakeRegistryWorld {
public:
    static constexpr const char* kName = "Fake";
    FakeRegistryWorld() { registry_.AddKey(RegRoot::CurrentUser, base_); }
    os::IRegistry& Registry() { return registry_; }
    const std::u16string& Base() const { return base_; }
    void AddKey(const std::u16string& subKey) {
        registry_.AddKey(RegRoot::CurrentUser, base_ + u"\\" + subKey);
    }
    void SetString(const std::u16string& subKey, const std::u16string& name,
                   const std::u16string& value, DWORD type = REG_SZ) {
        const std::u16string path = subKey.empty() ? base_ : base_ + u"\\" + subKey;
        if (type == REG_EXPAND_SZ) {
            registry_.SetExpandString(RegRoot::CurrentUser, path, name, value);
        } else {
            registry_.SetString(RegRoot::CurrentUser, path, name, value);
        }
    }
    void SetDword(const std::u16string& subKey, const std::u16string& name, uint32_t value) {
        registry_.SetDword(RegRoot::CurrentUser, subKey.empty() ? base_ : base_ + u"\\" + subKey,
                           name, value);
    }
    void SetBinary(const std::u16string& subKey, const std::u16string& name,
                   const std::vector<uint8_t>& value) {
        registry_.SetBinary(RegRoot::CurrentUser, subKey.empty() ? base_ : base_ + u"\\" + subKey,
                            name, value);
    }

private:
    std::u16string base_ = u"Software\\QkOsTests\\fake";
    FakeRegistry registry_;
};

template <typename World> class RegistryContract : public ::testing::Test {
protected:
    World world;
    os::IRegistry& registry = world.Registry();
    std::u16string Key(const std::u16string& sub) {
        return sub.empty() ? world.Base() : world.Base() + u"\\" + sub;
    }
};

struct WorldNames {
    template <typename T> static std::string GetName(int) { return T::kName; }
};
using Worlds = ::testing::Types<FakeRegistryWorld, RealRegistryWorld>;
TYPED_TEST_SUITE(RegistryContract, Worlds, WorldNames);

std::string Names(const std::vector<std::u16string>& names) {
    std::string out;
    for (const auto& n : names) {
        out += (out.empty() ? "" : ",") + Show(n);
    }
    return out;
}

TYPED_TEST(RegistryContract, ReadsStringsAndNumbersOfTheRightTypeOnly) {
    this->world.SetString(u"Ports", u"PortName", u"COM5");
    this->world.SetString(u"Ports", u"Path", u"%ProgramFiles%\\T", REG_EXPAND_SZ);
    this->world.SetString(u"Ports", u"", u"default text");
    this->world.SetDword(u"Ports", u"TarDM", 0x1000001);
    this->world.SetBinary(u"Ports", u"Blob", {1, 2, 3, 4});
    std::u16string text = u"untouched";
    uint32_t number = 77;
    auto& r = this->registry;
    const RegRoot hkcu = RegRoot::CurrentUser;
    EXPECT_TRUE(r.ReadString(hkcu, this->Key(u"Ports"), u"portname", text));
    EXPECT_EQ(Show(text), "COM5");
    EXPECT_TRUE(r.ReadString(hkcu, this->Key(u"Ports"), u"Path", text));
    EXPECT_EQ(Show(text), "%ProgramFiles%\\T"); // not expanded
    EXPECT_TRUE(r.ReadString(hkcu, this->Key(u"Ports"), u"", text));
    EXPECT_EQ(Show(text), "default text");
    EXPECT_TRUE(r.ReadDword(hkcu, this->Key(u"ports"), u"TarDM", number));
    EXPECT_EQ(number, 0x1000001u);
    text = u"untouched";
    number = 77;
    EXPECT_FALSE(r.ReadString(hkcu, this->Key(u"Ports"), u"TarDM", text));     // a number
    EXPECT_FALSE(r.ReadDword(hkcu, this->Key(u"Ports"), u"PortName", number)); // a string
    EXPECT_FALSE(r.ReadDword(hkcu, this->Key(u"Ports"), u"Blob", number));
    EXPECT_FALSE(r.ReadString(hkcu, this->Key(u"Ports"), u"Missing", text));
    EXPECT_FALSE(r.ReadString(hkcu, this->Key(u"Missing"), u"PortName", text));
    EXPECT_FALSE(r.ReadDword(hkcu, this->Key(u"Missing"), u"TarDM", number));
    EXPECT_EQ(Show(text), "untouched");
    EXPECT_EQ(number, 77u);
}

TYPED_TEST(RegistryContract, ListsSubkeysAndValuesAlphabetically) {
    for (const char16_t* name : {u"PORTS_2", u"alpha", u"Beta", u"PORTS_10"}) {
        this->world.AddKey(name);
    }
    this->world.AddKey(u"Beta\\Device Parameters");
    this->world.SetString(u"Beta", u"Zeta", u"1");
    this->world.SetString(u"Beta", u"alpha", u"2");
    this->world.SetDword(u"Beta", u"Mid", 3);
    const RegRoot hkcu = RegRoot::CurrentUser;
    EXPECT_EQ(Names(this->registry.SubKeys(hkcu, this->Key(u""))), "alpha,Beta,PORTS_10,PORTS_2");
    EXPECT_EQ(Names(this->registry.SubKeys(hkcu, this->Key(u"beta"))), "Device Parameters");
    EXPECT_EQ(Names(this->registry.SubKeys(hkcu, this->Key(u"alpha"))), "");
    EXPECT_EQ(Names(this->registry.SubKeys(hkcu, this->Key(u"missing"))), "");
    // The platform here keeps values sorted by name (Windows keeps them in the order they
    // were set); nothing may rely on either.
    EXPECT_EQ(Names(this->registry.ValueNames(hkcu, this->Key(u"Beta"))), "alpha,Mid,Zeta");
    EXPECT_EQ(Names(this->registry.ValueNames(hkcu, this->Key(u"missing"))), "");
    EXPECT_TRUE(this->registry.KeyExists(hkcu, this->Key(u"BETA\\device parameters")));
    EXPECT_FALSE(this->registry.KeyExists(hkcu, this->Key(u"Gamma")));
}

// ---- Only the real registry: keys that every prefix has ----------------------------------

TEST(Win32Registry, ReadsTheWindowsVersionKey) {
    os::IRegistry& r = os::RealRegistry();
    const std::u16string key = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::LocalMachine64}) {
        std::u16string text;
        EXPECT_TRUE(r.KeyExists(root, key));
        EXPECT_TRUE(r.ReadString(root, key, u"CurrentVersion", text));
        EXPECT_FALSE(text.empty());
        EXPECT_TRUE(r.ReadString(root, key, u"ProductName", text));
        EXPECT_NE(text.find(u"Windows"), std::u16string::npos) << Show(text);
    }
    const auto subKeys = r.SubKeys(RegRoot::LocalMachine, u"Software\\Microsoft");
    EXPECT_NE(std::find(subKeys.begin(), subKeys.end(), u"Windows NT"), subKeys.end());
    const auto values = r.ValueNames(RegRoot::LocalMachine, key);
    EXPECT_NE(std::find(values.begin(), values.end(), u"ProductName"), values.end());
    uint32_t number = 0;
    EXPECT_FALSE(r.ReadDword(RegRoot::LocalMachine, key, u"ProductName", number));
    EXPECT_FALSE(r.KeyExists(RegRoot::LocalMachine, u"Software\\QkNoSuchVendor\\Nothing"));
    EXPECT_TRUE(r.SubKeys(RegRoot::LocalMachine, u"Software\\QkNoSuchVendor").empty());
}

// The key that virtual ports are found under, with an entry of the test's own in it: the
// walk finds that entry, and every entry it lists is there.
TEST(Win32Registry, EnumeratesThePortsKey) {
    const std::wstring key = L"SYSTEM\\CurrentControlSet\\Enum\\Root\\PORTS";
    const std::wstring entry = L"QKTEST" + std::to_wstring(GetCurrentProcessId());
    // What this test makes it takes away again: the entry, and the keys above it that were
    // not there.
    std::vector<std::wstring> made;
    for (const std::wstring& level :
         {std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\Root"), key}) {
        HKEY open = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, level.c_str(), 0, KEY_READ, &open) == ERROR_SUCCESS)
            RegCloseKey(open);
        else
            made.insert(made.begin(), level);
    }
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (key + L"\\" + entry).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    os::IRegistry& r = os::RealRegistry();
    const std::u16string ports = FromWide(key);
    const std::vector<std::u16string> subKeys = r.SubKeys(RegRoot::LocalMachine, ports);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (key + L"\\" + entry).c_str());
    for (const std::wstring& level : made)
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, level.c_str());
    EXPECT_NE(std::find(subKeys.begin(), subKeys.end(), FromWide(entry)), subKeys.end());
    for (const auto& sub : subKeys) {
        if (sub != FromWide(entry)) {
            EXPECT_TRUE(r.KeyExists(RegRoot::LocalMachine, ports + u"\\" + sub)) << Show(sub);
        }
    }
}

} // namespace
} // namespace qk::test
