// An in-memory registry: keys with values, subkeys and values listed alphabetically (as the
// platform under test keeps them). The two views of HKEY_LOCAL_MACHINE are
// kept apart, as on a 64-bit system.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "platform/os/Registry.h"

namespace qk::test {

class FakeRegistry : public os::IRegistry {
public:
    // Set-up; the keys on the way are created.
    void AddKey(os::RegRoot root, const std::u16string& subKey);
    void SetString(os::RegRoot root, const std::u16string& subKey, const std::u16string& name,
                   const std::u16string& value);
    void SetExpandString(os::RegRoot root, const std::u16string& subKey, const std::u16string& name,
                         const std::u16string& value);
    void SetDword(os::RegRoot root, const std::u16string& subKey, const std::u16string& name,
                  uint32_t value);
    void SetBinary(os::RegRoot root, const std::u16string& subKey, const std::u16string& name,
                   std::vector<uint8_t> value);
    void RemoveKey(os::RegRoot root, const std::u16string& subKey); // with its subkeys

    bool KeyExists(os::RegRoot root, const std::u16string& subKey) override;
    bool ReadString(os::RegRoot root, const std::u16string& subKey, const std::u16string& valueName,
                    std::u16string& value) override;
    bool ReadDword(os::RegRoot root, const std::u16string& subKey, const std::u16string& valueName,
                   uint32_t& value) override;
    std::vector<std::u16string> SubKeys(os::RegRoot root, const std::u16string& subKey) override;
    std::vector<std::u16string> ValueNames(os::RegRoot root, const std::u16string& subKey) override;

private:
    enum class Type { String, ExpandString, Dword, Binary };
    struct Value {
        std::u16string name;
        Type type = Type::String;
        std::u16string text;
        uint32_t number = 0;
        std::vector<uint8_t> bytes;
    };
    struct Key {
        std::u16string name; // the last path element, as first given
        std::vector<Value> values;
    };
    static std::u16string PathKey(os::RegRoot root, const std::u16string& subKey);
    Key* Find(os::RegRoot root, const std::u16string& subKey);
    Value& Put(os::RegRoot root, const std::u16string& subKey, const std::u16string& name);

    std::map<std::u16string, Key> keys_; // by root and folded path
};

} // namespace qk::test
